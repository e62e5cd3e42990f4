#include "devices/server_questions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <semaphore>

namespace tonvale {
namespace {

using namespace std::chrono_literals;

TEST(ServerQuestions, ASlowServerIsWaitedForOnlyBrieflyAndAskedOnceAtATime) {
  std::atomic<int> asked{0};
  std::counting_semaphore<100> answer{0};  // one release per answer allowed
  const auto ask = [&] {
    const int n = ++asked;
    answer.acquire();
    return ServerAnswers{.jack = JackServerInfo{48000.0 + n, 256}, .pulse = std::nullopt};
  };
  ServerQuestions questions(ask, 0ms);
  // No answer yet: nothing, after the wait; and no second question while the
  // first is out.
  EXPECT_FALSE(questions.Answers(10ms).has_value());
  EXPECT_FALSE(questions.Answers(10ms).has_value());
  EXPECT_EQ(asked, 1);
  // A late answer is kept: the next call, finding the next question slow
  // too, gives it.
  answer.release();
  const auto first = questions.Answers(5s);
  ASSERT_TRUE(first.has_value() && first->jack.has_value());
  EXPECT_EQ(first->jack->rate, 48001);
  const auto stale = questions.Answers(10ms);
  ASSERT_TRUE(stale.has_value());
  EXPECT_EQ(stale->jack->rate, 48001);
  EXPECT_EQ(asked, 2);
  // Answered in time, the fresh answer wins.
  answer.release(10);
  const auto fresh = questions.Answers(5s);
  ASSERT_TRUE(fresh.has_value());
  EXPECT_GE(fresh->jack->rate, 48002);
  // An answer just given is not asked again (the device opened right after
  // the splash asked).
  ServerQuestions recent(ask, 1h);
  const int before = asked;
  EXPECT_TRUE(recent.Answers(5s).has_value());
  EXPECT_TRUE(recent.Answers(5s).has_value());
  EXPECT_EQ(asked, before + 1);
}

}  // namespace
}  // namespace tonvale
