// Playing the window: real key events with X11 scan codes, the mouse on the
// pictured keys, focus and capture loss, Esc, and what gets painted.
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTest>

#include "perform/keyboard_layout.h"
#include "window_rig.h"

using tonvale::test::AllNotesOff;
using tonvale::test::ByteList;
using tonvale::test::Concat;
using tonvale::test::Dump;
using tonvale::test::RecordingSink;
using tonvale::test::WindowRig;

namespace {

ByteList On(std::uint8_t note, std::uint8_t chan = 0) {
  return {{std::uint8_t(0x90 | chan), note, 0x7F}};
}
ByteList Off(std::uint8_t note, std::uint8_t chan = 0) {
  return {{std::uint8_t(0x80 | chan), note, 0}};
}

// X11 native scan codes (evdev + 8).
constexpr quint32 kA = 38, kS = 39, kD = 40, kBracket = 34, kEsc = 9, kKpSlash = 106, kUp = 111;

bool Idle(const tonvale::KeyboardState& k) {
  return k.held_plain == 0 && k.held_raised == 0 && k.held_lowered == 0 && k.shift_state == 0;
}

// Saves a picture for a person to look at when TONVALE_SHOT_DIR is set.
void Keep(const QImage& image, const QString& name) {
  const QString dir = qEnvironmentVariable("TONVALE_SHOT_DIR");
  if (!dir.isEmpty()) image.save(QDir(dir).filePath(name));
}

}  // namespace

class ClientAreaTest : public QObject {
  Q_OBJECT

