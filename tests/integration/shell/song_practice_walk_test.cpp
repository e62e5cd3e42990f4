// The real tonvale on its own Xvfb display with a song named on its command
// line: played by real X key presses in the waiting mode, one of them wrong,
// until its result line comes on standard error; then listened to, heard at
// a JACK port of our own: the song's notes in order, at its tempo.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "jack_midi_receiver.h"
#include "servers.h"
#include "x_desktop.h"

namespace tonvale::test {
namespace {

namespace fs = std::filesystem;
using Messages = std::vector<std::string>;

// C major at 150 crotchets a minute: 400 ms a beat. Keys A S D G, G D.
const char* kSong = "title=Walk\n1=C 4/4 4=150\n1 2 3 5 | 5 - 3 - |\n";
const Messages kNotes = {"90 3c 7f", "80 3c 00", "90 3e 7f", "80 3e 00", "90 40 7f", "80 40 00",
                         "90 43 7f", "80 43 00", "90 43 7f", "80 43 00", "90 40 7f", "80 40 00"};
// Where each note begins, ms from the first.
const std::vector<double> kOnsets = {0, 400, 800, 1200, 1600, 2400};
const Messages kAllNotesOff = {
    "b0 7b 00", "b1 7b 00", "b2 7b 00", "b3 7b 00", "b4 7b 00", "b5 7b 00", "b6 7b 00", "b7 7b 00",
    "b8 7b 00", "b9 7b 00", "ba 7b 00", "bb 7b 00", "bc 7b 00", "bd 7b 00", "be 7b 00", "bf 7b 00"};

class SongPracticeWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    desk_.log = dir_.path() / "tonvale.log";
    ASSERT_TRUE(jack_.Start(128, dir_.path())) << jack_.error();
    receiver_ = std::make_unique<JackMidiReceiver>();
    ASSERT_TRUE(receiver_->ok());
  }

  std::string Log() { return ReadText(desk_.log); }
  bool Next(const Messages& next) {
    const Messages got = BytesOf(receiver_->WaitFor(count_ + next.size()), count_, next.size());
    EXPECT_EQ(got, next) << "from message " << count_ << "\n" << Log();
    count_ += next.size();
    return got == next;
  }
  bool LogShows(const std::string& text) {
    for (const auto end = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(20ms)) {
      if (Log().find(text) != std::string::npos) return true;
    }
    return false;
  }

  ScratchDir dir_{"tonvale-song-walk"};
  XServer x_{dir_.path()};
  JackServer jack_;
  XDesktop desk_{x_, dir_.path()};  // after the JACK server, whose name it takes
  std::unique_ptr<JackMidiReceiver> receiver_;
  Process program_;
  std::size_t count_ = 0;
};

TEST_F(SongPracticeWalk, WaitsForRealKeysCountsAWrongOneAndPlaysTheSongAtItsTempo) {
  const fs::path song = dir_.path() / "walk.txt";
  std::ofstream(song) << kSong;
  program_ =
      Process({.args = {TONVALE_PROGRAM, song.string()}, .env = desk_.env, .log = desk_.log});
  desk_.Xdo({"windowfocus", "--sync", desk_.Await("^Tonvale - ", 1)});
  // The device menu's last item is the JACK port.
  desk_.Menu('6', {"Up", "Return"});
  ASSERT_TRUE(Next({"c0 00", "cf 00"}));

  // Waiting: H (note 69) is wrong while 3 is awaited; every key sounds.
  desk_.Xdo({"key", "--delay", "30", "a", "s", "h", "d", "g", "g", "d"});
  Messages played(kNotes.begin(), kNotes.begin() + 4);
  played.insert(played.end(), {"90 45 7f", "80 45 00"});
  played.insert(played.end(), kNotes.begin() + 4, kNotes.end());
  ASSERT_TRUE(Next(played));
  EXPECT_TRUE(LogShows("tonvale: practice \"Walk\": 5 of 6 notes right\n")) << Log();

  // Listening, chosen and started from the practice menu.
  desk_.Menu('9', {"l"});
  desk_.Menu('9', {"s"});
  const std::size_t first = count_;
  ASSERT_TRUE(Next(kNotes) && Next(kAllNotesOff));
  const ReceivedList got = receiver_->Events();
  std::vector<double> off;  // how far each onset was from the song's
  for (std::size_t i = 0; i < kOnsets.size(); ++i) {
    off.push_back(std::abs(got[first + 2 * i].ms - got[first].ms - kOnsets[i]));
  }
  std::sort(off.begin(), off.end());
  EXPECT_LT(off[off.size() / 2], 5.0) << ::testing::PrintToString(off);
  EXPECT_LT(off.back(), 30.0) << ::testing::PrintToString(off);
  // Each note lasts its written length, all but a moment before the next.
  EXPECT_GT(got[first + 1].ms - got[first].ms, 350.0);

  EXPECT_EQ(program_.Stop(SIGTERM, 20s), 0) << Log();
  ASSERT_TRUE(Next(kAllNotesOff));
  EXPECT_EQ(receiver_->Events().size(), count_) << "nothing more after the end";
}

}  // namespace
}  // namespace tonvale::test
