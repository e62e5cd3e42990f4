#include "devices/jack_probe.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace tonvale {
namespace {

std::atomic<int> g_quiet{0};

// libjack keeps one process-wide message hook; this one prints like the
// default does, except while we are joining a server.
void ForwardJackMessage(const char* text) {
  if (g_quiet.load() > 0) return;
  std::fprintf(stderr, "%s\n", text);
}

}  // namespace

jack_client_t* OpenJackClientQuietly(const char* client_name) {
  static std::once_flag hooks;
  std::call_once(hooks, [] {
    jack_set_error_function(ForwardJackMessage);
    jack_set_info_function(ForwardJackMessage);
  });
  ++g_quiet;
  jack_status_t status{};
  jack_client_t* client = jack_client_open(client_name, JackNoStartServer, &status);
  --g_quiet;
  return client;
}

bool JackServerRunning() {
  return AskJackServer().has_value();
}

std::optional<JackServerInfo> AskJackServer() {
  jack_client_t* client = OpenJackClientQuietly("Tonvale-probe");
  if (client == nullptr) return std::nullopt;
  const JackServerInfo info{static_cast<double>(jack_get_sample_rate(client)),
                            static_cast<int>(jack_get_buffer_size(client))};
  jack_client_close(client);
  return info;
}

}  // namespace tonvale
