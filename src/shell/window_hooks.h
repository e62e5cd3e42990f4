// How the key handler reaches the window: the modifier keys at this moment,
// the key marks on screen, the recorder and the practice.
#pragma once

#include <Qt>
#include <cstdint>
#include <functional>

#include "perform/instrument.h"

namespace tonvale {

class ClientArea;

class WindowHooks : public KeyEventHooks {
 public:
  using ModifierSource = std::function<Qt::KeyboardModifiers()>;
  using Recorder =
      std::function<void(std::int32_t message, std::uint32_t key_data, std::int32_t shift)>;
  // A playing key went down and sounded with `shift` (auto-repeats never).
  using PressListener = std::function<void(std::uint32_t scan_code, std::int32_t shift)>;

  explicit WindowHooks(ClientArea& view);

  // Shift and Ctrl are those of the key or mouse press being handled, else
  // (a release, a key let go for the window) those of the keyboard now, as
  // this source tells. Default: the keyboard as the window system sees it.
  void SetModifierSource(ModifierSource source) { modifiers_ = std::move(source); }
  // Default: nothing is recorded.
  void SetRecorder(Recorder recorder) { recorder_ = std::move(recorder); }
  // Default: nobody listens.
  void SetPressListener(PressListener listener) { press_listener_ = std::move(listener); }

  bool ShiftDown() override;
  bool CtrlDown() override;
  void DrawKeyMark(int index, bool pressed, int shift) override;
  void RecordKeyEvent(std::int32_t message, std::uint32_t key_data, std::int32_t shift) override;
  void ShowPedal(bool held) override;

 private:
  Qt::KeyboardModifiers Modifiers();

  ClientArea& view_;
  ModifierSource modifiers_;
  Recorder recorder_;
  PressListener press_listener_;
};

}  // namespace tonvale
