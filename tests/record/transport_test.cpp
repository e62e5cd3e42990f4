// The transport's rules, once: every transition of the state table with the
// items and buttons it leaves and what the window is asked to do, and the
// greyed commands, which must do nothing. This program replaces the global
// operator new, so that the playback copy can be made to run out of memory.
#include "record/transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

namespace {
thread_local int g_fail_next = 0;
}  // namespace

// GCC pairs the library's new with our delete when inlining and warns; both
// are replaced here, so they match.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  void* p = g_fail_next-- > 0 ? nullptr : std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace tonvale {
namespace {

// The items as "E"/"G" per menu item in its order, "/", then per button; the
// requests as words.
struct FakeWindow : TransportView, MidiOut {
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
  int DeviceCount() override { return 1; }
  std::optional<std::string> DescribeDevice(int) override { return "out"; }
  bool Open(int) override { return true; }
  // All Notes Off goes to the channels in order; the last one stands for all.
  void Send(std::uint32_t packed) override { log += packed == 0x7BBF ? "silence " : ""; }
  void Close() override {}
  template <std::size_t N>
  void Set(const std::array<std::int32_t, N>& ids, std::size_t at, std::int32_t id, bool on) {
    items.at(at + static_cast<std::size_t>(std::find(ids.begin(), ids.end(), id) - ids.begin())) =
        on ? 'E' : 'G';
  }
  std::string items = "EGGGGGGGE/EGGGG";  // as the window creates them
  std::string log;
};

// Besides the commands: a key recorded, a save, a load, a command-line load,
// a command-line load of a file without events, and a stop recording whose
// playback copy runs out of memory.
enum Action { kKey = 1, kSave, kLoad, kCmdLoad, kEmptyLoad, kStopOutOfMemory };

TEST(Transport, EveryTransitionLeavesItsRow) {
  FakeWindow window;
  Instrument inst{.out = &window};
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
  const struct {
    int action;
    bool open;
    const std::string& items;
    S state;
    bool modified;
    std::string log;
  } steps[] = {
      {IDM_RECORD_START, false, empty, S::kEmpty, false, notice},
      {IDM_RECORD_START, true, recording, S::kRecording, false, ""},
      {kKey, true, recording, S::kRecording, true, ""},
      {IDM_RECORD_STOP, false, unsaved, S::kReady, true, ""},  // needs no device
      {IDM_PLAY, false, unsaved, S::kReady, true, notice},
      {IDM_PLAY_LOOP, false, unsaved, S::kReady, true, notice},
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
      // The recording is kept and can be saved, but there is nothing to play.
      {IDM_RECORD_START, true, recording, S::kRecording, false, ""},
      {kKey, true, recording, S::kRecording, true, ""},
      {kStopOutOfMemory, true, "EGGGGEEEE/EGGGG", S::kReady, true, "内存分配错误.|错误 "},
      {kEmptyLoad, true, nothing_to_play, S::kReady, false, ""},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(testing::Message() << "action " << s.action << " open " << s.open);
    inst.settings.device_open = s.open;
    window.log.clear();
    if (s.action == kKey) {
      RecordKeyEvent(rec, modified, clock, kKeyDown, 0x001E0001u, 0);
    } else if (s.action == kSave) {
      modified = false;
      transport.Refresh();
    } else if (s.action >= kLoad && s.action <= kEmptyLoad) {
      rec.recording_events.assign(s.action == kEmptyLoad ? 0 : 1, {5, kKeyDown, 0x001E0001u, 0});
      play.playback_events = rec.recording_events;
      modified = false;
      transport.FileLoaded(s.action != kLoad);
    } else {
      g_fail_next = s.action == kStopOutOfMemory ? 1 : 0;
      ASSERT_TRUE(
          transport.HandleCommand(s.action == kStopOutOfMemory ? IDM_RECORD_STOP : s.action));
    }
    EXPECT_EQ(window.items, s.items);
    EXPECT_EQ(transport.state(), s.state);
    EXPECT_EQ(modified, s.modified);
    EXPECT_EQ(window.log, s.log);
    if (s.action == kStopOutOfMemory) EXPECT_EQ(play.playback_count(), 0u) << "not the old copy";
    // Greying is the only guard: a greyed command (a late stop from the
    // scheduler, the autoplay timer's play) does nothing at all.
    window.log.clear();
    for (std::int32_t id : kTransportButtons) {
      if (s.items[std::size_t(id - IDM_RECORD_START)] == 'G') {
        EXPECT_FALSE(transport.HandleCommand(id)) << id;
      }
    }
    EXPECT_EQ(window.log + window.items, s.items);
  }
  // Stop playing also ends the held group (the shift in force is kept).
  inst.keys = {.shift_state = 1, .held_raised = 2};
  transport.StopPlaying();
  EXPECT_EQ(inst.keys.held_raised, 0);
  EXPECT_EQ(inst.keys.shift_state, 1);
}

}  // namespace
}  // namespace tonvale
