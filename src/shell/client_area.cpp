#include "shell/client_area.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>

#include "perform/instrument_catalogue.h"
#include "perform/key_handler.h"
#include "perform/midi_messages.h"
#include "perform/settings_commands.h"
#include "perform/sustain_pedal.h"
#include "shell/core_texts.h"
#include "shell/make_font.h"
#include "shell/pictures.h"
#include "shell/song_band_place.h"

namespace tonvale {

namespace {

QRect ToQRect(const Rect& r) {
  return {r.x, r.y, r.width, r.height};
}

QScrollBar* MakeBar(QWidget* parent, int id, int minimum, int maximum, int position) {
  auto* bar = new QScrollBar(Qt::Vertical, parent);
  bar->setObjectName(QString::number(id));
  bar->setFocusPolicy(Qt::NoFocus);
  bar->setRange(minimum, maximum);
  bar->setValue(position);
  bar->setGeometry(0, 0, 0, 0);
  return bar;
}

// The hinted key wants Shift (+1) or Ctrl (-1): a small triangle in the cap's
// top right corner, pointing up in the red of a raised key or down in the
// green of a lowered one, clear of the label and the octave dots.
void DrawShiftWanted(QPainter& painter, const Rect& cell, int shift) {
  const qreal left = cell.x + 26;
  const qreal top = cell.y + 5;
  constexpr qreal kSide = 7;
  QPolygonF triangle;
  if (shift > 0) {
    triangle << QPointF(left, top + kSide) << QPointF(left + kSide, top + kSide)
             << QPointF(left + kSide / 2, top);
  } else {
    triangle << QPointF(left, top) << QPointF(left + kSide, top)
             << QPointF(left + kSide / 2, top + kSide);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(shift > 0 ? QColor(200, 30, 25) : QColor(25, 125, 35));
  painter.drawPolygon(triangle);
}

}  // namespace

ClientArea::ClientArea(Instrument& inst, const Pictures& pictures, QWidget* parent)
    : QWidget(parent), inst_(inst), pictures_(pictures) {
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pictures_.background);
  setPalette(pal);

  // The window's own font, for the character cell and every text but the
  // key labels: bold and 16 pixels, like the system font it stands for.
  QFont system_font = font();
  system_font.setPixelSize(16);
  system_font.setBold(true);
  setFont(system_font);
  const QFontMetrics metrics(font());
  cx_ = metrics.horizontalAdvance(QLatin1Char('M'));
  cy_ = metrics.height();

  velocity_bar_ = MakeBar(this, IDC_VELOCITY, kVelocityBarMin, kVelocityBarMax,
                          VelocityBarPosition(inst_.settings.velocity));
  velocity_bar_->setPageStep(8);
  pitch_bend_bar_ = MakeBar(this, IDC_PITCH_BEND, kPitchBarMin, kPitchBarMax, kPitchBarCentre);
  for (QScrollBar* bar : {velocity_bar_, pitch_bend_bar_}) bar->installEventFilter(this);

  const std::array<QString, 5> button_texts = {tr("开始录制"), tr("停止录制"), tr("开始播放"),
                                               tr("循环播放"), tr("停止播放")};
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    auto* button = new QPushButton(button_texts[i], this);
    button->setObjectName(QString::number(IDM_RECORD_START + static_cast<int>(i)));
    // The keyboard always plays: no button ever takes the focus.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setEnabled(i == 0);
    button->setGeometry(0, 0, 0, 0);
    // Should one get the focus all the same, its keys still play here.
    button->installEventFilter(this);
    buttons_[i] = button;
  }
}

QPushButton* ClientArea::TransportButton(int id) const {
  const int i = id - IDM_RECORD_START;
  if (i < 0 || i >= static_cast<int>(buttons_.size())) return nullptr;
  return buttons_[static_cast<std::size_t>(i)];
}

void ClientArea::SetToolBar(QToolBar* tool_bar) {
  tool_bar_ = tool_bar;
  tool_bar_->setParent(this);
  tool_bar_->setFocusPolicy(Qt::NoFocus);
  tool_bar_->setAutoFillBackground(true);
  tool_bar_->setGeometry(0, 0, width(), tool_bar_->sizeHint().height());
  tool_bar_->show();
}

void ClientArea::Repaint() {
  marks_.fill(Mark{});
  update();
}

void ClientArea::ShowKeyMark(int index, bool pressed, int shift) {
  if (index < 0 || index >= kKeyCount) return;
  const KeyEntry& entry = kKeyTable[static_cast<std::size_t>(index)];
  if (entry.column == -1) return;
  marks_[static_cast<std::size_t>(index)] = {pressed, shift};
  update(ToQRect(KeyCell(entry, layout_.x0, layout_.y0)));
}

void ClientArea::ShowPedal(bool held) {
  if (held == pedal_shown_) return;
  pedal_shown_ = held;
  update(ToQRect(PedalCell(layout_.x0, layout_.y0)));
}

