#include "devices/server_questions.h"

namespace tonvale {

ServerQuestions::ServerQuestions(Ask ask, std::chrono::milliseconds fresh_for)
    : ask_(std::move(ask)),
      fresh_for_(fresh_for),
      thread_([this](std::stop_token stop) { Serve(stop); }) {}

ServerQuestions::~ServerQuestions() {
  thread_.request_stop();
  changed_.notify_all();
}

std::optional<ServerAnswers> ServerQuestions::Answers(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  if (last_ && std::chrono::steady_clock::now() - last_at_ < fresh_for_) return last_;
  // A question still out is waited for, not asked twice: a server that does
  // not answer must not gather a queue of them.
  if (answered_ == asked_) {
    ++asked_;
    changed_.notify_all();
  }
  const std::uint64_t wanted = asked_;
  changed_.wait_for(lock, limit, [&] { return answered_ >= wanted; });
  return last_;
}

void ServerQuestions::Serve(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, stop, [&] { return asked_ > answered_; });
    if (stop.stop_requested()) return;
    const std::uint64_t asking = asked_;
    lock.unlock();
    ServerAnswers answer = ask_();
    lock.lock();
    last_ = std::move(answer);
    last_at_ = std::chrono::steady_clock::now();
    answered_ = asking;
    changed_.notify_all();
  }
}

}  // namespace tonvale
