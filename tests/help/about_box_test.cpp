// The About box: link hit test, cursors, addresses, visited marks, keys.
#include "help/about_box.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "help/link_label.h"

using tonvale::AboutBox;

namespace {

// Each address opened, with " wait" if the wait cursor shows.
struct Opener {
  QStringList opened;
  bool opens = true;
  tonvale::UrlOpener seam() {
    return [this](const QUrl& url) {
      const QCursor* shown = QApplication::overrideCursor();
      opened << url.toString() + (shown && shown->shape() == Qt::WaitCursor ? " wait" : "");
      return opens;
    };
  }
};

QString Visited(AboutBox* box) {
  QStringList visited;
  for (int i = 0; i < tonvale::kLinkCount; ++i) {
    const QImage image = box->link(i)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
    if (std::count(pixels, pixels + image.sizeInBytes() / 4, qRgb(150, 0, 150)))
      visited << QString::number(i);
  }
  return visited.join(' ');
}

}  // namespace

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void linksOpenOnlyStrictlyInsideTheirRectangle() {
    tonvale::LinkVisits visits{};
    Opener opener;
    AboutBox box(nullptr, visits, opener.seam());
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    const QCursor hand = tonvale::LinkCursor();
    QCOMPARE(qAlpha(hand.pixmap().toImage().pixel(hand.hotSpot())), 255);  // on the finger
    for (int i = 0; i < tonvale::kLinkCount; ++i) {
      const QRect r = box.linkRect(i);
      const int right = r.x() + r.width(), bottom = r.y() + r.height();
      const QPoint mid = r.center(), inside(right - 1, bottom - 1);
      for (QPoint p : {QPoint(r.x(), mid.y()), QPoint(right, mid.y()), QPoint(mid.x(), r.y()),
                       QPoint(mid.x(), bottom)}) {
        QTest::mouseClick(&box, Qt::LeftButton, {}, p);  // on the border: nothing
      }
      QTest::mouseClick(&box, Qt::RightButton, {}, mid);
      QTest::mouseMove(&box, inside);
      QVERIFY(box.cursor().shape() == hand.shape() && box.cursor().hotSpot() == hand.hotSpot());
      QTest::mouseClick(&box, Qt::LeftButton, {}, inside);
      QCOMPARE(opener.opened,
               QStringList{tonvale::LinkTarget(tonvale::kAboutLinks[i]).toString() + " wait"});
      opener.opened.clear();
    }
    for (QWidget* control : box.controls()) {  // labels, title, picture: the arrow
      if (qobject_cast<tonvale::LinkLabel*>(control) || control == box.okButton()) continue;
      QTest::mouseMove(&box, control->geometry().center());
      QCOMPARE(box.cursor().shape(), Qt::ArrowCursor);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!box.isVisible());
  }

  // Through the real entry point, twice: the marks live as long as the program.
  void visitedMarksSurviveReopening() {
    Opener opener;
    QStringList seen;
    QString mail;
    for (int opening = 0; opening < 2; ++opening) {
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        seen << Visited(box);
        if (opening == 0) {
          mail = box->link(0)->text();
          QTest::mouseClick(box, Qt::LeftButton, {}, box->linkRect(0).center());
          opener.opens = false;  // a failed open still marks the link
          QTest::mouseClick(box, Qt::LeftButton, {}, box->linkRect(2).center());
          seen << Visited(box);
        }
        QTest::keyClick(box, Qt::Key_Escape);
      });
      tonvale::ShowAboutBox(nullptr, opener.seam());  // returns once closed
    }
    QCOMPARE(seen, QStringList({"", "0 2", "0 2"}));
    // The e-mail link shows the bare address and opens it as "mailto:".
    QCOMPARE(opener.opened[0], "mailto:" + mail + " wait");
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
