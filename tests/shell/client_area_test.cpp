// Playing the window with X11 key events and the mouse.
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <sstream>

#include "window_rig.h"

using tonvale::test::WindowRig;

namespace {

// Notes on channel 0: positive on, negative off, 0 All Notes Off (channel 0's).
QString Notes(std::initializer_list<int> notes) {
  QStringList out;
  for (int n : notes)
    out << QString::asprintf(n ? n > 0 ? "90 %02x 7f" : "80 %02x 00" : "b0 7b 00", std::abs(n));
  return out.join(',');
}
QString Sent(const WindowRig& rig) {
  return rig.Sent().split(',').filter(QRegularExpression("^([89]|b0)")).join(',');
}

// "+A"/"-A" a middle-row key; "shift", "ctrl", "alt", "none" the modifiers
// from then on; "+m"/"-m" the mouse on key A; "focus" away and back.
void Keys(WindowRig& rig, const char* steps) {
  std::istringstream in(steps);
  Qt::KeyboardModifiers mods;
  const QPoint on_a(rig.Client().Layout().x0 + 57, rig.Client().Layout().y0 + 97);
  for (std::string s; in >> s;) {
    const auto letter = s.size() == 2 && (s[0] == '+' || s[0] == '-')
                            ? static_cast<int>(std::string("ASDFGHJKL").find(s[1]))
                            : -1;
    const auto type = s[0] == '+' ? QEvent::KeyPress : QEvent::KeyRelease;
    if (s == "shift" || s == "ctrl" || s == "alt" || s == "none") {
      mods = s == "shift"  ? Qt::ShiftModifier
             : s == "ctrl" ? Qt::ControlModifier
             : s == "alt"  ? Qt::AltModifier
                           : Qt::NoModifier;
    } else if (s == "esc") {
      rig.Stroke(Qt::Key_Escape, 9, QStringLiteral("\x1b"), mods);
    } else if (s == "close" || s == "open") {
      rig.window->OnCommand(s == "close" ? 257 : 256);
    } else if (s == "focus") {
      QWidget other;
      other.show();
      other.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&other) && rig.Activate());
    } else if (s == "+m") {
      QTest::mousePress(&rig.Client(), Qt::LeftButton, {}, on_a);
    } else if (s == "-m") {
      QTest::mouseRelease(&rig.Client(), Qt::LeftButton, {}, on_a);
    } else if (letter >= 0) {
      rig.Key(type, Qt::Key_A + (s.back() - 'A'), 38 + quint32(letter), {}, mods);
    } else {
      QFAIL(qPrintable(QStringLiteral("no such step \"%1\" in \"%2\"").arg(s.c_str(), steps)));
    }
  }
}

}  // namespace

class ClientAreaTest : public QObject {
  Q_OBJECT

 private slots:
  void keysAndTheMousePlayAndMarksShowTheShift() {
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.ResizeClient(675, 2 * (200 - rig.Client().cy()) + 156);  // keyboard at (100, 200)
    rig.sink.Clear();
    // Alt+A is a key shortcut; S, held before, still ends under Alt.
    Keys(rig, "+S alt +A -A -S");
    QCOMPARE(rig.Inst().settings.key_mode, 1302);
    // Esc silences and draws keys released; Ctrl+[ (also character 27) plays.
    Keys(rig, "+A esc");
    QVERIFY(!rig.Client().KeyMarkPressed(30));
    Keys(rig, "-A");
    rig.Press(Qt::Key_BracketLeft, 34, QStringLiteral("\x1b"), Qt::ControlModifier);
    // The mouse on Q, then where no key is.
    QTest::mouseClick(&rig.Client(), Qt::LeftButton, {}, {105, 245});
    QTest::mouseClick(&rig.Client(), Qt::LeftButton, {}, {575, 200});
    QCOMPARE(rig.Inst().keys.mouse_key, 255u);
    QCOMPARE(Sent(rig), Notes({62, -71, 69, 0, -69, 76, 0, 52, -52}));
    // Key A's cap: grey, red under Shift, green under Ctrl; grey on a repaint.
    const QImage marks = rig.pictures.key_marks.toImage();
    const auto cap = [&](int x) {
      const QImage now = rig.Client().grab().toImage();
      return now.pixelColor(141, 281) == marks.pixelColor(x + 3, 3) &&
             now.pixelColor(158, 286) == marks.pixelColor(x + 20, 8);
    };
    QVERIFY(cap(0));
    Keys(rig, "shift +A");
    QVERIFY(cap(76));
    Keys(rig, "-A ctrl +A");
    QVERIFY(cap(114));
    rig.window->Repaint();
    QVERIFY(cap(0));
    Keys(rig, "-A close");
    rig.sink.Clear();
    Keys(rig, "+D esc");  // nothing at all while closed, Esc included
    QVERIFY(rig.sink.sent.empty());
  }

