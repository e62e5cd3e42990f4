// The transport's table walk, with every item, is asserted in the window
// (tests/shell/recording_session_test.cpp); here what the window does not
// reach: the view and Items() agree, the Ready rows after saves, loads and
// plays, dropped commands and the order of stopping.
#include "record/transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "perform/instrument.h"
#include "perform/midi_output.h"

namespace tonvale {
namespace {

// Everything the transport asks of the window and sends, in one log; the
// items as "E"/"G" per menu item in its order, "/", then per button.
class FakeWindow : public TransportView, public MidiOut {
 public:
  void EnableMenuItem(std::int32_t id, bool enabled) override {
    Set(kTransportMenuItems, 0, id, enabled);
  }
  void EnableButton(std::int32_t id, bool enabled) override {
    Set(kTransportButtons, 10, id, enabled);
  }
  void ShowNotice(std::string_view text, std::string_view caption) override {
    log.push_back("notice " + std::string(text) + "|" + std::string(caption));
  }
  void ShowError(std::string_view text, std::string_view) override {
    log.push_back("error " + std::string(text));
  }
  void Repaint() override { log.push_back("repaint"); }
  void StartScheduler(bool loop) override { log.push_back(loop ? "start loop" : "start once"); }
  void StopScheduler() override { log.push_back("stop"); }
  int DeviceCount() override { return 1; }
  std::optional<std::string> DescribeDevice(int) override { return "out"; }
  bool Open(int) override { return true; }
  void Send(std::uint32_t packed) override { log.push_back("send " + std::to_string(packed)); }
  void Close() override {}
  std::vector<std::string> Take() { return std::exchange(log, {}); }

  std::string items = "EGGGGGGGE/EGGGG";  // as the window creates them
  std::vector<std::string> log;

 private:
  template <std::size_t N>
  void Set(const std::array<std::int32_t, N>& ids, std::size_t at, std::int32_t id, bool enabled) {
    const auto i = static_cast<std::size_t>(std::find(ids.begin(), ids.end(), id) - ids.begin());
    items.at(at + i) = i < N ? (enabled ? 'E' : 'G') : '?';
  }
};

// Rows of the table: menu 1283..1287 1288 1289 1282 1296, then the buttons.
const std::string kEmpty = "EGGGGGGGE/EGGGG";
const std::string kModified = "EGEEGEEEE/EGEEG";
const std::string kSaved = "EGEEGGEEE/EGEEG";
const std::string kExportHeld = "EGEEGGEGE/EGEEG";
const std::vector<std::string> kNotice = {"notice 请打开开关|提示"};

class TransportTest : public ::testing::Test {
 protected:
  TransportTest() {
    inst.out = &window;
    inst.settings.device_open = 1;
  }
  // The window shows what the transport believes.
  void Expect(const std::string& items, TransportState state) {
    EXPECT_EQ(window.items, items);
    std::string own;
    for (bool e : transport.Items().menu) own += e ? 'E' : 'G';
    own += '/';
    for (bool e : transport.Items().button) own += e ? 'E' : 'G';
    EXPECT_EQ(own, items);
    EXPECT_EQ(transport.state(), state);
  }
  void Do(std::int32_t id) { ASSERT_TRUE(transport.HandleCommand(id)) << id; }
  void RecordKeys(int count) {
    Do(IDM_RECORD_START);
    for (int i = 0; i < count; ++i) {
      clock.Advance(100);
      RecordKeyEvent(rec, modified, clock, kKeyDown, 0x001E0001u, 0);
    }
    Do(IDM_RECORD_STOP);
  }