void ClientArea::SetHintKey(int index, int shift) {
  if (index < 0 || index >= kKeyCount || kKeyTable[static_cast<std::size_t>(index)].column == -1) {
    index = -1;
  }
  if (index == hint_index_ && shift == hint_shift_) return;
  for (const int old_or_new : {hint_index_, index}) {
    if (old_or_new < 0) continue;
    update(
        ToQRect(KeyCell(kKeyTable[static_cast<std::size_t>(old_or_new)], layout_.x0, layout_.y0)));
  }
  hint_index_ = index;
  hint_shift_ = shift;
}

void ClientArea::SetSongBand(QWidget* band) {
  band_ = band;
  band_->setParent(this);
  band_->setFocusPolicy(Qt::NoFocus);
  band_->setVisible(band_shown_);
  PlaceChildren();
}

void ClientArea::ShowSongBand(bool shown) {
  if (band_ == nullptr || shown == band_shown_) return;
  band_shown_ = shown;
  band_->setVisible(shown);
  PlaceChildren();
  update();  // the keyboard may have moved
}

void ClientArea::SetPracticeStatus(const QString& text) {
  if (text == practice_status_) return;
  practice_status_ = text;
  update(0, layout_.status_y, width(), cy_);
}

void ClientArea::resizeEvent(QResizeEvent*) {
  PlaceChildren();
}

void ClientArea::PlaceChildren() {
  layout_ = ComputeLayout(width(), height(), cx_, cy_);
  if (band_ != nullptr && band_shown_) {
    const SongBandPlace place =
        PlaceSongBand(layout_, width(), height(), cx_, band_->sizeHint().height());
    layout_.y0 = place.y0;
    band_->setGeometry(ToQRect(place.band));
  }
  velocity_bar_->setGeometry(ToQRect(layout_.velocity_bar));
  pitch_bend_bar_->setGeometry(ToQRect(layout_.pitch_bend_bar));
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->setGeometry(ToQRect(layout_.transport_buttons[i]));
  }
  if (tool_bar_ != nullptr) tool_bar_->resize(width(), tool_bar_->sizeHint().height());
}

void ClientArea::TextOut(QPainter& painter, int x, int y, const QString& text) const {
  // Positions are the top-left corners of the text.
  painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

void ClientArea::DrawKeyMark(QPainter& painter, std::uint32_t index, const Mark& mark) const {
  const KeyEntry& entry = kKeyTable[index];
  const Rect cell = KeyCell(entry, layout_.x0, layout_.y0);
  // A key that is down shows how it sounds; the hint is for a key still up.
  const bool hinted = !mark.pressed && static_cast<int>(index) == hint_index_;
  if (hinted && !pictures_.hint_mark.isNull()) {
    painter.drawPixmap(QPoint(cell.x, cell.y), pictures_.hint_mark);
  } else if (const std::optional<int> source = KeyMarkPictureX(mark.pressed, mark.shift)) {
    if (!pictures_.key_marks.isNull()) {
      painter.drawPixmap(
          QPoint(cell.x, cell.y), pictures_.key_marks,
          InPicturePixels(pictures_.key_marks, QRect(*source, 0, kKeyCellWidth, kKeyCellHeight)));
    }
  }
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setPen(Qt::black);
  painter.drawText(QRect(cell.x, cell.y - kLabelLift, cell.width, cell.height),
                   Qt::AlignCenter | Qt::TextSingleLine, QString::fromUtf8(entry.label));
  const OctaveDots dots = OctaveDotsFor(entry.octave);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  painter.setRenderHint(QPainter::Antialiasing, true);  // round, not square, at 4 px
  for (int i = 0; i < dots.count; ++i) {
    painter.drawEllipse(QRect(cell.x + kHalfKey - kDotSize / 2,
                              cell.y + dots.tops[static_cast<std::size_t>(i)], kDotSize, kDotSize));
  }
  if (hinted && hint_shift_ != 0) DrawShiftWanted(painter, cell, hint_shift_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBackgroundMode(Qt::OpaqueMode);
}

void ClientArea::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const Settings& s = inst_.settings;

  painter.setFont(MakeFont(*this, QStringLiteral("Times New Roman"), 0, 0, 0, true));
  for (std::uint32_t i = 0; i < kKeyTable.size(); ++i) {
    const KeyEntry& entry = kKeyTable[i];
    if (entry.column == -1) continue;
    if (!event->rect().intersects(ToQRect(KeyCell(entry, layout_.x0, layout_.y0)))) continue;
    DrawKeyMark(painter, i, marks_[i]);
  }

  if (pedal_shown_ && !pictures_.pedal.isNull()) {
    const Rect pedal = PedalCell(layout_.x0, layout_.y0);
    painter.drawPixmap(QPoint(pedal.x, pedal.y), pictures_.pedal);
  }

  // Everything else in the window's own font, red on the background.
  painter.setFont(font());
  painter.setPen(QColor(255, 0, 0));
  painter.setBackground(pictures_.background);
  painter.setBackgroundMode(Qt::OpaqueMode);
  TextOut(painter, cx_, layout_.status_y, s.device_open != 0 ? tr("开启") : tr("关闭"));
  if (namer_) {
    // A long port name is cut short rather than run under the channel.
    const int room = layout_.status_channel_x - layout_.status_device_x - cx_;
    const QString name =
        painter.fontMetrics().elidedText(namer_(s.midi_device), Qt::ElideRight, room);
    TextOut(painter, layout_.status_device_x, layout_.status_y, name);
  }
  TextOut(painter, layout_.status_channel_x, layout_.status_y, tr("声道 %1").arg(s.channel + 1));
  if (!practice_status_.isEmpty()) {
    const int x = layout_.status_channel_x + 8 * cx_;
    TextOut(painter, x, layout_.status_y,
            painter.fontMetrics().elidedText(practice_status_, Qt::ElideRight, width() - x - cx_));
  }
  TextOut(painter, cx_, layout_.hint_y,
          tr("1 演奏的同时按Shift键(或Ctrl键)升高(或降低)一个8级音阶。 2 出现声音异常请按 Esc"));

  if (!pictures_.instruments.isNull()) {
    const int picture = GetInstrumentPicture(s.program, s.channel);
    painter.drawPixmap(
        QPoint(layout_.picture_x, kPictureTop), pictures_.instruments,
        InPicturePixels(pictures_.instruments,
                        QRect(picture * kPictureWidth, 0, kPictureWidth, kPictureHeight)));
  }
  TextOut(
      painter, layout_.key_label_x, kKeyLabelTop,
      QString::fromStdString(KeyLabelText(InstrumentName(s.program).toStdString(), s.key_mode)));
  TextOut(painter, layout_.velocity_caption_x, layout_.caption_y, tr("力度"));
  TextOut(painter, layout_.pitch_bend_caption_x, layout_.caption_y, tr("频率"));
}

void ClientArea::keyPressEvent(QKeyEvent* event) {
  event->accept();
  const std::optional<std::uint32_t> key = KeyParameter(*event);
  if (!key) return;
  // Keys pressed with Alt are commands, never notes.
  if (event->modifiers().testFlag(Qt::AltModifier)) return;
  // The handler knows which keys are down: a second press is an auto-repeat.
  event_modifiers_ = event->modifiers();
  HandleKeyEvent(inst_, kKeyDown, *key);
  event_modifiers_.reset();
  // Esc is known by its character, so Ctrl+[ silences too, after its note.
  if (event->text() == QStringLiteral("\x1b") && inst_.settings.device_open != 0) Escape();
}

void ClientArea::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
  const std::optional<std::uint32_t> key = KeyParameter(*event);
  if (!key) return;  // the release half of an auto-repeat
  // Alt or not, open or closed: a key that went down through the handler
  // comes up through it, so that it leaves its group.
  HandleKeyEvent(inst_, kKeyUp, *key);
}

