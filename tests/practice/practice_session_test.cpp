// The practice session's rules: waiting, wrong keys, the timing window at
// each speed, the count-in, rests, ties, the end and the result.
#include "practice/practice_session.h"

#include <gtest/gtest.h>

#include "practice_fixture.h"

namespace tonvale {
namespace {

using test::ReadOk;

constexpr std::uint32_t kA = 30, kS = 31, kD = 32, kF = 33, kG = 34, kC = 46, kI = 23, kSpace = 57;

// The states of the first `count` notes: P pending, R right, W wrong.
std::string States(const PracticeSession& s, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += "PRW"[int(s.StateOf(i))];
  return text;
}

TEST(PracticeSession, WaitingWaitsForEachKeyAndAWrongKeyMakesTheNoteWrong) {
  Song song = ReadOk("title=T\n1 2 0 3 ~ | 3 - 5 0");
  PracticeSession s(song);
  EXPECT_EQ(s.Result(), std::nullopt);
  s.Start(PracticeMode::kWaiting, 100, 1000);
  EXPECT_EQ(s.NextNote(), 0u);
  s.Tick(900000);  // time plays no part
  EXPECT_EQ(s.NextNote(), 0u);
  EXPECT_EQ(s.CurrentCountIn(), std::nullopt);

  s.KeyDown(kA, 0, 900010);
  EXPECT_EQ(s.NextNote(), 1u);
  s.KeyDown(kSpace, 0, 900020);  // the sustain pedal and keys without a note are no keys
  s.KeyDown(1, 0, 900030);
  EXPECT_FALSE(s.AwaitedHadWrongKey());
  s.KeyDown(kD, 0, 900040);
  EXPECT_TRUE(s.AwaitedHadWrongKey());
  EXPECT_EQ(States(s, 2), "RP");
  s.KeyDown(kS, 0, 900050);
  EXPECT_EQ(States(s, 2), "RW");
  EXPECT_FALSE(s.AwaitedHadWrongKey());
  // The rest passes; C sounds degree 3 as D does; the tied note is one.
  EXPECT_EQ(s.NextNote(), 3u);
  s.KeyDown(kC, 0, 900060);
  EXPECT_EQ(States(s, 5), "RWPRR");
  EXPECT_EQ(s.NextNote(), 5u);
  // Degree 5 in the middle octave: G, or Shift on I an octave lower, not
  // Ctrl on G.
  s.KeyDown(kG, -1, 900070);
  EXPECT_TRUE(s.AwaitedHadWrongKey());
  s.KeyDown(kI, 1, 900080);
  EXPECT_EQ(States(s, 7), "RWPRRWP");
  EXPECT_TRUE(s.Finished());
  EXPECT_FALSE(s.Running());
  EXPECT_EQ(s.NextNote(), std::nullopt);
  s.KeyDown(kA, 0, 900090);  // after the end: nothing
  const PracticeResult result = *s.Result();
  EXPECT_EQ(result.right, 2u);
  EXPECT_EQ(result.total, 4u);
  EXPECT_EQ(result.timing_median_ms, std::nullopt);
  EXPECT_EQ(s.ResultLine(), "tonvale: practice \"T\": 2 of 4 notes right");

  // Starting again forgets the last practice.
  s.Start(PracticeMode::kWaiting, 100, 5);
  EXPECT_EQ(States(s, 7), "PPPPPPP");
  EXPECT_EQ(s.Result()->right, 0u);
}

TEST(PracticeSession, PlayingAlongTakesAKeyWithinTheWindowOfItsSpeedAfterAOneBarCountIn) {
  // 120 crotchets a minute: 500 ms apart at full speed.
  const Song song = ReadOk("4=120 1 2 3 4 | 5");
  for (const int speed : kPracticeSpeeds) {
    SCOPED_TRACE(speed);
    const std::int64_t window = 150 * 100 / speed;  // 600, 300, 200, 150
    // Crotchet i's time: 500 ms * i at full speed.
    const auto beat = [&](std::int64_t i) { return MsAtTick(song, 192 * i, speed); };
    const std::int64_t count_in = beat(4);
    // Near the clock's wrap, which the session must take in its stride.
    const std::uint32_t t0 = 0xFFFFF000u;
    const auto at = [&](std::int64_t song_ms) {
      return static_cast<std::uint32_t>(t0 + count_in + song_ms);
    };
    PracticeSession s(song);
    s.Start(PracticeMode::kPlayingAlong, speed, t0);
    EXPECT_EQ(s.CurrentCountIn(), (CountIn{1, 4}));
    s.Tick(at(-1));
    EXPECT_EQ(s.CurrentCountIn(), (CountIn{4, 4}));
    EXPECT_EQ(s.SongTimeMs(), -1);
    EXPECT_EQ(s.NextNote(), 0u);

    s.KeyDown(kA, 0, at(-window));  // the earliest it may come
    s.Tick(at(0));
    EXPECT_EQ(s.CurrentCountIn(), std::nullopt);
    s.KeyDown(kS, 0, at(beat(1) + window + 1));  // one ms too late
    EXPECT_EQ(States(s, 2), "RW");
    s.KeyDown(kD, 0, at(beat(2) + window));      // the latest it may come
    s.KeyDown(kF, 0, at(beat(3) - window - 1));  // one ms too early
    s.Tick(at(beat(3) + window));
    EXPECT_EQ(States(s, 4), "RWRP");
    s.Tick(at(beat(3) + window + 1));
    EXPECT_EQ(States(s, 4), "RWRW");
    s.KeyDown(kG, 0, at(beat(4)));
    EXPECT_EQ(States(s, 5), "RWRWR");
    EXPECT_EQ(s.OffsetOf(0), -window);
    EXPECT_EQ(s.OffsetOf(1), std::nullopt);
    EXPECT_EQ(s.OffsetOf(2), window);
    EXPECT_EQ(s.OffsetOf(4), 0);

    // It ends with the song: five crotchets.
    s.Tick(at(beat(5) - 1));
    EXPECT_TRUE(s.Running());
    EXPECT_EQ(s.NextNote(), std::nullopt);
    s.Tick(at(beat(5)));
    EXPECT_TRUE(s.Finished());
    EXPECT_EQ(s.Result()->right, 3u);
    EXPECT_EQ(s.Result()->timing_median_ms, 0);
  }
}

TEST(PracticeSession, TheTimingMedianIsRoundedHalfAwayFromZero) {
  const Song song = ReadOk("title=T\n4=60 1 2 3 4 | 5");
  // Offsets of notes 0, 1, ... (4 s of count-in, a second apart), and the
  // line; nothing right gives no median.
  const std::pair<std::vector<std::int64_t>, const char*> cases[] = {
      {{-3, 4}, "2 of 5 notes right, timing median 1 ms"},
      {{-3, -4}, "2 of 5 notes right, timing median -4 ms"},
      {{7, -20, 3}, "3 of 5 notes right, timing median 3 ms"},
      {{}, "0 of 5 notes right"}};
  for (const auto& [offsets, line] : cases) {
    PracticeSession s(song);
    s.Start(PracticeMode::kPlayingAlong, 100, 100);
    for (std::size_t i = 0; i < offsets.size(); ++i)
      s.KeyDown(kA + i, 0, static_cast<std::uint32_t>(4100 + 1000 * i + offsets[i]));
    s.Stop(4100 + 4500);
    EXPECT_FALSE(s.Finished() || s.Running());
    EXPECT_EQ(s.ResultLine(), std::string("tonvale: practice \"T\": ") + line);
  }
}

TEST(PracticeSession, PlayingAlongGivesAKeyToTheEarliestOpenNoteOfItsPitch) {
  // Semiquavers of one pitch, 62.5 ms apart, with rests and a repeat; at 25 %
  // they are 250 ms apart inside 600 ms windows.
  const Song song = ReadOk("4=240 R{ s1 s1 s0 s1 } 2");
  PracticeSession s(song);
  s.Start(PracticeMode::kPlayingAlong, 25, 0);
  const std::int64_t count_in = 4 * 1000;
  const auto at = [&](std::int64_t ms) { return static_cast<std::uint32_t>(count_in + ms); };
  s.KeyDown(kA, 0, at(0));
  s.KeyDown(kA, 0, at(10));   // the second note, early
  s.KeyDown(kS, 0, at(300));  // a wrong key changes nothing
  s.KeyDown(kA, 0, at(760));  // the third note, the rest passed
  EXPECT_EQ(s.OffsetOf(1), 10 - 250);
  EXPECT_EQ(s.OffsetOf(3), 10);
  EXPECT_EQ(s.NextNote(), 4u);  // the third's time has passed
  s.KeyDown(kA, 0, at(1000));   // the repeat's first
  s.Tick(at(1000 + 250 + 600 + 1));
  EXPECT_EQ(States(s, 6), "RRPRRW");  // a rest is never judged
  s.Stop(at(1900));
  EXPECT_EQ(s.Result()->right, 4u);
  EXPECT_EQ(s.Result()->total, 7u);
  EXPECT_FALSE(s.Finished());
}

TEST(PracticeSession, ListeningFollowsTheTimeAndScoresNothing) {
  const Song song = ReadOk("4=120 1 2 0 3");
  PracticeSession s(song);
  s.Start(PracticeMode::kListening, 50, 7);
  EXPECT_EQ(s.CurrentCountIn(), std::nullopt);
  EXPECT_EQ(s.NextNote(), 0u);
  s.Tick(7 + 1);
  EXPECT_EQ(s.NextNote(), 1u);
  s.KeyDown(kS, 0, 7 + 1000);
  EXPECT_EQ(States(s, 4), "PPPP");
  s.Tick(7 + 1001);
  EXPECT_EQ(s.NextNote(), 3u);
  s.Tick(7 + 3999);
  EXPECT_TRUE(s.Running());
  s.Tick(7 + 4000);
  EXPECT_TRUE(s.Finished());
  EXPECT_EQ(s.Result(), std::nullopt);
  EXPECT_EQ(s.ResultLine(), std::nullopt);
}

}  // namespace
}  // namespace tonvale
