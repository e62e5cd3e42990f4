#include "record/transport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "perform/instrument.h"
#include "perform/midi_output.h"
#include "recording_sink.h"

namespace tonvale {
namespace {

// The recording menu's order, and the buttons'.
constexpr std::int32_t kMenuOrder[9] = {1283, 1284, 1285, 1286, 1287, 1288, 1289, 1282, 1296};
constexpr std::int32_t kButtonOrder[5] = {1283, 1284, 1285, 1286, 1287};

// Everything the transport asks of the window, in one log, with the MIDI
// output writing to the same log so the order of steps can be checked.
class FakeWindow : public TransportView, public MidiOut {
 public:
  FakeWindow() {
    // As the menu bar and the window create them.
    for (std::int32_t id : kMenuOrder) menu[id] = id == 1283 || id == 1296;
    for (std::int32_t id : kButtonOrder) button[id] = id == 1283;
  }

  void EnableMenuItem(std::int32_t command, bool enabled) override { menu[command] = enabled; }
  void EnableButton(std::int32_t command, bool enabled) override { button[command] = enabled; }
  void ShowNotice(std::string_view text, std::string_view caption) override {
    log.push_back("notice " + std::string(text) + "|" + std::string(caption));
  }
  void ShowError(std::string_view text, std::string_view caption) override {
    log.push_back("error " + std::string(text) + "|" + std::string(caption));
  }
  void Repaint() override { log.push_back("repaint"); }
  void StartScheduler(bool loop) override { log.push_back(loop ? "start loop" : "start once"); }
  void StopScheduler() override { log.push_back("stop"); }

  int DeviceCount() override { return 1; }
  std::optional<std::string> DescribeDevice(int) override { return "out"; }
  bool Open(int) override { return true; }
  void Send(std::uint32_t packed) override { log.push_back("send " + std::to_string(packed)); }
  void Close() override {}

  // "E"/"G" per item in menu order, "/", then per button.
  std::string Items() const {
    std::string s;
    for (std::int32_t id : kMenuOrder) s += menu.at(id) ? 'E' : 'G';
    s += '/';
    for (std::int32_t id : kButtonOrder) s += button.at(id) ? 'E' : 'G';
    return s;
  }

  std::map<std::int32_t, bool> menu;
  std::map<std::int32_t, bool> button;
  std::vector<std::string> log;
};

std::string AsText(const ItemStates& items) {
  std::string s;
  for (bool e : items.menu) s += e ? 'E' : 'G';
  s += '/';
  for (bool e : items.button) s += e ? 'E' : 'G';
  return s;
}

// The state table, one string per state: menu 1283 1284 1285 1286 1287
// 1288 1289 1282 1296, then the five buttons.
const std::string kEmpty = "EGGGGGGGE/EGGGG";
const std::string kRecording = "GEGGGGGGG/GEGGG";
const std::string kReadyModified = "EGEEGEEEE/EGEEG";
const std::string kReadySaved = "EGEEGGEEE/EGEEG";
const std::string kReadyCommandLine = "EGEEGGEGE/EGEEG";
const std::string kPlaying = "GGGGEGGGG/GGGGE";

class TransportTest : public ::testing::Test {
 protected:
  TransportTest() {
    inst.out = &window;
    inst.settings.device_open = 1;
  }

  // The window shows what the transport believes, and both match the table.
  void ExpectItems(const std::string& expected, TransportState state) {
    EXPECT_EQ(window.Items(), expected);
    EXPECT_EQ(AsText(transport.Items()), expected);
    EXPECT_EQ(transport.state(), state);
  }
  void RecordOneKey() {
    clock.Advance(100);
    RecordKeyEvent(rec, modified, clock, kKeyDown, 0x001E0001u, 0);
  }
  std::vector<std::string> TakeLog() {
    std::vector<std::string> log;
    log.swap(window.log);
    return log;
  }

  FakeWindow window;
  Instrument inst;
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  SettableMillisecondClock clock{1000};
  Transport transport{window, inst, rec, play, modified, clock};
};

TEST_F(TransportTest, EveryTransitionLeavesEveryItemAsTheTableSays) {
  ExpectItems(kEmpty, TransportState::kEmpty);

  // Empty -> Recording -> Empty: nothing recorded clears the modified flag.
  modified = true;
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  ExpectItems(kRecording, TransportState::kRecording);
  EXPECT_TRUE(rec.recording_flag);
  EXPECT_EQ(rec.last_event_time, 1000u);
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));
  ExpectItems(kEmpty, TransportState::kEmpty);
  EXPECT_FALSE(modified);
  EXPECT_FALSE(rec.recording_flag);

