// The transport: start and stop recording, play once, play in a loop, stop
// playing, and the enabled state of the recording menu's nine items and the
// five transport buttons. Runs on the window thread; the window shows what
// it is told through TransportView.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "perform/instrument.h"
#include "perform/ui_text.h"
#include "record/clock.h"
#include "record/command_ids.h"
#include "record/event_lists.h"

namespace tonvale {

// Shown when a transport command needs the MIDI output and it is closed:
// owned by the main window, OK button, no icon. Translated by the window
// under the context "Transport".
inline constexpr const char* kOpenDeviceNotice = TONVALE_UI_TEXT("Transport", "请打开开关");
inline constexpr const char* kNoticeCaption = TONVALE_UI_TEXT("Transport", "提示");

enum class TransportState { kEmpty, kRecording, kReady, kPlaying };

// The recording menu in its order, and the transport buttons in theirs.
inline constexpr std::array<std::int32_t, 9> kTransportMenuItems = {
    IDM_RECORD_START, IDM_RECORD_STOP,  IDM_PLAY,        IDM_PLAY_LOOP, IDM_PLAY_STOP,
    IDM_FILE_SAVE,    IDM_FILE_SAVE_AS, IDM_EXPORT_MIDI, IDM_FILE_OPEN};
inline constexpr std::array<std::int32_t, 5> kTransportButtons = {
    IDM_RECORD_START, IDM_RECORD_STOP, IDM_PLAY, IDM_PLAY_LOOP, IDM_PLAY_STOP};

// What, besides the state, decides the items of the Ready state.
struct ItemConditions {
  bool modified = false;     // the recording is unsaved: save is offered
  bool export_held = false;  // loaded from the command line and not played yet
  bool can_play = true;      // the playback list holds events
};

struct ItemStates {
  std::array<bool, 9> menu{};    // in kTransportMenuItems order
  std::array<bool, 5> button{};  // in kTransportButtons order

  // False for an identifier that is not one of the items.
  bool MenuEnabled(std::int32_t command) const;
  bool ButtonEnabled(std::int32_t command) const;
  friend bool operator==(const ItemStates&, const ItemStates&) = default;
};

// The enabled items and buttons of each state.
ItemStates ItemStatesFor(TransportState state, const ItemConditions& conditions);

class TransportView {
 public:
  virtual ~TransportView() = default;
  virtual void EnableMenuItem(std::int32_t command, bool enabled) = 0;
  virtual void EnableButton(std::int32_t command, bool enabled) = 0;
  // A message box owned by the main window, OK button, no icon.
  virtual void ShowNotice(std::string_view text, std::string_view caption) = 0;
  // A message box without owner window, OK button.
  virtual void ShowError(std::string_view text, std::string_view caption) = 0;
  // Invalidates the whole client area, erasing it.
  virtual void Repaint() = 0;
  // The playback scheduler over the playback list; its result is not looked at.
  virtual void StartScheduler(bool loop) = 0;
  // Must be harmless when nothing runs.
  virtual void StopScheduler() = 0;
};

class Transport {
 public:
  // Everything is borrowed and must outlive the transport. The items start
  // as the menu bar and the window create them (the Empty state).
  Transport(TransportView& view, Instrument& inst, RecordingList& recording, PlaybackList& playback,
            bool& modified_flag, MillisecondClock& clock);

  // Carries out command 1283..1287 when its menu item is enabled; greyed
  // items are the only guard the commands have, so a command that arrives
  // while greyed (a late stop from the scheduler, the autoplay timer after a
  // failed copy) is dropped. Returns whether the command was carried out.
  bool HandleCommand(std::int32_t command);

  // The commands themselves, each step in its order.
  void StartRecording();
  void StopRecording();
  void Play(bool loop);
  void StopPlaying();

  // A recording file was loaded and both lists hold its events: the Ready
  // items; after a command-line load export stays greyed until a play has
  // been stopped.
  void FileLoaded(bool from_command_line);
  // Sets every item and button from the state and the modified flag (after a
  // save, for instance).
  void Refresh();

  TransportState state() const { return state_; }
  ItemStates Items() const;

 private:
  void Menu(std::int32_t command, bool enabled);
  void Button(std::int32_t command, bool enabled);
  void ApplyAll();

  TransportView& view_;
  Instrument& inst_;
  RecordingList& recording_;
  PlaybackList& playback_;
  bool& modified_flag_;
  MillisecondClock& clock_;
  TransportState state_ = TransportState::kEmpty;
  bool export_held_ = false;
};

}  // namespace tonvale
