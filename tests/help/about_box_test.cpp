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

#include "help/link_label.h"
#include "help/title_label.h"

using tonvale::AboutBox;
using tonvale::LinkLabel;

namespace {

// Stands in for the system: every address, and the cursor shown meanwhile.
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

// Visited links are drawn purple with no black left; the others the reverse.
void ExpectVisited(AboutBox* box, const QList<int>& visited) {
  for (int i = 0; i < tonvale::kLinkCount; ++i) {
    const QImage image = box->link(i)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y) & 0xFFFFFF);
    }
    const bool purple = colours.contains(qRgb(150, 0, 150) & 0xFFFFFF), black = colours.contains(0);
    QVERIFY2(visited.contains(i) ? purple && !black : black && !purple,
             qPrintable(QString("link %1").arg(i)));
  }
}

bool ShowsHand(const AboutBox& box) {
  const QCursor hand = tonvale::LinkCursor();
  return box.cursor().shape() == hand.shape() && box.cursor().hotSpot() == hand.hotSpot();
}

QPoint Middle(const QRect& r) {
  return QPoint(r.x() + r.width() / 2, r.y() + r.height() / 2);
}

}  // namespace

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void hitTestCursorsAndLayout();
  void clicksMarkVisitedAndTheMarksSurviveReopening();
  void enterAndEscClose();
};

void AboutBoxTest::hitTestCursorsAndLayout() {
  tonvale::LinkVisits visits{};
  RecordingOpener opener;
  AboutBox box(nullptr, visits, opener.seam());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  QCOMPARE(box.cursor().shape(), Qt::ArrowCursor);
  for (int i = 0; i < tonvale::kLinkCount; ++i) {
    const QRect r = box.linkRect(i);
    QCOMPARE(r, box.link(i)->geometry());  // the hit area is the drawn area
    // On each edge nothing opens; one step inside shows the hand and opens.
    const QPoint mid = Middle(r);
    const int right = r.x() + r.width(), bottom = r.y() + r.height();
    for (const QPoint p : {QPoint(r.x(), mid.y()), QPoint(right, mid.y()), QPoint(mid.x(), r.y()),
                           QPoint(mid.x(), bottom)}) {
      QTest::mouseClick(&box, Qt::LeftButton, {}, p);
    }
    QVERIFY2(opener.urls.empty(), "a click on the border opened a link");
    for (const QPoint p : {QPoint(r.x() + 1, mid.y()), QPoint(right - 1, mid.y()),
                           QPoint(mid.x(), r.y() + 1), QPoint(mid.x(), bottom - 1)}) {
      QTest::mouseMove(&box, p);
      QVERIFY2(ShowsHand(box),
               qPrintable(QString("link %1 at %2,%3").arg(i).arg(p.x()).arg(p.y())));
    }
    // Every other control (labels, title, credit, picture) gives the arrow back.
    for (QWidget* control : box.controls()) {
      if (qobject_cast<LinkLabel*>(control) != nullptr || control == box.okButton()) continue;
      QTest::mouseMove(&box, mid);
      QVERIFY(ShowsHand(box));
      QTest::mouseMove(&box, Middle(control->geometry()));
      QVERIFY2(box.cursor().shape() == Qt::ArrowCursor, control->metaObject()->className());
      QTest::mouseClick(&box, Qt::LeftButton, {}, Middle(control->geometry()));
    }
    QTest::mouseClick(&box, Qt::RightButton, {}, mid);
    QTest::mouseClick(&box, Qt::MiddleButton, {}, mid);
    QVERIFY(opener.urls.empty());
    QVERIFY(!visits[i]);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(right - 1, bottom - 1));
    QCOMPARE(opener.urls.size(), size_t(1));
    QCOMPARE(opener.urls[0], tonvale::LinkTarget(tonvale::kAboutLinks[i]));
    opener.urls.clear();
  }
  // An empty spot, and the OK button's own arrow.
  QTest::mouseMove(&box, Middle(box.linkRect(0)));
  QTest::mouseMove(&box, QPoint(box.width() - 5, box.height() - 5));
  QCOMPARE(box.cursor().shape(), Qt::ArrowCursor);
  QCOMPARE(box.okButton()->cursor().shape(), Qt::ArrowCursor);

  // The twelve controls lie inside the box, apart, with no text clipped.
  const std::vector<QWidget*>& controls = box.controls();
  QCOMPARE(controls.size(), size_t(12));
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
    const QFontMetrics metrics(control->font());
    QVERIFY2(metrics.horizontalAdvance(text) <= control->width(), qPrintable(text + " is clipped"));
    QVERIFY2(metrics.height() <= control->height() + 1, qPrintable(text + " is cut off"));
  }
}

// Through the real entry point, twice: the marks live as long as the program.
void AboutBoxTest::clicksMarkVisitedAndTheMarksSurviveReopening() {
  RecordingOpener opener;
  bool looked = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    looked = true;
    QVERIFY(box->windowFlags().testFlag(Qt::FramelessWindowHint));  // no title bar
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint off = box->frameGeometry().center() - screen.center();
    QVERIFY(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1);
    ExpectVisited(box, {});

    // The e-mail link: the bare address is drawn, "mailto:" goes out.
    const QString shown = box->link(0)->text();
    QVERIFY(shown.contains('@') && !shown.contains(':'));
    QTest::mouseClick(box, Qt::LeftButton, {}, Middle(box->linkRect(0)));
    QCOMPARE(opener.urls.size(), size_t(1));
    QCOMPARE(opener.urls[0].scheme(), QString("mailto"));
    QCOMPARE(opener.urls[0].toString(), "mailto:" + shown);
    QCOMPARE(opener.cursors[0], Qt::WaitCursor);  // shown while the system works
    QVERIFY(QApplication::overrideCursor() == nullptr);
    ExpectVisited(box, {0});

    // A failed open still marks the link, with no message and no closing.
    opener.answer = false;
    QTest::mouseClick(box, Qt::LeftButton, {}, Middle(box->linkRect(2)));
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(box->isVisible());
    ExpectVisited(box, {0, 2});
    QTest::keyClick(box, Qt::Key_Escape);
  });
  tonvale::ShowAboutBox(nullptr, opener.seam());  // returns once closed
  QVERIFY(looked);
  QCOMPARE(opener.urls.size(), size_t(2));

  bool checked = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    checked = true;
    ExpectVisited(box, {0, 2});
    // A web link goes out as drawn; a visited one opens again and stays visited.
    for (int i : {1, 2}) QTest::mouseClick(box, Qt::LeftButton, {}, Middle(box->linkRect(i)));
    QCOMPARE(opener.urls[2].toString(), box->link(1)->text());
    QCOMPARE(opener.urls[2].scheme(), QString("https"));
    QCOMPARE(opener.urls[3].toString(), box->link(2)->text());
    ExpectVisited(box, {0, 1, 2});
    QTest::keyClick(box->okButton(), Qt::Key_Return);
  });
  tonvale::ShowAboutBox(nullptr, opener.seam());
  QVERIFY(checked);
}

void AboutBoxTest::enterAndEscClose() {
  for (const Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    tonvale::LinkVisits visits{};
    RecordingOpener opener;
    AboutBox box(nullptr, visits, opener.seam());
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QCOMPARE(QApplication::focusWidget(), box.okButton());
    QTest::keyClick(QApplication::focusWidget(), key);
    if (key == Qt::Key_A) {  // other keys leave it open
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QVERIFY(box.isVisible());
      continue;
    }
    QVERIFY2(!box.isVisible(), qPrintable(QKeySequence(key).toString()));
    QCOMPARE(box.result(), 0);
  }
}

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
