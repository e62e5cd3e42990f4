// The About box under the offscreen platform: link hit test, cursors,
// visited colours, closing keys, layout, and the opener seam.
#include "help/about_box.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QtTest>
#include <vector>

#include "help/about_links.h"
#include "help/dialog_units.h"
#include "help/link_label.h"
#include "help/title_label.h"

using tonvale::AboutBox;
using tonvale::kAboutLinks;
using tonvale::kLinkCount;
using tonvale::LinkLabel;
using tonvale::LinkVisits;

namespace {

// Stands in for the system: remembers every address and the cursor shown
// while it was being opened.
struct RecordingOpener {
  std::vector<QUrl> urls;
  std::vector<Qt::CursorShape> cursors;
  bool answer = true;

  tonvale::UrlOpener seam() {
    return [this](const QUrl& url) {
      urls.push_back(url);
      const QCursor* shown = QApplication::overrideCursor();
      cursors.push_back(shown != nullptr ? shown->shape() : Qt::ArrowCursor);
      return answer;
    };
  }
};

QSet<QRgb> ColoursOf(QWidget* widget) {
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y) & 0xFFFFFF);
  }
  return colours;
}

const QRgb kPurple = qRgb(150, 0, 150) & 0xFFFFFF;
const QRgb kBlack = qRgb(0, 0, 0) & 0xFFFFFF;

bool DrawnVisited(LinkLabel* link) {
  const QSet<QRgb> colours = ColoursOf(link);
  return colours.contains(kPurple) && !colours.contains(kBlack);
}

bool DrawnUnvisited(LinkLabel* link) {
  const QSet<QRgb> colours = ColoursOf(link);
  return colours.contains(kBlack) && !colours.contains(kPurple);
}

void MoveTo(AboutBox& box, QPoint at) {
  QTest::mouseMove(&box, at);
}

bool ShowsHand(const AboutBox& box) {
  const QCursor hand = tonvale::LinkCursor();
  return box.cursor().shape() == hand.shape() && box.cursor().hotSpot() == hand.hotSpot();
}

bool ShowsArrow(const AboutBox& box) {
  return box.cursor().shape() == Qt::ArrowCursor;
}

QPoint Middle(const QRect& r) {
  return QPoint(r.x() + r.width() / 2, r.y() + r.height() / 2);
}

}  // namespace

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void hitTestCountsOnlyPointsStrictlyInside();
  void cursorIsTheHandOnlyOverLinks();
  void clickOpensMarksVisitedAndKeepsOthers();
  void emailLinkOpensMailtoAddress();
  void clicksOffLinksOrWithOtherButtonsOpenNothing();
  void failedOpenStillMarksVisited();
  void enterAndEscClose();
  void visitsSurviveReopeningThroughShowAboutBox();
  void layoutFitsEveryTextWithoutOverlap();
};

