#include "shell/song_band.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <optional>

#include "practice/note_key.h"
#include "practice/practice_session.h"
#include "practice/song.h"

namespace tonvale {

namespace {

// Heights in logical pixels, top to bottom: the arcs of ties and triplets,
// the octave dots above, the digits, up to three underlines, the dots below,
// the key under the note.
constexpr int kPad = 6;         // around the paper
constexpr int kArcTop = 5;      // ties and triplets from here ...
constexpr int kArcBottom = 15;  // ... to here
constexpr int kDigitTop = 29;   // two dots above fit between the arcs and the digit
constexpr int kDotSize = 4;     // octave dots
constexpr int kDotStep = 6;
constexpr int kUnderlineStep = 3;  // between underlines
constexpr int kKeyGap = 25;        // digit foot to key top: three underlines and two dots
constexpr int kNoteRoom = 8;       // beside the digit: the augmentation dot
constexpr int kDashWidth = 14;
constexpr int kBarWidth = 9;
constexpr int kGap = 6;

const QColor kPaper(253, 248, 232);
const QColor kPaperEdge(150, 130, 90);
const QColor kInk(30, 30, 30);
const QColor kKeyInk(70, 70, 70);
const QColor kRight(20, 130, 45);
const QColor kWrong(200, 35, 25);
const QColor kNext(255, 208, 95);  // the hint colour of the keyboard's next key
const QColor kNextAfterWrong(255, 165, 140);
const QColor kRaised(200, 30, 25);   // Shift: the red of a key played an octave up
const QColor kLowered(25, 125, 35);  // Ctrl: the green of one played an octave down

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Dot(QPainter& painter, qreal cx, qreal cy, qreal size) {
  painter.drawEllipse(QRectF(cx - size / 2, cy - size / 2, size, size));
}

// A small triangle pointing up (Shift) or down (Ctrl), `side` wide, its
// top-left corner at (x, y).
void ShiftMark(QPainter& painter, qreal x, qreal y, qreal side, int shift) {
  QPolygonF triangle;
  if (shift > 0) {
    triangle << QPointF(x, y + side) << QPointF(x + side, y + side) << QPointF(x + side / 2, y);
  } else {
    triangle << QPointF(x, y) << QPointF(x + side, y) << QPointF(x + side / 2, y + side);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(shift > 0 ? kRaised : kLowered);
  painter.drawPolygon(triangle);
}

QFont MakeBandFont(const QString& family, int pixels, bool bold) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace

SongBand::SongBand(QWidget* parent)
    : QWidget(parent),
      digit_font_(MakeBandFont(QStringLiteral("Liberation Sans"), 22, false)),
      small_font_(MakeBandFont(QStringLiteral("Liberation Sans"), 12, true)),
      key_font_(MakeBandFont(QStringLiteral("Liberation Mono"), 14, true)),
      title_font_(MakeBandFont(font().family(), 14, true)),
      digit_metrics_(digit_font_),
      small_metrics_(small_font_),
      key_metrics_(key_font_),
      title_metrics_(title_font_),
      digit_width_(digit_metrics_.horizontalAdvance(QLatin1Char('0'))) {
  setAttribute(Qt::WA_TransparentForMouseEvents);  // clicks belong to the window
  setFocusPolicy(Qt::NoFocus);
  widths_.note = digit_width_ + kNoteRoom;
  widths_.accidental = small_metrics_.horizontalAdvance(QLatin1Char('#')) + 1;
  widths_.dash = kDashWidth;
  widths_.bar_line = kBarWidth;
  widths_.gap = kGap;
}

int SongBand::DigitBottom() const {
  return kDigitTop + digit_metrics_.capHeight();
}

int SongBand::KeyTop() const {
  return DigitBottom() + kKeyGap;
}

QSize SongBand::sizeHint() const {
  return {400, KeyBottom() + kPad};
}

void SongBand::SetSong(const Song* song, const PracticeSession* session) {
  song_ = song;
  session_ = session;
  line_ = 0;
  Relayout();
  shown_ = Signature();
  update();
}

void SongBand::SetModeText(const QString& text) {
  if (text == mode_text_) return;
  mode_text_ = text;
  Relayout();
  update();
}

void SongBand::resizeEvent(QResizeEvent*) {
  Relayout();
}

void SongBand::Relayout() {
  // The line on show keeps its first note in view through a new width.
  const std::int32_t first_shown =
      layout_.lines.empty() ? -1
                            : layout_.lines[std::min(line_, layout_.lines.size() - 1)].first_note;
  layout_ = {};
  if (song_ == nullptr) return;
  // The header column is as wide as the widest thing it may show: the title
  // (cut short beyond eight characters), the key and time, the mode, the
  // count-in.
  const QFontMetrics& title = title_metrics_;
  const int title_width = std::min(title.horizontalAdvance(Utf8(song_->title)),
                                   8 * title.horizontalAdvance(QChar(0x4E00)));
  const int header_width =
      std::max({title_width, title.horizontalAdvance(Utf8(song_->HeaderText())),
                title.horizontalAdvance(mode_text_),
                // the count-in's disc is wider than its digits
                title.horizontalAdvance(tr("预备") + QStringLiteral(" 12 / 12")) + title.height()});
  widths_.header = header_width + 2 * kGap;
  const std::optional<std::size_t> next =
      session_ != nullptr ? session_->NextNote() : std::optional<std::size_t>{};
  layout_ = LayoutBand(*song_, widths_, std::max(1, width() - 2 * (kPad + 4)));
  if (next) {
    line_ = LineOfNote(layout_, *next);
  } else if (first_shown >= 0) {
    line_ = LineOfNote(layout_, static_cast<std::size_t>(first_shown));
  } else {
    line_ = std::min(line_, layout_.lines.empty() ? 0 : layout_.lines.size() - 1);
  }
}

std::uint64_t SongBand::Signature() const {
  // FNV-1a over what a repaint would show differently.
  std::uint64_t h = 14695981039346656037ull;
  const auto mix = [&h](std::uint64_t v) {
    h ^= v;
    h *= 1099511628211ull;
  };
  mix(line_);
  if (session_ == nullptr || layout_.lines.empty()) return h;
  mix(session_->Running() ? 1 : 2);
  mix(session_->NextNote().value_or(SIZE_MAX));
  mix(session_->AwaitedHadWrongKey() ? 3 : 4);
  const std::optional<CountIn> count_in = session_->CurrentCountIn();
  mix(count_in ? static_cast<std::uint64_t>(count_in->beat) : 0);
  const BandLine& line = layout_.lines[line_];
  if (line.first_note >= 0) {
    for (std::int32_t n = line.first_note; n <= line.last_note; ++n) {
      mix(static_cast<std::uint64_t>(session_->StateOf(static_cast<std::size_t>(n))));
    }
  }
  return h;
}

void SongBand::Refresh() {
  if (session_ != nullptr) {
    if (const std::optional<std::size_t> next = session_->NextNote()) {
      line_ = LineOfNote(layout_, *next);
    }
  }
  const std::uint64_t now = Signature();
  if (now == shown_) return;
  shown_ = now;
  update();
}

QRect SongBand::ItemRect(std::size_t item) const {
  if (layout_.lines.empty()) return {};
  const BandLine& line = layout_.lines[line_];
  if (item < line.first_item || item >= line.end_item) return {};
  const BandItem& it = layout_.items[item];
  return {kPad + 4 + it.x, kArcBottom, it.width, KeyBottom() - kArcBottom};
}

void SongBand::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(kPaperEdge, 1));
  painter.setBrush(kPaper);
  painter.drawRoundedRect(QRectF(0.5, 0.5, width() - 1, height() - 1), 5, 5);
  if (song_ == nullptr || layout_.lines.empty()) return;

