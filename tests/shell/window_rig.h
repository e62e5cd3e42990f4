// A main window over a recording sink, with message boxes answered by the
// test, the modifier keys the test sets, and key events as X11 sends them.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <deque>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "record/playback_timer.h"
#include "recording_sink.h"
#include "shell/client_area.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/notices.h"
#include "shell/pictures.h"
#include "shell/window_hooks.h"

namespace tonvale::test {

// Keeps every box as "icon letter (-EWIQ) text|caption"; OK when out of answers.
struct FakeNotices : Notices {
  QStringList boxes;
  std::vector<QWidget*> owners;
  std::vector<Icon> beeps;
  std::deque<QMessageBox::StandardButton> answers;

  void Beep(Icon icon) override { beeps.push_back(icon); }
  QMessageBox::StandardButton Show(QWidget* owner, const QString& text, const QString& caption,
                                   Icon icon, QMessageBox::StandardButtons) override {
    boxes << QStringLiteral("%1 %2|%3").arg(QChar("-EWIQ"[int(icon)]), text, caption);
    owners.push_back(owner);
    const QMessageBox::StandardButton answer = answers.empty() ? QMessageBox::Ok : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  using Notices::Show;
};

// Keeps every dialog as "save|open PATTERN INITIAL-PATH"; cancels when out of answers.
struct FakeDialogs : FileDialogs {
  QStringList asked, answers;
  std::optional<QString> Choose(QWidget*, const FileDialogSetup& setup,
                                const QString& initial) override {
    asked << QStringLiteral("%1 %2 %3")
                 .arg(setup.save ? "save" : "open", setup.filter_pattern, initial);
    return answers.isEmpty() ? std::nullopt : std::optional(answers.takeFirst());
  }
};

// The scheduler's waits end at once, until it is stopped.
struct InstantTimer : PlaybackTimer {
  std::atomic<bool> interrupted = false;
  Time Now() override { return {}; }
  bool SleepUntil(Time) override {
    std::this_thread::yield();
    return !interrupted;
  }
  void Interrupt() override { interrupted = true; }
  void Resume() override { interrupted = false; }
};

// The scheduler's waits never end by themselves: playback runs until stopped.
struct FrozenTimer : PlaybackTimer {
  std::atomic<bool> interrupted = false;
  Time Now() override { return {}; }
  bool SleepUntil(Time) override {
    interrupted.wait(false);
    return false;
  }
  void Interrupt() override {
    interrupted = true;
    interrupted.notify_all();
  }
  void Resume() override { interrupted = false; }
};

using Bytes = std::vector<std::uint8_t>;
using ByteList = std::vector<Bytes>;

inline ByteList AllNotesOff() {
  ByteList list;
  for (std::uint8_t c = 0; c < 16; ++c) list.push_back({std::uint8_t(0xB0 | c), 0x7B, 0});
  return list;
}

// Messages as "90 3c 7f,80 3c 00", readable when a comparison fails.
inline QString Dump(const ByteList& list) {
  QStringList out;
  for (const Bytes& m : list) out << QString::asprintf("%02x %02x %02x", m[0], m[1], m[2]);
  return out.join(QLatin1Char(','));
}

struct WindowRig {
  RecordingSink sink;
  Pictures pictures = LoadPictures();
  FakeNotices notices;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
  std::unique_ptr<MainWindow> window;
  bool created = false;

  template <typename Prepare>
  explicit WindowRig(Prepare prepare) {
    prepare(sink);
    window = std::make_unique<MainWindow>(sink, pictures, notices);
    created = window->Create();
    if (created) window->Hooks().SetModifierSource([this] { return modifiers; });
  }
  WindowRig() : WindowRig([](RecordingSink&) {}) {}

  // Shows the window active, with the keyboard focus on the client area.
  bool Show(int width = 1000, int height = 700) {
    window->resize(width, height);
    window->show();
    return Activate();
  }
  bool Activate() {
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) return false;
    Client().setFocus();
    return true;
  }
  void ResizeClient(int width, int height) {
    window->resize(QSize(width, height) + window->size() - Client().size());
    QCoreApplication::processEvents();
  }
  ClientArea& Client() { return window->Client(); }
  Instrument& Inst() { return window->Inst(); }

  // A key as X11 sends it (scan code + 8) to the focus; `mods` held meanwhile.
  void Key(QEvent::Type type, int qt_key, quint32 native, const QString& text = {},
           Qt::KeyboardModifiers mods = {}, bool autorep = false) {
    QKeyEvent event(type, qt_key, mods, native, 0, 0, text, autorep);
    QWidget* target = QApplication::focusWidget();
    const Qt::KeyboardModifiers held =
        std::exchange(modifiers, mods & (Qt::ShiftModifier | Qt::ControlModifier));
    QApplication::sendEvent(target != nullptr ? target : &Client(), &event);
    modifiers = held;
  }
  void Press(int key, quint32 native, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
    Key(QEvent::KeyPress, key, native, text, mods);
  }
  void Release(int key, quint32 native, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
    Key(QEvent::KeyRelease, key, native, text, mods);
  }
  void Stroke(int key, quint32 native, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
    Press(key, native, text, mods);
    Release(key, native, text, mods);
  }
  QString Sent() const {
    ByteList bytes;
    for (std::uint32_t m : sink.sent) bytes.push_back(RecordingSink::Bytes(m));
    return Dump(bytes);
  }
  void Trigger(int id) { window->Commands().Find(id)->trigger(); }
  std::vector<QMenu*> Menus() const {
    std::vector<QMenu*> menus;
    for (QAction* a : window->menuBar()->actions()) menus.push_back(a->menu());
    return menus;
  }
};

}  // namespace tonvale::test