  FakeWindow window;
  Instrument inst;
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  SettableMillisecondClock clock{1000};
  Transport transport{window, inst, rec, play, modified, clock};
};

TEST_F(TransportTest, ReadyRowsAfterSavesLoadsAndPlays) {
  RecordKeys(1);
  Expect(kModified, TransportState::kReady);
  EXPECT_EQ(play.playback_events, rec.recording_events);
  // Saved: save stays greyed after a play.
  modified = false;
  transport.Refresh();
  Expect(kSaved, TransportState::kReady);
  window.Take();
  Do(IDM_PLAY);
  EXPECT_EQ(window.Take(), std::vector<std::string>{"start once"});
  Do(IDM_PLAY_STOP);
  Expect(kSaved, TransportState::kReady);

  // A new recording replaces the playback copy only when it stops.
  Do(IDM_RECORD_START);
  EXPECT_EQ(rec.recording_count(), 0u);
  EXPECT_EQ(play.playback_count(), 1u);
  Do(IDM_RECORD_STOP);
  RecordKeys(2);
  EXPECT_EQ(play.playback_count(), 2u);

  // Loads: a plain one, and a command-line one whose export is held until a
  // new recording or a stopped play.
  modified = false;
  transport.FileLoaded(false);
  Expect(kSaved, TransportState::kReady);
  transport.FileLoaded(true);
  Expect(kExportHeld, TransportState::kReady);
  RecordKeys(1);
  Expect(kModified, TransportState::kReady);
  modified = false;
  transport.FileLoaded(true);
  Do(IDM_PLAY);
  Do(IDM_PLAY_STOP);
  Expect(kSaved, TransportState::kReady);
}

TEST_F(TransportTest, GreyedCommandsAreDroppedAndEmptyListsNeverPlay) {
  auto dropped = [&](std::initializer_list<std::int32_t> ids) {
    window.Take();
    for (std::int32_t id : ids) EXPECT_FALSE(transport.HandleCommand(id)) << id;
    EXPECT_TRUE(window.log.empty());
  };
  dropped({IDM_RECORD_STOP, IDM_PLAY, IDM_PLAY_LOOP, IDM_PLAY_STOP, IDM_FILE_SAVE});
  Do(IDM_RECORD_START);
  dropped({IDM_RECORD_START, IDM_PLAY, IDM_PLAY_LOOP, IDM_PLAY_STOP});
  Do(IDM_RECORD_STOP);
  Expect(kEmpty, TransportState::kEmpty);
  RecordKeys(1);
  Do(IDM_PLAY);
  dropped({IDM_RECORD_START, IDM_RECORD_STOP, IDM_PLAY, IDM_PLAY_LOOP});
  EXPECT_EQ(transport.state(), TransportState::kPlaying);
  // The scheduler's own stop arriving after the user's does nothing.
  Do(IDM_PLAY_STOP);
  window.Take();
  EXPECT_FALSE(transport.HandleCommand(IDM_PLAY_STOP));
  EXPECT_TRUE(window.log.empty()) << "no second silencing";

  // A loaded file with no events: Ready with nothing to play; the autoplay
  // timer's play is dropped too.
  rec.recording_events.clear();
  play.playback_events.clear();
  modified = false;
  transport.FileLoaded(true);
  Expect("EGGGGGEGE/EGGGG", TransportState::kReady);
  EXPECT_FALSE(transport.HandleCommand(IDM_PLAY));
  transport.Play(true);
  EXPECT_TRUE(window.log.empty());
  EXPECT_EQ(transport.state(), TransportState::kReady);
}

TEST_F(TransportTest, ClosedDeviceAndTheOrderOfStopPlaying) {
  inst.settings.device_open = 0;
  Do(IDM_RECORD_START);
  EXPECT_EQ(window.Take(), kNotice);
  Expect(kEmpty, TransportState::kEmpty);
  EXPECT_FALSE(rec.recording_flag);

  // Stop recording needs no device; nothing else moves while it is closed.
  inst.settings.device_open = 1;
  Do(IDM_RECORD_START);
  clock.Advance(100);
  RecordKeyEvent(rec, modified, clock, kKeyDown, 0x001E0001u, 0);
  inst.settings.device_open = 0;
  Do(IDM_RECORD_STOP);
  Expect(kModified, TransportState::kReady);
  const std::vector<PerformanceEvent> kept = rec.recording_events;
  window.Take();
  for (std::int32_t id : {IDM_PLAY, IDM_PLAY_LOOP, IDM_RECORD_START}) {
    Do(id);
    EXPECT_EQ(window.Take(), kNotice) << id;
    Expect(kModified, TransportState::kReady);
  }
  EXPECT_EQ(rec.recording_events, kept);

  // Stop playing: the scheduler, then all sixteen channels silenced (while
  // open), then a repaint; held-key counters reset, the shift in force kept.
  inst.settings.device_open = 1;
  Do(IDM_PLAY_LOOP);
  inst.keys = {.shift_state = 1, .held_plain = 1, .held_raised = 2, .held_lowered = 3};
  window.Take();
  Do(IDM_PLAY_STOP);
  std::vector<std::string> expected = {"stop"};
  for (std::uint32_t ch = 0; ch < 16; ++ch) {
    expected.push_back("send " + std::to_string(0xB0u | ch | (123u << 8)));
  }
  expected.push_back("repaint");
  EXPECT_EQ(window.Take(), expected);
  EXPECT_EQ(inst.keys.held_plain, 0);
  EXPECT_EQ(inst.keys.held_raised, 0);
  EXPECT_EQ(inst.keys.held_lowered, 0);
  EXPECT_EQ(inst.keys.shift_state, 1);
  Expect(kModified, TransportState::kReady);

  // Closed while playing: stop playing still works.
  Do(IDM_PLAY);
  inst.settings.device_open = 0;
  Do(IDM_PLAY_STOP);
  Expect(kModified, TransportState::kReady);
}

}  // namespace
}  // namespace tonvale
