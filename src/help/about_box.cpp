#include "help/about_box.h"

#include <qdrawutil.h>

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "help/dialog_units.h"
#include "help/link_label.h"
#include "help/picture_file.h"
#include "help/title_label.h"

namespace tonvale {
namespace {

// The layout, in dialog units.
constexpr QSize kDialogSize{249, 205};
constexpr QRect kOkPlace{99, 184, 50, 14};
constexpr QPoint kPicturePlace{7, 7};
constexpr QSize kPictureSize{200, 200};  // pixels, when the picture is missing
constexpr QRect kTitlePlace{126, 35, 88, 20};
constexpr QRect kCreditPlace{115, 64, 108, 8};

struct LinkRow {
  const char* label;
  QRect label_place;
  QRect link_place;
};

// Rows in the order of kAboutLinks.
constexpr std::array<LinkRow, kLinkCount> kLinkRows{{
    {QT_TRANSLATE_NOOP("tonvale::AboutBox", "联系："), {7, 110, 23, 8}, {58, 110, 97, 10}},
    {QT_TRANSLATE_NOOP("tonvale::AboutBox", "主页："), {7, 130, 23, 8}, {58, 130, 151, 10}},
    {QT_TRANSLATE_NOOP("tonvale::AboutBox", "下载地址一："), {7, 150, 45, 8}, {58, 150, 141, 11}},
    {QT_TRANSLATE_NOOP("tonvale::AboutBox", "下载地址二："), {7, 170, 46, 8}, {58, 170, 179, 10}},
}};

LinkVisits& VisitsOfThisRun() {
  static LinkVisits visits{};
  return visits;
}

}  // namespace

bool OpenWithSystem(const QUrl& url) {
  return QDesktopServices::openUrl(url);
}

void ShowAboutBox(QWidget* owner, const UrlOpener& open) {
  AboutBox box(owner, VisitsOfThisRun(), open);
  box.exec();
}

QFont AboutBox::DialogFont() {
  QFont font = QApplication::font();
  font.setPointSize(10);
  return font;
}

AboutBox::AboutBox(QWidget* owner, LinkVisits& visits, UrlOpener open)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      visits_(visits),
      open_(std::move(open)) {
  const QFont dialog_font = DialogFont();
  setFont(dialog_font);
  const DialogBaseUnits base = MeasureDialogBaseUnits(dialog_font);
  const auto place = [&base](const QRect& units) { return DialogRectToPixels(units, base); };
  setFixedSize(place(QRect(QPoint(0, 0), kDialogSize)).size());
  setMouseTracking(true);

  ok_ = new QPushButton(tr("确定"), this);
  ok_->setGeometry(place(kOkPlace));
  ok_->setDefault(true);
  ok_->setCursor(Qt::ArrowCursor);
  connect(ok_, &QPushButton::clicked, this, [this] { done(0); });
  controls_.push_back(ok_);

  auto* picture = new QLabel(this);
  const QPixmap splash = LoadPicture(QStringLiteral("splash"), devicePixelRatioF());
  picture->setPixmap(splash);
  picture->setGeometry(
      QRect(place(QRect(kPicturePlace, QSize())).topLeft(),
            splash.isNull() ? kPictureSize : splash.deviceIndependentSize().toSize()));
  picture->setAttribute(Qt::WA_TransparentForMouseEvents);
  controls_.push_back(picture);

  auto* title = new TitleLabel(QStringLiteral("Tonvale"), this);
  title->setFont(TitleFont());
  title->setGeometry(place(kTitlePlace));
  controls_.push_back(title);

  auto* credit = new QLabel(QStringLiteral("Tonvale ") + QStringLiteral(TONVALE_VERSION_TEXT) +
                                QStringLiteral(" · ") + tr("键盘乐器"),
                            this);
  credit->setAlignment(Qt::AlignCenter);
  credit->setGeometry(place(kCreditPlace));
  credit->setAttribute(Qt::WA_TransparentForMouseEvents);
  controls_.push_back(credit);

  for (int i = 0; i < kLinkCount; ++i) {
    const LinkRow& row = kLinkRows[i];
    auto* label = new QLabel(tr(row.label), this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QRect label_rect = place(row.label_place);
    // A font with narrow Latin letters makes the units too small for the
    // Chinese text; the label then grows into the gap before its link.
    label_rect.setWidth(std::max(label_rect.width(), label->sizeHint().width()));
    label->setGeometry(label_rect);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    controls_.push_back(label);

    links_[i] = new LinkLabel(LinkAddress(kAboutLinks[i]), this);
    links_[i]->setFont(LinkFont(dialog_font));
    links_[i]->setGeometry(place(row.link_place));
    links_[i]->setVisited(visits_[i]);
    link_rects_[i] = links_[i]->geometry();
    controls_.push_back(links_[i]);
  }

  ok_->setFocus();
  QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

int AboutBox::LinkAt(const QPoint& point) const {
  for (int i = 0; i < kLinkCount; ++i) {
    if (StrictlyInside(link_rects_[i], point)) return i;
  }
  return -1;
}

void AboutBox::mouseMoveEvent(QMouseEvent* event) {
  setCursor(LinkAt(event->position().toPoint()) >= 0 ? LinkCursor() : QCursor(Qt::ArrowCursor));
}

void AboutBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int index = LinkAt(event->position().toPoint());
  if (index < 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (open_) open_(LinkTarget(kAboutLinks[index]));  // a failure is not reported
  QApplication::restoreOverrideCursor();
  setCursor(LinkCursor());
  visits_[index] = true;
  links_[index]->setVisited(true);
}

void AboutBox::paintEvent(QPaintEvent*) {
  // No title bar, so the box needs a frame of its own to stand out.
  QPainter painter(this);
  qDrawWinPanel(&painter, rect(), palette(), false);
}

}  // namespace tonvale
