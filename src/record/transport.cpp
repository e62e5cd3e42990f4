#include "record/transport.h"

#include <algorithm>

#include "perform/key_handler.h"
#include "perform/midi_messages.h"
#include "perform/sustain_pedal.h"

namespace tonvale {

namespace {

template <std::size_t N>
int IndexOf(const std::array<std::int32_t, N>& ids, std::int32_t command) {
  const auto it = std::find(ids.begin(), ids.end(), command);
  return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

// One row of the state table: the menu in kTransportMenuItems order, then
// the buttons in kTransportButtons order.
struct Row {
  std::array<bool, 9> menu;
  std::array<bool, 5> button;
};

constexpr bool E = true;
constexpr bool G = false;

//                               1283 1284 1285 1286 1287 1288 1289 1282 1296
constexpr Row kEmptyRow{{{E, G, G, G, G, G, G, G, E}}, {{E, G, G, G, G}}};
constexpr Row kRecordingRow{{{G, E, G, G, G, G, G, G, G}}, {{G, E, G, G, G}}};
constexpr Row kReadyRow{{{E, G, E, E, G, E, E, E, E}}, {{E, G, E, E, G}}};
constexpr Row kPlayingRow{{{G, G, G, G, E, G, G, G, G}}, {{G, G, G, G, E}}};

}  // namespace

bool ItemStates::MenuEnabled(std::int32_t command) const {
  const int i = IndexOf(kTransportMenuItems, command);
  return i >= 0 && menu[static_cast<std::size_t>(i)];
}

bool ItemStates::ButtonEnabled(std::int32_t command) const {
  const int i = IndexOf(kTransportButtons, command);
  return i >= 0 && button[static_cast<std::size_t>(i)];
}

ItemStates ItemStatesFor(TransportState state, const ItemConditions& conditions) {
  Row row = kEmptyRow;
  switch (state) {
    case TransportState::kEmpty:
      row = kEmptyRow;
      break;
    case TransportState::kRecording:
      row = kRecordingRow;
      break;
    case TransportState::kPlaying:
      row = kPlayingRow;
      break;
    case TransportState::kReady:
      row = kReadyRow;
      row.menu[static_cast<std::size_t>(IndexOf(kTransportMenuItems, IDM_FILE_SAVE))] =
          conditions.modified;
      row.menu[static_cast<std::size_t>(IndexOf(kTransportMenuItems, IDM_EXPORT_MIDI))] =
          !conditions.export_held;
      // Never offer to play an empty playback list (a failed copy).
      for (std::int32_t id : {IDM_PLAY, IDM_PLAY_LOOP}) {
        row.menu[static_cast<std::size_t>(IndexOf(kTransportMenuItems, id))] = conditions.can_play;
        row.button[static_cast<std::size_t>(IndexOf(kTransportButtons, id))] = conditions.can_play;
      }
      break;
  }
  return ItemStates{row.menu, row.button};
}

Transport::Transport(TransportView& view, Instrument& inst, RecordingList& recording,
                     PlaybackList& playback, bool& modified_flag, MillisecondClock& clock)
    : view_(view),
      inst_(inst),
      recording_(recording),
      playback_(playback),
      modified_flag_(modified_flag),
      clock_(clock) {}

ItemStates Transport::Items() const {
  return ItemStatesFor(
      state_, ItemConditions{modified_flag_, export_held_, !playback_.playback_events.empty()});
}

bool Transport::HandleCommand(std::int32_t command) {
  if (IndexOf(kTransportButtons, command) < 0) return false;
  if (!Items().MenuEnabled(command)) return false;
  switch (command) {
    case IDM_RECORD_START:
      StartRecording();
      break;
    case IDM_RECORD_STOP:
      StopRecording();
      break;
    case IDM_PLAY:
      Play(false);
      break;
    case IDM_PLAY_LOOP:
      Play(true);
      break;
    case IDM_PLAY_STOP:
      StopPlaying();
      break;
  }
  return true;
}

void Transport::Menu(std::int32_t command, bool enabled) {
  view_.EnableMenuItem(command, enabled);
}

void Transport::Button(std::int32_t command, bool enabled) {
  view_.EnableButton(command, enabled);
}

void Transport::StartRecording() {
  if (inst_.settings.device_open == 0) {
    view_.ShowNotice(kOpenDeviceNotice, kNoticeCaption);
    return;
  }
  Menu(IDM_RECORD_START, false);
  Menu(IDM_RECORD_STOP, true);
  for (std::int32_t id : {IDM_PLAY, IDM_PLAY_LOOP, IDM_PLAY_STOP, IDM_FILE_SAVE, IDM_FILE_SAVE_AS,
                          IDM_FILE_OPEN, IDM_EXPORT_MIDI}) {
    Menu(id, false);
  }
  Button(IDM_RECORD_START, false);
  Button(IDM_RECORD_STOP, true);
  Button(IDM_PLAY, false);
  Button(IDM_PLAY_LOOP, false);
  Button(IDM_PLAY_STOP, false);
  state_ = TransportState::kRecording;
  export_held_ = false;
  BeginRecording(recording_, clock_.NowMs());
}

void Transport::StopRecording() {
  Menu(IDM_RECORD_START, true);
  Menu(IDM_RECORD_STOP, false);
  Button(IDM_RECORD_START, true);
  Button(IDM_RECORD_STOP, false);
  const bool has_events = recording_.recording_count() != 0;
  for (std::int32_t id : {IDM_PLAY, IDM_PLAY_LOOP, IDM_FILE_SAVE_AS, IDM_EXPORT_MIDI}) {
    Menu(id, has_events);
  }
  // Save follows the flag: a recording saved while it ran has nothing
  // unsaved unless keys were played after the save.
  Menu(IDM_FILE_SAVE, has_events && modified_flag_);
  Button(IDM_PLAY, has_events);
  Button(IDM_PLAY_LOOP, has_events);
  // Nothing recorded: nothing unsaved, closing asks nothing.
  if (!has_events) modified_flag_ = false;
  Menu(IDM_PLAY_STOP, false);
  Menu(IDM_FILE_OPEN, true);
  Button(IDM_PLAY_STOP, false);
  state_ = has_events ? TransportState::kReady : TransportState::kEmpty;
  if (!EndRecording(recording_, playback_) && has_events) {
    // The recording is kept and can be saved, but there is nothing to play.
    Menu(IDM_PLAY, false);
    Menu(IDM_PLAY_LOOP, false);
    Button(IDM_PLAY, false);
    Button(IDM_PLAY_LOOP, false);
    view_.ShowError(kMemoryErrorText, kMemoryErrorCaption);
  }
}

void Transport::Play(bool loop) {
  if (inst_.settings.device_open == 0) {
    view_.ShowNotice(kOpenDeviceNotice, kNoticeCaption);
    return;
  }
  // The scheduler starts at event 0; an empty list has none.
  if (playback_.playback_events.empty()) return;
  for (std::int32_t id : {IDM_RECORD_START, IDM_PLAY_LOOP, IDM_RECORD_STOP, IDM_PLAY}) {
    Menu(id, false);
  }
  Menu(IDM_PLAY_STOP, true);
  for (std::int32_t id : {IDM_FILE_SAVE, IDM_FILE_SAVE_AS, IDM_FILE_OPEN, IDM_EXPORT_MIDI}) {
    Menu(id, false);
  }
  Button(IDM_RECORD_START, false);
  Button(IDM_RECORD_STOP, false);
  Button(IDM_PLAY, false);
  Button(IDM_PLAY_LOOP, false);
  Button(IDM_PLAY_STOP, true);
  state_ = TransportState::kPlaying;
  view_.StartScheduler(loop);
}

void Transport::StopPlaying() {
  Menu(IDM_RECORD_START, true);
  Menu(IDM_PLAY_LOOP, true);
  Menu(IDM_RECORD_STOP, false);
  Menu(IDM_PLAY, true);
  Menu(IDM_PLAY_STOP, false);
  Button(IDM_RECORD_START, true);
  Button(IDM_PLAY_LOOP, true);
  Button(IDM_RECORD_STOP, false);
  Button(IDM_PLAY, true);
  Button(IDM_PLAY_STOP, false);
  view_.StopScheduler();
  // All Notes Off would leave what a held pedal sustains ringing.
  ReleasePedal(inst_);
  ResetHeldKeys(inst_.keys);
  SilenceAll(inst_);
  if (modified_flag_) Menu(IDM_FILE_SAVE, true);
  Menu(IDM_FILE_SAVE_AS, true);
  Menu(IDM_FILE_OPEN, true);
  Menu(IDM_EXPORT_MIDI, true);
  state_ = TransportState::kReady;
  export_held_ = false;
  view_.Repaint();
}

void Transport::FileLoaded(bool from_command_line) {
  state_ = TransportState::kReady;
  export_held_ = from_command_line;
  ApplyAll();
}

void Transport::Refresh() {
  ApplyAll();
}

void Transport::ApplyAll() {
  const ItemStates items = Items();
  for (std::size_t i = 0; i < kTransportMenuItems.size(); ++i) {
    Menu(kTransportMenuItems[i], items.menu[i]);
  }
  for (std::size_t i = 0; i < kTransportButtons.size(); ++i) {
    Button(kTransportButtons[i], items.button[i]);
  }
}

}  // namespace tonvale