void AboutBoxTest::hitTestCountsOnlyPointsStrictlyInside() {
  const QRect r(10, 20, 30, 5);
  // On the border and one past it: outside.
  for (const QPoint p : {QPoint(10, 22), QPoint(40, 22), QPoint(25, 20), QPoint(25, 25),
                         QPoint(10, 20), QPoint(39, 25)}) {
    QVERIFY2(!tonvale::StrictlyInside(r, p), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
  }
  // Just inside every edge, and the far inner corner.
  for (const QPoint p : {QPoint(11, 22), QPoint(39, 22), QPoint(25, 21), QPoint(25, 24),
                         QPoint(39, 24), QPoint(11, 21)}) {
    QVERIFY2(tonvale::StrictlyInside(r, p), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
  }

  // The same rule on the box itself, for every link, with real mouse input.
  LinkVisits visits{};
  RecordingOpener opener;
  AboutBox box(nullptr, visits, opener.seam());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  for (int i = 0; i < kLinkCount; ++i) {
    const QRect r = box.linkRect(i);
    QCOMPARE(r, box.link(i)->geometry());  // the hit area is the drawn area
    const QPoint mid = Middle(r);
    const int right = r.x() + r.width();
    const int bottom = r.y() + r.height();
    for (const QPoint p : {QPoint(r.x(), mid.y()), QPoint(right, mid.y()), QPoint(mid.x(), r.y()),
                           QPoint(mid.x(), bottom)}) {
      QTest::mouseClick(&box, Qt::LeftButton, {}, p);
    }
    QVERIFY2(opener.urls.empty(), "a click on the border opened a link");
    QVERIFY(!visits[i]);
    for (const QPoint p : {QPoint(r.x() + 1, mid.y()), QPoint(right - 1, mid.y()),
                           QPoint(mid.x(), r.y() + 1), QPoint(mid.x(), bottom - 1)}) {
      MoveTo(box, p);
      QVERIFY2(ShowsHand(box),
               qPrintable(QString("link %1 at %2,%3").arg(i).arg(p.x()).arg(p.y())));
    }
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(right - 1, bottom - 1));
    QCOMPARE(opener.urls.size(), size_t(1));
    QCOMPARE(opener.urls[0], tonvale::LinkTarget(kAboutLinks[i]));
    opener.urls.clear();
  }
}

void AboutBoxTest::cursorIsTheHandOnlyOverLinks() {
  LinkVisits visits{};
  RecordingOpener opener;
  AboutBox box(nullptr, visits, opener.seam());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  QVERIFY(ShowsArrow(box));

  for (int i = 0; i < kLinkCount; ++i) {
    MoveTo(box, Middle(box.linkRect(i)));
    QVERIFY2(ShowsHand(box), qPrintable(QString("link %1").arg(i)));
    // Every other control gives the arrow again: labels, title, credit, picture.
    for (QWidget* control : box.controls()) {
      if (qobject_cast<LinkLabel*>(control) != nullptr || control == box.okButton()) continue;
      MoveTo(box, Middle(box.linkRect(i)));
      QVERIFY(ShowsHand(box));
      MoveTo(box, Middle(control->geometry()));
      QVERIFY2(ShowsArrow(box), control->metaObject()->className());
    }
  }
  // An empty spot between the picture and the links.
  MoveTo(box, Middle(box.linkRect(0)));
  MoveTo(box, QPoint(box.width() - 5, box.height() - 5));
  QVERIFY(ShowsArrow(box));
  // The OK button keeps the arrow of its own.
  QCOMPARE(box.okButton()->cursor().shape(), Qt::ArrowCursor);
  QVERIFY(opener.urls.empty());
}

void AboutBoxTest::clickOpensMarksVisitedAndKeepsOthers() {
  LinkVisits visits{};
  RecordingOpener opener;
  {
    AboutBox box(nullptr, visits, opener.seam());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    for (int i = 0; i < kLinkCount; ++i) QVERIFY(DrawnUnvisited(box.link(i)));

    QTest::mouseClick(&box, Qt::LeftButton, {}, Middle(box.linkRect(1)));  // home page
    QCOMPARE(opener.urls.size(), size_t(1));
    QCOMPARE(opener.urls[0], QUrl("https://tonvale.org/"));
    QCOMPARE(opener.cursors[0], Qt::WaitCursor);  // shown while the system works
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(ShowsHand(box));

    QCOMPARE(visits, (LinkVisits{false, true, false, false}));
    QVERIFY(DrawnVisited(box.link(1)));
    for (int i : {0, 2, 3}) QVERIFY(DrawnUnvisited(box.link(i)));
  }
  // Opened again with the same marks: drawn visited from the start.
  AboutBox again(nullptr, visits, opener.seam());
  again.show();
  QVERIFY(QTest::qWaitForWindowExposed(&again));
  QVERIFY(DrawnVisited(again.link(1)));
  for (int i : {0, 2, 3}) QVERIFY(DrawnUnvisited(again.link(i)));

  // A second click on a visited link opens it again and keeps it visited.
  QTest::mouseClick(&again, Qt::LeftButton, {}, Middle(again.linkRect(1)));
  QCOMPARE(opener.urls.size(), size_t(2));
  QVERIFY(DrawnVisited(again.link(1)));
}

void AboutBoxTest::emailLinkOpensMailtoAddress() {
  LinkVisits visits{};
  RecordingOpener opener;
  AboutBox box(nullptr, visits, opener.seam());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  const QString shown = box.link(0)->text();
  QVERIFY(!shown.contains(':'));  // the bare address is drawn
  QVERIFY(shown.contains('@'));

  QTest::mouseClick(&box, Qt::LeftButton, {}, Middle(box.linkRect(0)));
  QCOMPARE(opener.urls.size(), size_t(1));
  QCOMPARE(opener.urls[0].scheme(), QString("mailto"));
  QCOMPARE(opener.urls[0].path(), shown);
  QCOMPARE(opener.urls[0].toString(), "mailto:" + shown);
  QVERIFY(visits[0]);

  // The web links go out as drawn.
  for (int i = 1; i < kLinkCount; ++i) {
    QTest::mouseClick(&box, Qt::LeftButton, {}, Middle(box.linkRect(i)));
    QCOMPARE(opener.urls.back().toString(), box.link(i)->text());
    QVERIFY(opener.urls.back().scheme() == "https");
  }
}

void AboutBoxTest::clicksOffLinksOrWithOtherButtonsOpenNothing() {
  LinkVisits visits{};
  RecordingOpener opener;
  AboutBox box(nullptr, visits, opener.seam());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  for (QWidget* control : box.controls()) {
    if (qobject_cast<LinkLabel*>(control) != nullptr || control == box.okButton()) continue;
    QTest::mouseClick(&box, Qt::LeftButton, {}, Middle(control->geometry()));
  }
  QTest::mouseClick(&box, Qt::RightButton, {}, Middle(box.linkRect(2)));
  QTest::mouseClick(&box, Qt::MiddleButton, {}, Middle(box.linkRect(3)));
  QVERIFY(opener.urls.empty());
  QCOMPARE(visits, LinkVisits{});
  QVERIFY(box.isVisible());
}

void AboutBoxTest::failedOpenStillMarksVisited() {
  LinkVisits visits{};
  RecordingOpener opener;
  opener.answer = false;
  AboutBox box(nullptr, visits, opener.seam());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  QTest::mouseClick(&box, Qt::LeftButton, {}, Middle(box.linkRect(3)));
  QCOMPARE(opener.urls.size(), size_t(1));
  QVERIFY(visits[3]);
  QVERIFY(DrawnVisited(box.link(3)));
  QVERIFY(QApplication::overrideCursor() == nullptr);
  QVERIFY(box.isVisible());  // no message, no closing
}

void AboutBoxTest::enterAndEscClose() {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    LinkVisits visits{};
    RecordingOpener opener;
    AboutBox box(nullptr, visits, opener.seam());
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QVERIFY(box.okButton()->isDefault());
    QCOMPARE(QApplication::focusWidget(), box.okButton());
    QTest::keyClick(QApplication::focusWidget(), key);
    QVERIFY2(!box.isVisible(), qPrintable(QKeySequence(key).toString()));
    QCOMPARE(box.result(), 0);
  }
  // Other keys leave it open.
  LinkVisits visits{};
  RecordingOpener opener;
  AboutBox box(nullptr, visits, opener.seam());
  box.show();
  QVERIFY(QTest::qWaitForWindowActive(&box));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QVERIFY(box.isVisible());
}

