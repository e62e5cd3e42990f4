// The client area of the main window: the on-screen keyboard and everything
// painted around it, the child controls placed by the layout, and the
// keyboard and mouse input that plays the instrument.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "perform/instrument.h"
#include "perform/key_table.h"
#include "perform/keyboard_layout.h"
#include "record/command_ids.h"
#include "shell/key_input.h"

class QPainter;
class QPushButton;
class QScrollBar;
class QToolBar;

namespace tonvale {

struct Pictures;

class ClientArea : public QWidget {
  Q_OBJECT

 public:
  ClientArea(Instrument& inst, const Pictures& pictures, QWidget* parent = nullptr);

  // The character cell: the extent of "M" in the window's font.
  int cx() const { return cx_; }
  int cy() const { return cy_; }
  const WindowLayout& Layout() const { return layout_; }

  QScrollBar* VelocityBar() const { return velocity_bar_; }
  QScrollBar* PitchBendBar() const { return pitch_bend_bar_; }
  // The transport buttons, IDM_RECORD_START .. IDM_PLAY_STOP.
  QPushButton* TransportButton(int id) const;
  QToolBar* ToolBar() const { return tool_bar_; }
  // The tool bar sits at the top of the client area, as wide as it.
  void SetToolBar(QToolBar* tool_bar);

  // The name shown for the current device in the status line.
  void SetDeviceNamer(std::function<QString(std::int32_t)> namer) { namer_ = std::move(namer); }

  // Invalidates everything: the next paint draws every key released.
  void Repaint();
  // Shows one key mark pressed or released and updates its cell only.
  void ShowKeyMark(int index, bool pressed, int shift);
  bool KeyMarkPressed(int index) const { return marks_[static_cast<std::size_t>(index)].pressed; }
  // Shows or hides the held pedal's mark below the keyboard.
  void ShowPedal(bool held);
  bool PedalShown() const { return pedal_shown_; }

  // Releases, as if their key-ups had arrived, the keys that went down on
  // the keyboard and the key held with the mouse.
  void ReleaseHeldKeys();

  // The key a song asks for next, drawn in the hint colour while it is up,
  // with a mark for the Shift (+1) or Ctrl (-1) it wants; index -1: none.
  void SetHintKey(int index, int shift);
  int HintKey() const { return hint_index_; }

  // The song band, a child laid out between the instrument picture and the
  // keyboard while it is shown (the keyboard may move down to make room);
  // hidden, the window is laid out as if there were none.
  void SetSongBand(QWidget* band);
  void ShowSongBand(bool shown);
  // The practice's word in the status line, after the channel; empty: none.
  void SetPracticeStatus(const QString& text);
  const QString& PracticeStatus() const { return practice_status_; }

  // While a key or mouse press is handled: the modifiers it came with. The
  // keyboard's state "now" can already be past them: under Wayland the
  // window reads a quick Shift+A, Shift's release included, before it
  // handles the A.
  std::optional<Qt::KeyboardModifiers> HandledEventModifiers() const { return event_modifiers_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Mark {
    bool pressed = false;
    int shift = 0;
  };

  void DrawKeyMark(QPainter& painter, std::uint32_t index, const Mark& mark) const;
  void TextOut(QPainter& painter, int x, int y, const QString& text) const;
  void Escape();
  void ReleaseMouseKey();
  void PlaceChildren();

  Instrument& inst_;
  const Pictures& pictures_;
  int cx_ = 0;
  int cy_ = 0;
  WindowLayout layout_;
  QScrollBar* velocity_bar_ = nullptr;
  QScrollBar* pitch_bend_bar_ = nullptr;
  std::array<QPushButton*, 5> buttons_{};
  QToolBar* tool_bar_ = nullptr;
  std::array<Mark, kKeyCount> marks_{};
  bool pedal_shown_ = false;
  std::function<QString(std::int32_t)> namer_;
  int hint_index_ = -1;
  int hint_shift_ = 0;
  QWidget* band_ = nullptr;
  bool band_shown_ = false;
  QString practice_status_;
  std::optional<Qt::KeyboardModifiers> event_modifiers_;
};

}  // namespace tonvale
