#include "shell/window_hooks.h"

#include <QGuiApplication>

#include "perform/key_table.h"
#include "shell/client_area.h"

namespace tonvale {

WindowHooks::WindowHooks(ClientArea& view)
    : view_(view), modifiers_([] { return QGuiApplication::queryKeyboardModifiers(); }) {}

Qt::KeyboardModifiers WindowHooks::Modifiers() {
  const std::optional<Qt::KeyboardModifiers> handled = view_.HandledEventModifiers();
  return handled ? *handled : modifiers_();
}

bool WindowHooks::ShiftDown() {
  return Modifiers().testFlag(Qt::ShiftModifier);
}

bool WindowHooks::CtrlDown() {
  return Modifiers().testFlag(Qt::ControlModifier);
}

void WindowHooks::DrawKeyMark(int index, bool pressed, int shift) {
  view_.ShowKeyMark(index, pressed, shift);
}

void WindowHooks::RecordKeyEvent(std::int32_t message, std::uint32_t key_data, std::int32_t shift) {
  if (recorder_) recorder_(message, key_data, shift);
  // Offered every press the handler takes, whether or not a recording runs.
  if (message == kKeyDown && press_listener_) press_listener_(ScanCodeOf(key_data), shift);
}

void WindowHooks::ShowPedal(bool held) {
  view_.ShowPedal(held);
}

}  // namespace tonvale