  // Under Wayland a quick Shift+A reaches the window with Shift already up.
  void aPressPlaysWithTheModifiersItCameWith() {
    WindowRig rig;  // its keyboard holds no modifier now
    QVERIFY(rig.Show());
    rig.sink.Clear();
    for (const Qt::KeyboardModifier held : {Qt::ShiftModifier, Qt::ControlModifier}) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_A, held, 38, 0, 0);
      QApplication::sendEvent(&rig.Client(), &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, 38, 0, 0);
      QApplication::sendEvent(&rig.Client(), &release);
    }
    QTest::mouseClick(&rig.Client(), Qt::LeftButton, Qt::ShiftModifier,
                      {rig.Client().Layout().x0 + 57, rig.Client().Layout().y0 + 97});
    QCOMPARE(Sent(rig), Notes({72, -72, 48, -48, 72, -72}));
  }

  // Each note gets its own note-off through focus, Esc, mouse, close, device.
  void heldKeysEndTheirOwnNotesThroughFocusEscAndAClosedOutput() {
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.sink.Clear();
    Keys(rig, "shift +A none +D +m focus -A -D -m +A esc shift +S none -A -S");
    Keys(rig, "+m esc shift +S none -m -S");
    Keys(rig, "+D close -D open shift +A -A none +m");
    rig.sink.fail_open = true;
    rig.window->OnCommand(512);  // the new device cannot be opened
    rig.sink.fail_open = false;
    Keys(rig, "-m open shift +A -A none +D close focus open shift +A -A");
    QCOMPARE(Sent(rig), Notes({72,  76,  72, -72, -76, -72, 60, 0, 74, -60, -74, 60, 0,  74,
                               -60, -74, 64, 0,   72,  -72, 60, 0, 72, -72, 64,  0,  72, -72}));
  }

  // Space is the pedal; Esc, focus loss and a device change release it first.
  void spaceIsThePedalAndEveryWayOutLetsItGoFirst() {
    WindowRig rig;
    QVERIFY(rig.Show());
    const auto space = [&rig](bool press, bool repeat = false) {
      rig.Key(press ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Space, 65, " ", {}, repeat);
    };
    const QImage before = rig.Client().grab().toImage();
    rig.sink.Clear();
    space(true);
    space(true, true);
    Keys(rig, "+A -A");
    QVERIFY(rig.Client().PedalShown());  // drawn as the pictures test compares it
    space(false);
    QCOMPARE(rig.Client().grab().toImage(), before);
    QCOMPARE(rig.Sent(), "b0 40 7f,90 3c 7f,80 3c 00,b0 40 00");

    rig.Trigger(1333);  // the automatic bass
    const QString down = "b0 40 7f,bf 40 7f", up = "b0 40 00,bf 40 00";
    const QString silence = tonvale::test::Dump(tonvale::test::AllNotesOff());
    rig.sink.Clear();
    space(true);
    Keys(rig, "+A esc -A");
    space(false);
    QCOMPARE(rig.Sent(), down + ",90 3c 7f,9f 30 7f," + up + "," + silence + ",80 3c 00,8f 30 00");
    QVERIFY(!rig.Client().PedalShown());
    rig.sink.Clear();
    space(true);
    Keys(rig, "+A focus");
    space(false);
    QCOMPARE(rig.Sent(), down + ",90 3c 7f,9f 30 7f," + up + ",80 3c 00,8f 30 00");
    rig.sink.Clear();
    space(true);
    rig.window->OnCommand(512);
    space(false);
    QCOMPARE(rig.Sent(), down + "," + up + "," + silence + ",c0 00 00,cf 00 00");
    // A focused transport button hands Space over: never a click.
    QList<int> handed;
    rig.window->SetOwnedCommandHandler([&handed](int id) { handed << id; });
    QPushButton* button = rig.window->TransportButton(1283);
    rig.sink.Clear();
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      button->setFocus();
      QKeyEvent event(type, Qt::Key_Space, {}, 65, 0, 0, " ");
      QApplication::sendEvent(button, &event);
      QCOMPARE(QApplication::focusWidget(), &rig.Client());
    }
    QCOMPARE(rig.Sent(), down + "," + up);
    QCoreApplication::processEvents();
    QVERIFY(handed.isEmpty() && !button->isDown());
  }
};

QTEST_MAIN(ClientAreaTest)
#include "client_area_test.moc"
