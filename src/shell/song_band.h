// The song band: the current line of the song as printed numbered notation,
// with the key that plays each note under it, the next note highlighted,
// the notes played so far right or wrong, and the count-in before playing
// along. Painted with QPainter in logical pixels, so it is as sharp at any
// scale as the text around it.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QWidget>
#include <cstddef>
#include <cstdint>

#include "practice/band_layout.h"

namespace tonvale {

class PracticeSession;
struct Song;

class SongBand : public QWidget {
  Q_OBJECT

 public:
  explicit SongBand(QWidget* parent = nullptr);

  // The song shown (none: an empty band) and the practice that judges it
  // (none: every note pending). Both must outlive the band or be replaced.
  void SetSong(const Song* song, const PracticeSession* session);
  // What the band says under the key: the mode and speed, say.
  void SetModeText(const QString& text);

  // Looks at the practice again; repaints only when what the band shows has
  // changed (the line, the next note, a judgement, the count-in).
  void Refresh();

  // The line on show, and the lines of the song at the band's width.
  std::size_t CurrentLine() const { return line_; }
  const BandLayout& Layout() const { return layout_; }
  // The item's rectangle in the band (its digit column, from the marks above
  // the digit to the key below it); null for an item not on show.
  QRect ItemRect(std::size_t item) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Relayout();
  std::uint64_t Signature() const;
  void PaintHeader(QPainter& painter, int x, int width) const;
  void PaintNote(QPainter& painter, const BandItem& item, int x) const;
  void PaintTies(QPainter& painter, std::size_t first, std::size_t end, int left) const;

  // Heights of what lies under the digits, from the fonts.
  int DigitBottom() const;
  int KeyTop() const;
  int KeyBottom() const { return KeyTop() + key_metrics_.height(); }

  const Song* song_ = nullptr;
  const PracticeSession* session_ = nullptr;
  QString mode_text_;
  const QFont digit_font_;
  const QFont small_font_;  // accidentals and the triplet's 3
  const QFont key_font_;
  const QFont title_font_;
  // Measured once: a repaint on every key press must not measure again.
  const QFontMetrics digit_metrics_;
  const QFontMetrics small_metrics_;
  const QFontMetrics key_metrics_;
  const QFontMetrics title_metrics_;
  const int digit_width_;
  BandWidths widths_;
  BandLayout layout_;
  std::size_t line_ = 0;
  std::uint64_t shown_ = 0;  // Signature() of what was last painted
};

}  // namespace tonvale
