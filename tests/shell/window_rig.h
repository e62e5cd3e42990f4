// A main window over a recording sink, with message boxes answered by the
// test and the modifier keys the test sets; plus real key events.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <deque>
#include <memory>
#include <vector>

#include "recording_sink.h"
#include "shell/client_area.h"
#include "shell/main_window.h"
#include "shell/notices.h"
#include "shell/pictures.h"
#include "shell/window_hooks.h"

namespace tonvale::test {

class FakeNotices : public Notices {
 public:
  struct Shown {
    QString text;
    QString caption;
    Icon icon;
    QWidget* owner = nullptr;
    QMessageBox::StandardButtons buttons;
  };
  std::vector<Icon> beeps;
  std::vector<Shown> shown;
  // Answers for the boxes to come, in order; OK once they run out.
  std::deque<QMessageBox::StandardButton> answers;

  void Beep(Icon icon) override { beeps.push_back(icon); }
  QMessageBox::StandardButton Show(QWidget* owner, const QString& text, const QString& caption,
                                   Icon icon, QMessageBox::StandardButtons buttons) override {
    shown.push_back({text, caption, icon, owner, buttons});
    if (answers.empty()) return QMessageBox::Ok;
    const QMessageBox::StandardButton answer = answers.front();
    answers.pop_front();
    return answer;
  }
  using Notices::Show;

  // The boxes shown, one line each: the icon's letter (-EWIQ), a space, the
  // text, "|", the caption.
  QString Boxes() const {
    QStringList lines;
    for (const Shown& b : shown) {
      lines << QStringLiteral("%1 %2|%3").arg(QChar("-EWIQ"[int(b.icon)]), b.text, b.caption);
    }
    return lines.join(QLatin1Char('\n'));
  }
};

using Bytes = std::vector<std::uint8_t>;
using ByteList = std::vector<Bytes>;

inline ByteList AllNotesOff() {
  ByteList list;
  for (std::uint8_t c = 0; c < 16; ++c)
    list.push_back({static_cast<std::uint8_t>(0xB0 | c), 0x7B, 0});
  return list;
}

// Messages as "90 3c 7f,80 3c 00", readable when a comparison fails.
inline QString Dump(const ByteList& list) {
  QStringList out;
  for (const auto& m : list) {
    out << QStringLiteral("%1 %2 %3")
               .arg(m[0], 2, 16, QLatin1Char('0'))
               .arg(m[1], 2, 16, QLatin1Char('0'))
               .arg(m[2], 2, 16, QLatin1Char('0'));
  }
  return out.join(QLatin1Char(','));
}

struct WindowRig {
  RecordingSink sink;
  Pictures pictures = LoadPictures();
  FakeNotices notices;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
  std::unique_ptr<MainWindow> window;
  bool created = false;

  // `prepare` adjusts the sink (device names, failing open) before creation.
  template <typename Prepare>
  explicit WindowRig(Prepare prepare) {
    prepare(sink);
    window = std::make_unique<MainWindow>(sink, pictures, notices);
    created = window->Create();
    if (created) {
      window->Hooks().SetModifierSource([this] { return modifiers; });
    }
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
    const QSize extra = window->size() - Client().size();
    window->resize(width + extra.width(), height + extra.height());
    QCoreApplication::processEvents();
  }

  ClientArea& Client() { return window->Client(); }
  Instrument& Inst() { return window->Inst(); }

  // A key as X11 delivers it, to whatever widget has the focus; Shift and
  // Ctrl in `mods` are also what the modifier source reports meanwhile.
  void Key(QEvent::Type type, int qt_key, quint32 native, const QString& text = {},
           Qt::KeyboardModifiers mods = Qt::NoModifier, bool autorep = false) {
    QKeyEvent event(type, qt_key, mods, native, 0, 0, text, autorep);
    QWidget* target = QApplication::focusWidget();
    const Qt::KeyboardModifiers held = modifiers;
    modifiers = mods & (Qt::ShiftModifier | Qt::ControlModifier);
    QApplication::sendEvent(target != nullptr ? target : &Client(), &event);
    modifiers = held;
  }
  void Press(int qt_key, quint32 native, const QString& text = {},
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Key(QEvent::KeyPress, qt_key, native, text, mods);
  }
  void Release(int qt_key, quint32 native, const QString& text = {},
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Key(QEvent::KeyRelease, qt_key, native, text, mods);
  }
  void Stroke(int qt_key, quint32 native, const QString& text = {},
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Press(qt_key, native, text, mods);
    Release(qt_key, native, text, mods);
  }

  ByteList SentBytes() const {
    ByteList bytes;
    for (std::uint32_t m : sink.sent) bytes.push_back(RecordingSink::Bytes(m));
    return bytes;
  }
  QString Sent() const { return Dump(SentBytes()); }
  void Trigger(int id) {
    QAction* a = window->Commands().Find(id);
    QVERIFY2(a != nullptr, qPrintable(QString::number(id)));
    a->trigger();
  }

  // The pop-up menus of the menu bar, in order.
  std::vector<QMenu*> Menus() const {
    std::vector<QMenu*> menus;
    for (QAction* a : window->menuBar()->actions()) menus.push_back(a->menu());
    return menus;
  }
  // The identifier of a menu item, or -1.
  int IdOf(const QAction* action) const {
    for (const auto& [id, a] : window->Commands().All()) {
      if (a == action) return id;
    }
    return -1;
  }
};

}  // namespace tonvale::test