void ClientArea::Escape() {
  ReleasePedal(inst_);  // All Notes Off leaves what the pedal holds
  ResetHeldKeys(inst_.keys);
  SilenceAll(inst_);
  Repaint();
}

void ClientArea::ReleaseHeldKeys() {
  ReleaseKeyboardKeys(inst_);
  ReleaseMouseKey();
}

void ClientArea::ReleaseMouseKey() {
  const std::uint32_t key = inst_.keys.mouse_key;
  if (key >= static_cast<std::uint32_t>(kKeyCount)) return;
  inst_.keys.mouse_key = kNoMouseKey;
  HandleKeyEvent(inst_, kKeyUp, key << 16, KeySource::kMouse);
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint pos = event->position().toPoint();
  const std::optional<std::uint32_t> key = HitTestKey(pos.x(), pos.y(), layout_.x0, layout_.y0);
  if (!key) return;
  ReleaseMouseKey();  // a release we never saw
  // The mouse stays with this widget until the button comes up.
  inst_.keys.mouse_key = *key;
  event_modifiers_ = event->modifiers();
  HandleKeyEvent(inst_, kKeyDown, *key << 16, KeySource::kMouse);
  event_modifiers_.reset();
}

void ClientArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) ReleaseMouseKey();
}

void ClientArea::focusOutEvent(QFocusEvent* event) {
  ReleaseHeldKeys();
  QWidget::focusOutEvent(event);
}

bool ClientArea::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::Hide) {
    ReleaseHeldKeys();
  }
  return QWidget::event(event);
}

bool ClientArea::focusNextPrevChild(bool) {
  return false;  // Tab plays (nothing), it never moves the focus
}

bool ClientArea::eventFilter(QObject* watched, QEvent* event) {
  // The wheel does not move the bars: only their arrows, pages and thumb do.
  if (event->type() == QEvent::Wheel) return true;
  // A key on a transport button takes the focus back and plays; Space must
  // be the pedal, never a click.
  const bool press = event->type() == QEvent::KeyPress;
  if ((press || event->type() == QEvent::KeyRelease) && qobject_cast<QPushButton*>(watched)) {
    setFocus(Qt::OtherFocusReason);
    auto* key = static_cast<QKeyEvent*>(event);
    press ? keyPressEvent(key) : keyReleaseEvent(key);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tonvale