 private slots:
  void keysPlayByScanCode() {
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.sink.Clear();
    rig.Press(Qt::Key_A, kA, QStringLiteral("a"));
    QCOMPARE(Dump(rig.SentBytes()), Dump(On(0x3C)));
    QVERIFY(rig.Client().KeyMarkPressed(30));
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(0x3C), Off(0x3C))));
    QVERIFY(!rig.Client().KeyMarkPressed(30));

    // The layout does not matter, the scan code does: a key reported as Q
    // (AZERTY) on the A position still plays 60.
    rig.sink.Clear();
    rig.Press(Qt::Key_Q, kA, QStringLiteral("q"));
    rig.Release(Qt::Key_Q, kA, QStringLiteral("q"));
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(0x3C), Off(0x3C))));

    // Keypad slash plays like slash: 76.
    rig.sink.Clear();
    rig.Press(Qt::Key_Slash, kKpSlash, QStringLiteral("/"), Qt::KeypadModifier);
    rig.Release(Qt::Key_Slash, kKpSlash, QStringLiteral("/"), Qt::KeypadModifier);
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(76), Off(76))));

    // Arrows play nothing and keep the focus.
    rig.sink.Clear();
    rig.Press(Qt::Key_Up, kUp);
    rig.Release(Qt::Key_Up, kUp);
    QVERIFY(rig.sink.sent.empty());
    QCOMPARE(QApplication::focusWidget(), &rig.Client());
    QVERIFY(Idle(rig.Inst().keys));
  }

  void shiftIsLatchedForTheGroup() {
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.sink.Clear();
    rig.modifiers = Qt::ShiftModifier;
    rig.Press(Qt::Key_A, kA, QStringLiteral("A"), Qt::ShiftModifier);
    rig.modifiers = Qt::NoModifier;  // Shift let go; S joins the raised group
    rig.Press(Qt::Key_S, kS, QStringLiteral("s"));
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    rig.Release(Qt::Key_S, kS, QStringLiteral("s"));
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(Concat(On(72), On(74)), Concat(Off(72), Off(74)))));
    QVERIFY(Idle(rig.Inst().keys));
    // Ctrl alone: an octave down.
    rig.sink.Clear();
    rig.modifiers = Qt::ControlModifier;
    rig.Press(Qt::Key_A, kA, QStringLiteral("\x01"), Qt::ControlModifier);
    rig.Release(Qt::Key_A, kA, QStringLiteral("\x01"), Qt::ControlModifier);
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(48), Off(48))));
  }

  void autoRepeatPairsPlayOneNote() {
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.sink.Clear();
    rig.Press(Qt::Key_A, kA, QStringLiteral("a"));
    for (int i = 0; i < 5; ++i) {
      // X11's auto-repeat: a release and a press, both marked.
      rig.Key(QEvent::KeyRelease, Qt::Key_A, kA, QStringLiteral("a"), Qt::NoModifier, true);
      rig.Key(QEvent::KeyPress, Qt::Key_A, kA, QStringLiteral("a"), Qt::NoModifier, true);
    }
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(60), Off(60))));
    QVERIFY(Idle(rig.Inst().keys));

    // With detectable auto-repeat the server sends only presses, unmarked:
    // a key that never came up cannot go down again, so still one note.
    rig.sink.Clear();
    for (int i = 0; i < 4; ++i) rig.Press(Qt::Key_S, kS, QStringLiteral("s"));
    rig.Release(Qt::Key_S, kS, QStringLiteral("s"));
    rig.Press(Qt::Key_S, kS, QStringLiteral("s"));  // a new press after the release plays
    rig.Release(Qt::Key_S, kS, QStringLiteral("s"));
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(Concat(On(62), Off(62)), Concat(On(62), Off(62)))));
    QVERIFY(Idle(rig.Inst().keys));
  }

  void altKeysDoNotPlayButReleasesAlwaysCount() {
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.sink.Clear();
    // Alt+A is the A-major shortcut; Alt+semicolon is nothing at all.
    rig.Press(Qt::Key_A, kA, QString(), Qt::AltModifier);
    rig.Release(Qt::Key_A, kA, QString(), Qt::AltModifier);
    rig.Press(Qt::Key_Semicolon, 47, QString(), Qt::AltModifier);
    rig.Release(Qt::Key_Semicolon, 47, QString());
    QCOMPARE(rig.Inst().settings.key_mode, 1302);
    QVERIFY(rig.sink.sent.empty());
    QVERIFY(Idle(rig.Inst().keys));

    // Held with Shift, then a stray Alt chord comes and goes: the raised
    // group is untouched and its release still ends the right note.
    rig.modifiers = Qt::ShiftModifier;
    rig.Press(Qt::Key_S, kS, QStringLiteral("S"), Qt::ShiftModifier);
    rig.modifiers = Qt::NoModifier;
    rig.Press(Qt::Key_C, 54, QString(), Qt::AltModifier);  // back to C major
    rig.Release(Qt::Key_C, 54, QString());
    // Released while Alt is held: still handled, with the key mode now in
    // force (83 began in A major, 74 ends in C major).
    rig.Release(Qt::Key_S, kS, QString(), Qt::AltModifier);
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(83), Off(74))));
    QVERIFY(Idle(rig.Inst().keys));
  }

  void escapeSilencesEverything() {
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.sink.Clear();
    rig.Press(Qt::Key_A, kA, QStringLiteral("a"));
    rig.Press(Qt::Key_D, kD, QStringLiteral("d"));
    rig.Press(Qt::Key_Escape, kEsc, QStringLiteral("\x1b"));
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(Concat(On(60), On(64)), AllNotesOff())));
    QVERIFY(Idle(rig.Inst().keys));
    QVERIFY(!rig.Client().KeyMarkPressed(30));
    QVERIFY(!rig.Client().KeyMarkPressed(32));
    rig.Release(Qt::Key_Escape, kEsc, QStringLiteral("\x1b"));

    // Ctrl+[ gives character 27 too: its note first (an octave down), then
    // the silence.
    rig.sink.Clear();
    rig.modifiers = Qt::ControlModifier;
    rig.Press(Qt::Key_BracketLeft, kBracket, QStringLiteral("\x1b"), Qt::ControlModifier);
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(67), AllNotesOff())));
    rig.modifiers = Qt::NoModifier;

    // Nothing at all while the output is closed.
    rig.window->OnCommand(257);
    rig.sink.Clear();
    rig.Press(Qt::Key_A, kA, QStringLiteral("a"));
    rig.Press(Qt::Key_Escape, kEsc, QStringLiteral("\x1b"));
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    QVERIFY(rig.sink.sent.empty());
  }

  void focusLossReleasesHeldKeys() {
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.sink.Clear();
    rig.modifiers = Qt::ShiftModifier;
    rig.Press(Qt::Key_A, kA, QStringLiteral("A"), Qt::ShiftModifier);
    rig.modifiers = Qt::NoModifier;
    rig.Press(Qt::Key_D, kD, QStringLiteral("d"));
    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    // Both notes end, an octave up as they began, and the group is over.
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(Concat(On(72), On(76)), Concat(Off(72), Off(76)))));
    QVERIFY(Idle(rig.Inst().keys));
    // Their real key-ups, arriving later, change nothing.
    rig.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    rig.Client().setFocus();
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    rig.Release(Qt::Key_D, kD, QStringLiteral("d"));
    QCOMPARE(rig.sink.sent.size(), 4u);

    // A menu opened while a key is held takes the keyboard: the key ends.
    rig.sink.Clear();
    rig.Press(Qt::Key_A, kA, QStringLiteral("a"));
    QMenu* menu = rig.Menus()[0];
    menu->popup(rig.window->mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTRY_COMPARE(rig.sink.sent.size(), 2u);
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(60), Off(60))));
    menu->close();
  }

  void mousePlaysThePicturedKeys() {
    WindowRig rig;
    QVERIFY(rig.Show());
    // A client area whose keyboard starts at (100, 200).
    const int cy = rig.Client().cy();
    rig.ResizeClient(675, 2 * (200 - cy) + 156);
    QCOMPARE(rig.Client().Layout().x0, 100);
    QCOMPARE(rig.Client().Layout().y0, 200);
    rig.sink.Clear();
    // The key held while the button is down; none again once it is up.
    auto click = [&rig](QPoint p) -> std::uint32_t {
      QTest::mousePress(&rig.Client(), Qt::LeftButton, Qt::NoModifier, p);
      const std::uint32_t held = rig.Inst().keys.mouse_key;
      QTest::mouseRelease(&rig.Client(), Qt::LeftButton, Qt::NoModifier, p);
      return rig.Inst().keys.mouse_key == 255u ? held : 1000u;
    };
    QCOMPARE(click({150, 290}), 30u);   // A
    QCOMPARE(click({105, 245}), 16u);   // Q
    QCOMPARE(click({575, 200}), 255u);  // column 23 of row 0: no key
    QCOMPARE(click({160, 356}), 44u);   // the bottom edge is row 3: Z
    QCOMPARE(Dump(rig.SentBytes()),
             Dump(Concat(Concat(Concat(On(60), Off(60)), Concat(On(43), Off(43))),
                         Concat(On(61), Off(61)))));

    // Shift held at the click: an octave up, drawn in the raised picture.
    rig.sink.Clear();
    rig.modifiers = Qt::ShiftModifier;
    QTest::mousePress(&rig.Client(), Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 290));
    QVERIFY(rig.Client().KeyMarkPressed(30));
    rig.modifiers = Qt::NoModifier;
    QTest::mouseRelease(&rig.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 290));
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(72), Off(72))));

    // The mouse joins a group held on the keyboard.
    rig.sink.Clear();
    rig.modifiers = Qt::ControlModifier;
    rig.Press(Qt::Key_S, kS, QStringLiteral("\x13"), Qt::ControlModifier);
    rig.modifiers = Qt::NoModifier;
    QTest::mousePress(&rig.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 290));
    QTest::mouseRelease(&rig.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 290));
    rig.Release(Qt::Key_S, kS, QStringLiteral("s"));
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(Concat(On(50), On(48)), Concat(Off(48), Off(50)))));

    // Losing the mouse to another window releases the key.
    rig.sink.Clear();
    QTest::mousePress(&rig.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 290));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(rig.Inst().keys.mouse_key, 255u);
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(On(60), Off(60))));
    QTest::mouseRelease(&rig.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 290));
    QCOMPARE(rig.sink.sent.size(), 2u);

    // Closed: the click holds and frees the key, nothing sounds.
    rig.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    rig.window->OnCommand(257);
    rig.sink.Clear();
    QTest::mousePress(&rig.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 290));
    QCOMPARE(rig.Inst().keys.mouse_key, 30u);
    QTest::mouseRelease(&rig.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 290));
    QCOMPARE(rig.Inst().keys.mouse_key, 255u);
    QVERIFY(rig.sink.sent.empty());
  }

  void paintsPicturesKeysAndTexts() {
    WindowRig rig;
    QVERIFY(rig.Show(1000, 760));
    const tonvale::Pictures& p = rig.pictures;
    QVERIFY2(!p.instruments.isNull() && !p.key_marks.isNull(), "the pictures are linked in");
    tonvale::ClientArea& c = rig.Client();
    const tonvale::WindowLayout& l = c.Layout();
    const QImage strip = p.instruments.toImage();
    const QImage marks = p.key_marks.toImage();

    // The background is pixel (0, 0) of the instrument strip.
    QCOMPARE(p.background, strip.pixelColor(0, 0));
    QImage shot = c.grab().toImage();
    Keep(shot, QStringLiteral("client-idle.png"));
    QCOMPARE(shot.pixelColor(c.width() / 4, c.height() / 2 + 120), p.background);

    // The instrument picture at ((w - 171) / 2, 50): compare a few pixels
    // against the picture the rule chooses.
    auto picture_matches = [&](int index) {
      const QImage now = c.grab().toImage();
      for (QPoint q : {QPoint(85, 70), QPoint(40, 100), QPoint(130, 30), QPoint(85, 120)}) {
        if (now.pixelColor(l.picture_x + q.x(), tonvale::kPictureTop + q.y()) !=
            strip.pixelColor(index * 171 + q.x(), q.y())) {
          return false;
        }
      }
      return true;
    };
    QVERIFY(picture_matches(0));
    rig.window->OnCommand(1024 + 66);  // saxophone family
    QVERIFY(picture_matches(8));
    rig.window->OnCommand(1024 + 95);
    QVERIFY(picture_matches(10));
    rig.window->OnCommand(1024 + 127);
    QVERIFY(picture_matches(13));
    rig.window->OnCommand(768 + 9);  // channel 10: the drums, whatever the program
    QVERIFY(picture_matches(14));
    Keep(c.grab().toImage(), QStringLiteral("client-drums.png"));
    rig.window->OnCommand(768);

    // A key pressed under Shift shows the red cap, released the grey one.
    const QRect a = QRect(l.x0 + 19 * 2, l.y0 + 39 * 2, 38, 39);
    auto cap_is = [&](int source_x) {
      const QImage now = c.grab().toImage();
      for (QPoint q : {QPoint(2, 2), QPoint(35, 36), QPoint(3, 30)}) {
        if (now.pixelColor(a.topLeft() + q) != marks.pixelColor(source_x + q.x(), q.y())) {
          return false;
        }
      }
      return true;
    };
    QVERIFY(cap_is(0));
    rig.modifiers = Qt::ShiftModifier;
    rig.Press(Qt::Key_A, kA, QStringLiteral("A"), Qt::ShiftModifier);
    rig.modifiers = Qt::NoModifier;
    QVERIFY(cap_is(76));
    Keep(c.grab().toImage(), QStringLiteral("client-shift-a.png"));
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    QVERIFY(cap_is(0));
    rig.modifiers = Qt::ControlModifier;
    rig.Press(Qt::Key_A, kA, QStringLiteral("\x01"), Qt::ControlModifier);
    QVERIFY(cap_is(114));
    // Any full repaint draws every key released, even a held one.
    rig.window->Repaint();
    QVERIFY(cap_is(0));
    rig.modifiers = Qt::NoModifier;
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));

    // The status line changes with the output's state, the key label with
    // the key mode; the rest of the window stays as it was.
    const QRect status(0, l.status_y, c.cx() * 5, c.cy());
    const QImage open_status = c.grab(status).toImage();
    rig.window->OnCommand(257);
    QVERIFY(c.grab(status).toImage() != open_status);
    Keep(c.grab().toImage(), QStringLiteral("client-closed.png"));
    rig.window->OnCommand(256);
    QCOMPARE(c.grab(status).toImage(), open_status);
    const QRect label(l.key_label_x, tonvale::kKeyLabelTop, 200, c.cy());
    const QImage c_major = c.grab(label).toImage();
    rig.window->OnCommand(1315);
    QVERIFY(c.grab(label).toImage() != c_major);
    rig.window->OnCommand(1297);
    QCOMPARE(c.grab(label).toImage(), c_major);
  }
};

QTEST_MAIN(ClientAreaTest)
#include "client_area_test.moc"