  // Empty -> Recording -> Ready with one event, copied for playback.
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  RecordOneKey();
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));
  ExpectItems(kReadyModified, TransportState::kReady);
  EXPECT_TRUE(modified);
  EXPECT_EQ(play.playback_events, rec.recording_events);
  EXPECT_EQ(play.playback_count(), 1u);

  // Ready -> Playing (once) -> Ready; Ready -> Playing (loop) -> Ready.
  TakeLog();
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY));
  ExpectItems(kPlaying, TransportState::kPlaying);
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"start once"});
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY_STOP));
  ExpectItems(kReadyModified, TransportState::kReady);
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY_LOOP));
  ExpectItems(kPlaying, TransportState::kPlaying);
  EXPECT_EQ(TakeLog().back(), "start loop");
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY_STOP));
  ExpectItems(kReadyModified, TransportState::kReady);

  // A save clears the flag; the window refreshes the items.
  modified = false;
  transport.Refresh();
  ExpectItems(kReadySaved, TransportState::kReady);
  // After a play, save stays greyed for a saved recording.
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY));
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY_STOP));
  ExpectItems(kReadySaved, TransportState::kReady);

  // Ready -> Recording discards the previous recording without asking,
  // even unsaved; the playback copy stays until the recording stops.
  modified = true;
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  ExpectItems(kRecording, TransportState::kRecording);
  EXPECT_EQ(rec.recording_count(), 0u);
  EXPECT_EQ(play.playback_count(), 1u);
  RecordOneKey();
  RecordOneKey();
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));
  ExpectItems(kReadyModified, TransportState::kReady);
  EXPECT_EQ(play.playback_count(), 2u);

  // Loads: a plain one, and one from the command line, whose export stays
  // greyed until a play has been stopped.
  modified = false;
  transport.FileLoaded(false);
  ExpectItems(kReadySaved, TransportState::kReady);
  transport.FileLoaded(true);
  ExpectItems(kReadyCommandLine, TransportState::kReady);
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  RecordOneKey();
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));
  // A new recording can be exported.
  ExpectItems(kReadyModified, TransportState::kReady);
  modified = false;
  transport.FileLoaded(true);
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY));
  ExpectItems(kPlaying, TransportState::kPlaying);
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY_STOP));
  ExpectItems(kReadySaved, TransportState::kReady);
}

TEST_F(TransportTest, GreyedCommandsAreDroppedAndEmptyListsNeverPlay) {
  // Empty: only start recording is on.
  for (std::int32_t id : {IDM_RECORD_STOP, IDM_PLAY, IDM_PLAY_LOOP, IDM_PLAY_STOP}) {
    EXPECT_FALSE(transport.HandleCommand(id)) << id;
  }
  EXPECT_FALSE(transport.HandleCommand(IDM_FILE_SAVE)) << "not a transport command";
  EXPECT_TRUE(window.log.empty());
  ExpectItems(kEmpty, TransportState::kEmpty);

  // Recording: only stop recording.
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  for (std::int32_t id : {IDM_RECORD_START, IDM_PLAY, IDM_PLAY_LOOP, IDM_PLAY_STOP}) {
    EXPECT_FALSE(transport.HandleCommand(id)) << id;
  }
  RecordOneKey();
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));

  // Playing: only stop playing. A stop that arrives after the user already
  // stopped (the scheduler's own, late) does nothing.
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY));
  for (std::int32_t id : {IDM_RECORD_START, IDM_RECORD_STOP, IDM_PLAY, IDM_PLAY_LOOP}) {
    EXPECT_FALSE(transport.HandleCommand(id)) << id;
  }
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY_STOP));
  TakeLog();
  EXPECT_FALSE(transport.HandleCommand(IDM_PLAY_STOP));
  EXPECT_TRUE(window.log.empty()) << "no second silencing";

  // A loaded file with no events: Ready, but nothing to play, and the
  // autoplay timer's play is dropped.
  rec.recording_events.clear();
  play.playback_events.clear();
  modified = false;
  transport.FileLoaded(true);
  ExpectItems("EGGGGGEGE/EGGGG", TransportState::kReady);
  EXPECT_FALSE(transport.HandleCommand(IDM_PLAY));
  transport.Play(true);  // even when called directly
  EXPECT_TRUE(window.log.empty());
  EXPECT_EQ(transport.state(), TransportState::kReady);
}

TEST_F(TransportTest, DeviceClosedShowsTheNoticeAndChangesNothing) {
  inst.settings.device_open = 0;
  const std::string notice = "notice 请打开开关|提示";
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  EXPECT_EQ(TakeLog(), std::vector<std::string>{notice});
  ExpectItems(kEmpty, TransportState::kEmpty);
  EXPECT_FALSE(rec.recording_flag);

  // Reach Ready with the device open, then close it.
  inst.settings.device_open = 1;
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  RecordOneKey();
  inst.settings.device_open = 0;
  // Stop recording needs no device.
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));
  ExpectItems(kReadyModified, TransportState::kReady);
  const std::vector<PerformanceEvent> kept = rec.recording_events;
  TakeLog();

  for (std::int32_t id : {IDM_PLAY, IDM_PLAY_LOOP, IDM_RECORD_START}) {
    ASSERT_TRUE(transport.HandleCommand(id));
    EXPECT_EQ(TakeLog(), std::vector<std::string>{notice}) << id;
    ExpectItems(kReadyModified, TransportState::kReady);
  }
  EXPECT_EQ(rec.recording_events, kept);
  EXPECT_FALSE(rec.recording_flag);

  // Closing the device while playing: stop playing still works.
  inst.settings.device_open = 1;
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY));
  inst.settings.device_open = 0;
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY_STOP));
  ExpectItems(kReadyModified, TransportState::kReady);
}

TEST_F(TransportTest, StopPlayingStopsResetsSilencesThenRepaints) {
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  RecordOneKey();
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));
  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY_LOOP));
  inst.keys.shift_state = 1;
  inst.keys.held_plain = 1;
  inst.keys.held_raised = 2;
  inst.keys.held_lowered = 3;
  TakeLog();

  ASSERT_TRUE(transport.HandleCommand(IDM_PLAY_STOP));
  std::vector<std::string> expected = {"stop"};
  for (std::uint32_t ch = 0; ch < 16; ++ch) {
    expected.push_back("send " + std::to_string(0xB0u | ch | (123u << 8)));
  }
  expected.push_back("repaint");
  EXPECT_EQ(TakeLog(), expected);
  EXPECT_EQ(inst.keys.held_plain, 0);
  EXPECT_EQ(inst.keys.held_raised, 0);
  EXPECT_EQ(inst.keys.held_lowered, 0);
  EXPECT_EQ(inst.keys.shift_state, 1) << "the shift in force is kept";
  ExpectItems(kReadyModified, TransportState::kReady);
}

}  // namespace
}  // namespace tonvale