void AboutBoxTest::visitsSurviveReopeningThroughShowAboutBox() {
  RecordingOpener opener;
  bool looked = false;
  QRect shown_at;
  Qt::WindowFlags flags;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    looked = true;
    shown_at = box->frameGeometry();
    flags = box->windowFlags();
    modal = box->isModal();
    QTest::mouseClick(box, Qt::LeftButton, {}, Middle(box->linkRect(2)));
    QTest::keyClick(box, Qt::Key_Escape);
  });
  tonvale::ShowAboutBox(nullptr, opener.seam());  // returns once closed
  QVERIFY(looked);
  QVERIFY(modal);
  QVERIFY(flags.testFlag(Qt::FramelessWindowHint));  // no title bar
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QVERIFY(qAbs(shown_at.center().x() - screen.center().x()) <= 1);
  QVERIFY(qAbs(shown_at.center().y() - screen.center().y()) <= 1);
  QCOMPARE(opener.urls.size(), size_t(1));

  bool checked = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    checked = true;
    QVERIFY(DrawnVisited(box->link(2)));
    for (int i : {0, 1, 3}) QVERIFY(DrawnUnvisited(box->link(i)));
    QTest::keyClick(box->okButton(), Qt::Key_Return);
  });
  tonvale::ShowAboutBox(nullptr, opener.seam());
  QVERIFY(checked);
}

