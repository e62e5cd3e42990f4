// Starts the real tonvale on its own Xvfb display, picks a JACK port that
// jack_midi_dump listens on from the device menu with the keyboard, plays it
// with X key events and checks the bytes that arrive.
#include <signal.h>

#include <sstream>
#include <thread>

#include "real_program.h"

namespace {

using namespace std::chrono_literals;
using tonvale::test::ReadAll;
using tonvale::test::RealProgram;
using tonvale::test::WaitExit;

TEST_F(RealProgram, PlaysIntoAJackPortChosenFromTheDeviceMenu) {
  ASSERT_TRUE(StartProgram()) << Logs();
  Screenshot("integration-start.png");

  // Alt+6 opens the device menu; its last item is the JACK port.
  Xdo({"key", "alt+6"});
  std::this_thread::sleep_for(400ms);
  Screenshot("integration-device-menu.png");
  Xdo({"key", "Up", "Return"});
  auto got = WaitForMessages(2);
  ASSERT_EQ(got, (std::vector<std::string>{"c0 00", "cf 00"}))
      << ReadAll(dir_ / "dump.log") << ReadAll(dir_ / "tonvale.log");

  Xdo({"key", "a"});
  got = WaitForMessages(4);
  ASSERT_EQ(got.size(), 4u) << ReadAll(dir_ / "dump.log");
  EXPECT_EQ(got[2], "90 3c 7f");
  EXPECT_EQ(got[3], "80 3c 00");

  // Shift held at the press: an octave up.
  Xdo({"keydown", "shift", "key", "a", "keyup", "shift"});
  got = WaitForMessages(6);
  ASSERT_EQ(got.size(), 6u) << ReadAll(dir_ / "dump.log");
  EXPECT_EQ(got[4], "90 48 7f");
  EXPECT_EQ(got[5], "80 48 00");

  // A chord held down, as the window shows it.
  Xdo({"keydown", "d", "keydown", "g"});
  got = WaitForMessages(8);
  Screenshot("integration-chord.png");
  Xdo({"keyup", "d", "keyup", "g"});
  got = WaitForMessages(10);
  ASSERT_EQ(got.size(), 10u) << ReadAll(dir_ / "dump.log");
  EXPECT_EQ(got[6], "90 40 7f");
  EXPECT_EQ(got[7], "90 43 7f");
  EXPECT_EQ(got[8], "80 40 00");
  EXPECT_EQ(got[9], "80 43 00");

  // Held past the X server's auto-repeat delay: still one note.
  Xdo({"keydown", "j", "sleep", "1.5", "keyup", "j"});
  got = WaitForMessages(12);
  ASSERT_EQ(got.size(), 12u) << ReadAll(dir_ / "dump.log");
  EXPECT_EQ(got[10], "90 47 7f");
  EXPECT_EQ(got[11], "80 47 00");

  // Asked to end: the window closes, every channel is silenced, exit code 0.
  kill(program_, SIGTERM);
  EXPECT_EQ(WaitExit(program_), 0) << ReadAll(dir_ / "tonvale.log");
  program_ = -1;
  got = WaitForMessages(28);
  ASSERT_EQ(got.size(), 28u) << ReadAll(dir_ / "dump.log");
  for (int c = 0; c < 16; ++c) {
    std::ostringstream expected;
    expected << "b" << std::hex << c << " 7b 00";
    EXPECT_EQ(got[12 + static_cast<std::size_t>(c)], expected.str());
  }
}

}  // namespace