  const BandLine& line = layout_.lines[line_];
  const int left = kPad + 4;
  for (std::size_t i = line.first_item; i < line.end_item; ++i) {
    const BandItem& item = layout_.items[i];
    const int x = left + item.x;
    switch (item.kind) {
      case BandItemKind::kHeader:
        PaintHeader(painter, x, item.width);
        break;
      case BandItemKind::kNote:
        PaintNote(painter, item, x);
        break;
      case BandItemKind::kDash: {
        const qreal y = kDigitTop + digit_metrics_.capHeight() / 2.0;
        painter.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(x + 2, y), QPointF(x + item.width - 2, y));
        break;
      }
      case BandItemKind::kBarLine: {
        const qreal top = kDigitTop - 7;
        const qreal bottom = DigitBottom() + 7;
        const qreal mid = x + item.width / 2.0;
        painter.setPen(QPen(kInk, 1.2, Qt::SolidLine, Qt::FlatCap));
        if (i + 1 == layout_.items.size()) {
          // The song's end: a thin line and a thick one.
          painter.drawLine(QPointF(mid - 2, top), QPointF(mid - 2, bottom));
          painter.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::FlatCap));
          painter.drawLine(QPointF(mid + 2, top), QPointF(mid + 2, bottom));
        } else {
          painter.drawLine(QPointF(mid, top), QPointF(mid, bottom));
        }
        break;
      }
    }
  }
  PaintTies(painter, line.first_item, line.end_item, left);
}

