// The transport's rules, once: every transition of the state table with the
// items and buttons it leaves and what the window is asked to do, and the
// greyed commands, which must do nothing.
#include "record/transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "recording_sink.h"

namespace tonvale {

// The items as "E"/"G" per menu item in its order, "/", then per button; the
// requests as words.
struct FakeWindow : TransportView, test::RecordingSink {
  void EnableMenuItem(std::int32_t id, bool on) override { Set(kTransportMenuItems, 0, id, on); }
  void EnableButton(std::int32_t id, bool on) override { Set(kTransportButtons, 10, id, on); }
  void ShowNotice(std::string_view text, std::string_view caption) override {
    log += std::string(text) + "|" + std::string(caption) + " ";
  }
  void ShowError(std::string_view text, std::string_view caption) override {
    ShowNotice(text, caption);
  }
  void Repaint() override { log += "repaint "; }
  void StartScheduler(bool loop) override { log += loop ? "loop " : "once "; }
  void StopScheduler() override { log += "stop "; }
  // All Notes Off goes to the channels in order; the last one stands for all.
  void Send(std::uint32_t packed) override { log += packed == 0x7BBF ? "silence " : ""; }
  template <std::size_t N>
  void Set(const std::array<std::int32_t, N>& ids, std::size_t at, std::int32_t id, bool on) {
    items.at(at + static_cast<std::size_t>(std::find(ids.begin(), ids.end(), id) - ids.begin())) =
        on ? 'E' : 'G';
  }
  std::string items = "EGGGGGGGE/EGGGG";  // as the window creates them
  std::string log;
};

// Besides the commands: a key recorded, a save, a load, a command-line load
// and a command-line load of a file without events.
enum Action { kKey = 1, kSave, kLoad, kCmdLoad, kEmptyLoad };

TEST(Transport, EveryTransitionLeavesItsRow) {
  FakeWindow window;
  Instrument inst{.settings = {}, .keys = {}, .out = &window, .hooks = nullptr, .pedal = {}};
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  SettableMillisecondClock clock;
  Transport transport{window, inst, rec, play, modified, clock};
  // Rows of the state table: menu 1283..1287 1288 1289 1282 1296, buttons.
  const std::string empty = "EGGGGGGGE/EGGGG", recording = "GEGGGGGGG/GEGGG",
                    unsaved = "EGEEGEEEE/EGEEG", saved = "EGEEGGEEE/EGEEG",
                    export_held = "EGEEGGEGE/EGEEG", nothing_to_play = "EGGGGGEGE/EGGGG",
                    playing = "GGGGEGGGG/GGGGE", notice = "请打开开关|提示 ";
  using S = TransportState;
  // {action, output open, the items after it, state, modified flag, what the
  // window was asked to do}
  const std::tuple<int, bool, std::string, S, bool, std::string> steps[] = {
      {IDM_RECORD_START, false, empty, S::kEmpty, false, notice},
      {IDM_RECORD_START, true, recording, S::kRecording, false, ""},
      {kKey, true, recording, S::kRecording, true, ""},
      {IDM_RECORD_STOP, false, unsaved, S::kReady, true, ""},  // needs no device
      {IDM_PLAY, false, unsaved, S::kReady, true, notice},
      {IDM_RECORD_START, false, unsaved, S::kReady, true, notice},
      {IDM_PLAY, true, playing, S::kPlaying, true, "once "},
      {IDM_PLAY_STOP, true, unsaved, S::kReady, true, "stop silence repaint "},
      // A new recording with no event: the old one is gone, nothing unsaved.
      {IDM_RECORD_START, true, recording, S::kRecording, true, ""},
      {IDM_RECORD_STOP, true, empty, S::kEmpty, false, ""},
      {IDM_RECORD_START, true, recording, S::kRecording, false, ""},
      {kKey, true, recording, S::kRecording, true, ""},
      {IDM_RECORD_STOP, true, unsaved, S::kReady, true, ""},
      {kSave, true, saved, S::kReady, false, ""},
      {IDM_PLAY_LOOP, true, playing, S::kPlaying, false, "loop "},
      // Closed while playing: stop still works; nothing is there to silence.
      {IDM_PLAY_STOP, false, saved, S::kReady, false, "stop repaint "},
      {kLoad, true, saved, S::kReady, false, ""},
      // A command-line load holds export back until a recording or a stopped play.
      {kCmdLoad, true, export_held, S::kReady, false, ""},
      {IDM_RECORD_START, true, recording, S::kRecording, false, ""},
      {kKey, true, recording, S::kRecording, true, ""},
      {IDM_RECORD_STOP, true, unsaved, S::kReady, true, ""},
      {kCmdLoad, true, export_held, S::kReady, false, ""},
      {IDM_PLAY, true, playing, S::kPlaying, false, "once "},
      {IDM_PLAY_STOP, true, saved, S::kReady, false, "stop silence repaint "},
      {kEmptyLoad, true, nothing_to_play, S::kReady, false, ""},
  };
  for (const auto& [action, open, items, state, is_modified, log] : steps) {
    SCOPED_TRACE(testing::Message() << "action " << action << " open " << open);
    inst.settings.device_open = open;
    inst.keys = {.shift_state = 1, .held_raised = 2};
    window.log.clear();
    if (action == kKey) {
      RecordKeyEvent(rec, modified, clock, kKeyDown, 0x001E0001u, 0);
    } else if (action == kSave) {
      modified = false;
      transport.Refresh();
    } else if (action >= kLoad && action <= kEmptyLoad) {
      rec.recording_events.assign(action == kEmptyLoad ? 0 : 1, {5, kKeyDown, 0x001E0001u, 0});
      play.playback_events = rec.recording_events;
      modified = false;
      transport.FileLoaded(action != kLoad);
    } else {
      ASSERT_TRUE(transport.HandleCommand(action));
    }
    EXPECT_EQ(window.items, items);
    EXPECT_EQ(transport.state(), state);
    EXPECT_EQ(modified, is_modified);
    EXPECT_EQ(window.log, log);
    // Stop playing ends the held group; the shift in force is kept.
    EXPECT_EQ(inst.keys.held_raised, action == IDM_PLAY_STOP ? 0 : 2);
    EXPECT_EQ(inst.keys.shift_state, 1);
    // Greying is the only guard: a greyed command (a late stop from the
    // scheduler, the autoplay timer's play) does nothing at all.
    window.log.clear();
    for (std::int32_t id : kTransportButtons) {
      if (items[std::size_t(id - IDM_RECORD_START)] == 'G') {
        EXPECT_FALSE(transport.HandleCommand(id)) << id;
      }
    }
    EXPECT_EQ(window.log + window.items, items);
  }
}

}  // namespace tonvale
