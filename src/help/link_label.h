// A link drawn by hand: an underlined serif address on one line, black until
// it was visited, then purple.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPoint>
#include <QWidget>

namespace tonvale {

inline const QColor kVisitedLinkColour{150, 0, 150};

// The pointing hand shown over a link: the program's hand picture (drawn at
// twice the size on a screen of two device pixels per logical pixel) with
// its hot spot at the fingertip, or the system's pointing hand without it.
QCursor LinkCursor();
// The fingertip of res/hand.png, in logical pixels: the topmost pixel of the
// pointing finger.
inline constexpr QPoint kHandHotSpot{9, 0};

// The link font: "Times New Roman", underlined, at the size of `dialog_font`.
QFont LinkFont(const QFont& dialog_font);

class LinkLabel : public QWidget {
  Q_OBJECT

 public:
  LinkLabel(const QString& text, QWidget* parent);

  QString text() const { return text_; }
  bool visited() const { return visited_; }
  void setVisited(bool visited);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  bool visited_ = false;
};

}  // namespace tonvale