void SongBand::PaintHeader(QPainter& painter, int x, int width) const {
  const int inner = width - 2 * kGap;
  const int left = x + kGap / 2;
  painter.setFont(title_font_);
  const QFontMetrics& fm = title_metrics_;
  painter.setPen(kInk);
  painter.drawText(QPointF(left, kArcTop + fm.ascent()),
                   fm.elidedText(Utf8(song_->title), Qt::ElideRight, inner));
  // The key and time on the digits' line, the mode (or the count-in) on the keys'.
  painter.drawText(QPointF(left, DigitBottom()), Utf8(song_->HeaderText()));
  const std::optional<CountIn> count_in =
      session_ != nullptr && session_->Running() ? session_->CurrentCountIn() : std::nullopt;
  const qreal key_base = KeyTop() + fm.ascent();
  if (!count_in) {
    painter.setPen(kKeyInk);
    painter.drawText(QPointF(left, key_base), mode_text_);
    return;
  }
  const QString ready = tr("预备") + QLatin1Char(' ');
  painter.drawText(QPointF(left, key_base), ready);
  const QString beat = QString::number(count_in->beat);
  const int beat_width = fm.horizontalAdvance(beat);
  const qreal disc = fm.height() + 2;
  // The disc is wider than the beat's digits: it starts after the word's
  // space instead of running into the word.
  const int beat_x = left + fm.horizontalAdvance(ready) +
                     std::max(0, static_cast<int>(std::ceil((disc - beat_width) / 2)));
  painter.setPen(Qt::NoPen);
  painter.setBrush(kNext);
  painter.drawEllipse(QRectF(beat_x + beat_width / 2.0 - disc / 2, KeyTop() - 1, disc, disc));
  painter.setPen(kInk);
  painter.drawText(QPointF(beat_x, key_base), beat);
  painter.drawText(QPointF(beat_x + beat_width + disc / 2, key_base),
                   QStringLiteral("/ %1").arg(count_in->beats));
}

void SongBand::PaintNote(QPainter& painter, const BandItem& item, int x) const {
  const SongNote& note = song_->notes[static_cast<std::size_t>(item.note)];
  const std::size_t index = static_cast<std::size_t>(item.note);
  const bool has_accidental = note.accidental != Accidental::kNone;
  const int digit_left = x + (has_accidental ? widths_.accidental : 0);
  const qreal centre = digit_left + digit_width_ / 2.0;

  // The next note, behind everything else of it.
  const std::optional<std::size_t> next =
      session_ != nullptr ? session_->NextNote() : std::optional<std::size_t>{};
  if (next && *next == index) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(session_->AwaitedHadWrongKey() ? kNextAfterWrong : kNext);
    painter.drawRoundedRect(
        QRectF(x - 3, kArcBottom - 1, item.width + 6, KeyBottom() - kArcBottom + 3), 4, 4);
  }

  QColor ink = kInk;
  if (session_ != nullptr && !note.Rest()) {
    switch (session_->StateOf(index)) {
      case NoteState::kRight:
        ink = kRight;
        break;
      case NoteState::kWrong:
        ink = kWrong;
        break;
      case NoteState::kPending:
        break;
    }
  }
  painter.setPen(ink);
  if (has_accidental) {
    painter.setFont(small_font_);
    painter.drawText(
        QPointF(x, kDigitTop + small_metrics_.ascent() - 3),
        note.accidental == Accidental::kSharp ? QStringLiteral("#") : QStringLiteral("b"));
  }
  painter.setFont(digit_font_);
  painter.drawText(QPointF(digit_left, DigitBottom()), QString::number(note.degree));

  painter.setPen(Qt::NoPen);
  painter.setBrush(ink);
  for (int k = 0; k < note.octave; ++k) {
    Dot(painter, centre, kDigitTop - 5 - kDotStep * k, kDotSize);
  }
  if (note.dotted) {
    Dot(painter, digit_left + digit_width_ + 3.5, kDigitTop + digit_metrics_.capHeight() / 2.0,
        3.5);
  }
  // Underlines under the digit and its dot; those shared with the next note
  // run on through the gap as one beam.
  for (int k = 0; k < note.underlines; ++k) {
    const qreal y = DigitBottom() + 4 + kUnderlineStep * k;
    const int end = x + item.width + (k < item.beam_to_next ? widths_.gap : 0);
    painter.fillRect(QRectF(x, y, end - x, 1.3), ink);
  }
  const qreal below = DigitBottom() + 4 + kUnderlineStep * note.underlines + 3;
  for (int k = 0; k < -note.octave; ++k) {
    Dot(painter, centre, below + kDotSize / 2.0 + kDotStep * k, kDotSize);
  }

  // The key that plays it, with the mark of the Shift or Ctrl it needs.
  if (!note.Played()) return;
  const char* cap = KeyCapText(note.key.scan_code);
  if (cap == nullptr) return;
  const QString text = QString::fromUtf8(cap);
  const QFontMetrics& keys = key_metrics_;
  const int mark = note.key.shift != 0 ? 7 : 0;
  const qreal text_left = centre - (keys.horizontalAdvance(text) + mark) / 2.0 + mark;
  if (mark != 0) {
    ShiftMark(painter, text_left - mark - 1, KeyTop() + keys.ascent() - mark - 1, 6,
              note.key.shift);
  }
  painter.setFont(key_font_);
  painter.setPen(kKeyInk);
  painter.drawText(QPointF(text_left, KeyTop() + keys.ascent()), text);
}

