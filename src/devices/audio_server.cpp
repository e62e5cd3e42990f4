#include "devices/audio_server.h"

#include <pulse/pulseaudio.h>

namespace tonvale {

PulseServer DescribePulseServer(std::string_view name, std::string_view version) {
  constexpr std::string_view kPipeWire = "PipeWire ";
  if (const auto at = name.find(kPipeWire); at != std::string_view::npos) {
    std::string_view own = name.substr(at + kPipeWire.size());
    own = own.substr(0, own.find_first_of(") "));
    return {AudioPath::kPipeWire, "PipeWire " + std::string(own) + " (PulseAudio protocol)"};
  }
  if (name == "pulseaudio") return {AudioPath::kPulseAudio, "PulseAudio " + std::string(version)};
  return {AudioPath::kPulseAudio,
          std::string(name) + " " + std::string(version) + " (PulseAudio protocol)"};
}

std::optional<PulseServer> AskPulseServer(std::chrono::milliseconds limit) {
  struct Query {
    std::optional<PulseServer> answer;
    bool asked = false;
    bool done = false;
  } query;
  pa_mainloop* loop = pa_mainloop_new();
  if (loop == nullptr) return std::nullopt;
  pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Tonvale");
  query.done = context == nullptr ||
               pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!query.done && PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) {
    if (pa_context_get_state(context) == PA_CONTEXT_READY && !query.asked) {
      query.asked = true;
      const auto reply = [](pa_context*, const pa_server_info* info, void* data) {
        auto* q = static_cast<Query*>(data);
        if (info != nullptr) {
          q->answer = DescribePulseServer(info->server_name, info->server_version);
          q->answer->rate = info->sample_spec.rate;
        }
        q->done = true;
      };
      pa_operation* op = pa_context_get_server_info(context, reply, &query);
      if (op == nullptr) break;
      pa_operation_unref(op);
    }
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || pa_mainloop_prepare(loop, static_cast<int>(left.count())) < 0 ||
        pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0) {
      break;
    }
  }
  if (context != nullptr) {
    pa_context_disconnect(context);
    pa_context_unref(context);
  }
  pa_mainloop_free(loop);
  return query.answer;
}

}  // namespace tonvale
