// What the sound servers say about themselves — whether a JACK server runs
// and at what rate and period, which server answers the PulseAudio protocol
// and at what rate — asked on a thread of its own and kept. A server that is
// slow to answer (the PulseAudio question may take up to two seconds) then
// never holds up the window: opening the synthesizer waits a few
// milliseconds for a fresh answer and otherwise takes the last one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "devices/audio_server.h"
#include "devices/jack_probe.h"

namespace tonvale {

struct ServerAnswers {
  std::optional<JackServerInfo> jack;  // nothing: no JACK server runs (or was not asked)
  std::optional<PulseServer> pulse;    // nothing: no server answered (or was not asked)
};

class ServerQuestions {
 public:
  using Ask = std::function<ServerAnswers()>;

  // Asks nothing yet. An answer younger than `fresh_for` is taken as it is.
  explicit ServerQuestions(Ask ask,
                           std::chrono::milliseconds fresh_for = std::chrono::milliseconds(1000));
  // Waits for a question being asked (each server's own limit bounds it).
  ~ServerQuestions();
  ServerQuestions(const ServerQuestions&) = delete;
  ServerQuestions& operator=(const ServerQuestions&) = delete;

  // Asks again, unless a question is still out or the last answer is fresh,
  // and waits up to `limit` for its answer. Then, or when the limit passes, gives the newest answer
  // there is: nothing only while none has ever come. A late answer is kept
  // for the next call.
  std::optional<ServerAnswers> Answers(std::chrono::milliseconds limit);

 private:
  void Serve(std::stop_token stop);

  const Ask ask_;
  const std::chrono::milliseconds fresh_for_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::uint64_t asked_ = 0;     // questions wanted
  std::uint64_t answered_ = 0;  // questions answered
  std::optional<ServerAnswers> last_;
  std::chrono::steady_clock::time_point last_at_;
  std::jthread thread_;  // last: stops before the rest goes
};

}  // namespace tonvale