void SongBand::PaintTies(QPainter& painter, std::size_t first, std::size_t end, int left) const {
  const auto centre_of = [&](const BandItem& item) {
    const SongNote& note = song_->notes[static_cast<std::size_t>(item.note)];
    const int acc = note.accidental != Accidental::kNone ? widths_.accidental : 0;
    return left + item.x + acc + digit_width_ / 2.0;
  };
  const auto note_item = [&](std::size_t from, std::int32_t note) -> const BandItem* {
    for (std::size_t i = from; i < end; ++i) {
      const BandItem& it = layout_.items[i];
      if (it.kind == BandItemKind::kNote && it.note == note) return &it;
    }
    return nullptr;
  };
  const qreal line_right = left + layout_.lines[line_].width;
  painter.setBrush(Qt::NoBrush);
  for (std::size_t i = first; i < end; ++i) {
    const BandItem& item = layout_.items[i];
    if (item.kind != BandItemKind::kNote) continue;
    const SongNote& note = song_->notes[static_cast<std::size_t>(item.note)];
    // Ties: an arc to the note it holds on into, or to the line's end when
    // that note stands on the next line; and from the line's start for a note
    // held on from the line before.
    painter.setPen(QPen(kInk, 1.3));
    if (note.tie_to_next || (note.tied_from_previous && i == first + 1)) {
      const BandItem* to = note.tie_to_next ? note_item(i + 1, item.note + 1) : &item;
      const qreal x1 = note.tie_to_next ? centre_of(item) + 2 : left + 4;
      const qreal x2 = to != nullptr && note.tie_to_next ? centre_of(*to) - 2
                       : note.tie_to_next                ? line_right
                                                         : centre_of(item) - 2;
      QPainterPath arc(QPointF(x1, kArcBottom - 1));
      arc.quadTo(QPointF((x1 + x2) / 2, kArcTop - 3), QPointF(x2, kArcBottom - 1));
      painter.drawPath(arc);
    }
    // Triplets: a "3" over the group, between two short brackets.
    if (note.tuplet_first) {
      const BandItem* last = &item;
      for (std::size_t j = i; j < end; ++j) {
        const BandItem& it = layout_.items[j];
        if (it.kind != BandItemKind::kNote) continue;
        last = &it;
        if (song_->notes[static_cast<std::size_t>(it.note)].tuplet_last) break;
      }
      const qreal x1 = left + item.x;
      const qreal x2 = left + last->x + last->width;
      const qreal mid = (x1 + x2) / 2;
      painter.setFont(small_font_);
      const QFontMetrics& fm = small_metrics_;
      const qreal half = fm.horizontalAdvance(QLatin1Char('3')) / 2.0 + 3;
      const qreal y = kArcTop + 4;
      painter.setPen(QPen(kInk, 1));
      painter.drawPolyline(QPolygonF{QPointF(x1, y + 4), QPointF(x1, y), QPointF(mid - half, y)});
      painter.drawPolyline(QPolygonF{QPointF(mid + half, y), QPointF(x2, y), QPointF(x2, y + 4)});
      painter.drawText(QPointF(mid - half + 3, y + fm.ascent() / 2.0 - 1), QStringLiteral("3"));
    }
  }
}

}  // namespace tonvale