void AboutBoxTest::layoutFitsEveryTextWithoutOverlap() {
  LinkVisits visits{};
  RecordingOpener opener;
  AboutBox box(nullptr, visits, opener.seam());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));

  // 249 x 205 dialog units of the dialog font.
  const tonvale::DialogBaseUnits base = tonvale::MeasureDialogBaseUnits(AboutBox::DialogFont());
  QVERIFY(base.char_width > 0 && base.char_height > 0);
  QCOMPARE(box.size(), QSize(tonvale::ScaleRounded(249, base.char_width, 4),
                             tonvale::ScaleRounded(205, base.char_height, 8)));
  QCOMPARE(box.okButton()->geometry(), QRect(tonvale::ScaleRounded(99, base.char_width, 4),
                                             tonvale::ScaleRounded(184, base.char_height, 8),
                                             tonvale::ScaleRounded(50, base.char_width, 4),
                                             tonvale::ScaleRounded(14, base.char_height, 8)));

  const std::vector<QWidget*>& controls = box.controls();
  QCOMPARE(controls.size(), size_t(12));
  QStringList texts;
  for (size_t i = 0; i < controls.size(); ++i) {
    QWidget* control = controls[i];
    QVERIFY(box.rect().contains(control->geometry()));
    for (size_t j = i + 1; j < controls.size(); ++j) {
      QVERIFY2(!control->geometry().intersects(controls[j]->geometry()),
               qPrintable(QString("controls %1 and %2 overlap").arg(i).arg(j)));
    }
    QString text;
    if (auto* label = qobject_cast<QLabel*>(control)) text = label->text();
    if (auto* link = qobject_cast<LinkLabel*>(control)) text = link->text();
    if (auto* title = qobject_cast<tonvale::TitleLabel*>(control)) text = title->text();
    if (auto* button = qobject_cast<QPushButton*>(control)) text = button->text();
    if (text.isEmpty()) continue;  // the picture
    texts << text;
    const QFontMetrics metrics(control->font());
    QVERIFY2(metrics.horizontalAdvance(text) <= control->width(), qPrintable(text + " is clipped"));
    QVERIFY2(metrics.height() <= control->height() + 1, qPrintable(text + " is cut off"));
  }
  for (const char* expected :
       {"确定", "Tonvale", "联系：", "主页：", "下载地址一：", "下载地址二："}) {
    QVERIFY2(texts.contains(QString::fromUtf8(expected)), expected);
  }

  // Title and links are drawn in the serif face and the title in red.
  QVERIFY(box.title()->font().bold());
  QCOMPARE(box.title()->font().pointSize(), 24);
  QVERIFY(ColoursOf(box.title()).contains(qRgb(255, 0, 0) & 0xFFFFFF));
  for (int i = 0; i < kLinkCount; ++i) {
    QVERIFY(box.link(i)->font().underline());
    QCOMPARE(box.link(i)->font().family(), QString("Times New Roman"));
  }
}

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
