// Playing the window: real key events with X11 scan codes, the mouse on the
// pictured keys, focus and capture loss, Esc, and what gets painted.
#include <QImage>
#include <QTest>

#include "perform/keyboard_layout.h"
#include "window_rig.h"

using tonvale::test::AllNotesOff;
using tonvale::test::ByteList;
using tonvale::test::Dump;
using tonvale::test::WindowRig;

namespace {

// Note-on and note-off messages on channel 0: positive notes go on,
// negative ones off.
QString Notes(std::initializer_list<int> notes) {
  ByteList list;
  for (int n : notes) {
    list.push_back(n > 0 ? tonvale::test::Bytes{0x90, std::uint8_t(n), 0x7F}
                         : tonvale::test::Bytes{0x80, std::uint8_t(-n), 0});
  }
  return Dump(list);
}

// X11 native scan codes (evdev + 8).
constexpr quint32 kA = 38, kS = 39, kD = 40, kBracket = 34, kEsc = 9, kKpSlash = 106, kUp = 111;

bool Idle(const tonvale::KeyboardState& k) {
  return k.held_plain == 0 && k.held_raised == 0 && k.held_lowered == 0 && k.shift_state == 0;
}

// Whether `now` shows `source` at the probes, `at` and `from` their origins.
bool Shows(const QImage& now, QPoint at, const QImage& source, QPoint from,
           std::initializer_list<QPoint> probes) {
  for (QPoint q : probes) {
    if (now.pixelColor(at + q) != source.pixelColor(from + q)) return false;
  }
  return true;
}

// Gives the focus to another window of the program.
bool ActivateOther(QWidget& other) {
  other.show();
  other.activateWindow();
  return QTest::qWaitForWindowActive(&other);
}

}  // namespace

class ClientAreaTest : public QObject {
  Q_OBJECT

 private slots:
  void keysPlayByScanCodeAltAndEsc() {
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.sink.Clear();
    rig.Press(Qt::Key_A, kA, QStringLiteral("a"));
    QCOMPARE(rig.Sent(), Notes({60}));
    QVERIFY(rig.Client().KeyMarkPressed(30));
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    QVERIFY(!rig.Client().KeyMarkPressed(30));
    // The scan code counts, not the layout: Q (AZERTY) on the A position
    // plays 60; keypad slash plays like slash; arrows play nothing.
    rig.Stroke(Qt::Key_Q, kA, QStringLiteral("q"));
    rig.Stroke(Qt::Key_Slash, kKpSlash, QStringLiteral("/"), Qt::KeypadModifier);
    rig.Stroke(Qt::Key_Up, kUp);
    QCOMPARE(rig.Sent(), Notes({60, -60, 60, -60, 76, -76}));
    QCOMPARE(QApplication::focusWidget(), &rig.Client());
    QVERIFY(Idle(rig.Inst().keys));

    // Shift latched for the group: S pressed after Shift was let go still
    // sounds an octave up. Ctrl alone: an octave down.
    rig.sink.Clear();
    rig.Press(Qt::Key_A, kA, QStringLiteral("A"), Qt::ShiftModifier);
    rig.Press(Qt::Key_S, kS, QStringLiteral("s"));
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    rig.Release(Qt::Key_S, kS, QStringLiteral("s"));
    QVERIFY(Idle(rig.Inst().keys));
    rig.Stroke(Qt::Key_A, kA, QStringLiteral("\x01"), Qt::ControlModifier);
    QCOMPARE(rig.Sent(), Notes({72, 74, -72, -74, 48, -48}));

    // X11's auto-repeat, a marked release and press, plays one note; so
    // do the unmarked presses of detectable auto-repeat.
    rig.sink.Clear();
    rig.Press(Qt::Key_A, kA, QStringLiteral("a"));
    for (int i = 0; i < 5; ++i) {
      rig.Key(QEvent::KeyRelease, Qt::Key_A, kA, QStringLiteral("a"), Qt::NoModifier, true);
      rig.Key(QEvent::KeyPress, Qt::Key_A, kA, QStringLiteral("a"), Qt::NoModifier, true);
    }
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    for (int i = 0; i < 4; ++i) rig.Press(Qt::Key_S, kS, QStringLiteral("s"));
    rig.Release(Qt::Key_S, kS, QStringLiteral("s"));
    rig.Stroke(Qt::Key_S, kS, QStringLiteral("s"));  // a new press after the release plays
    QCOMPARE(rig.Sent(), Notes({60, -60, 62, -62, 62, -62}));
    QVERIFY(Idle(rig.Inst().keys));

    // Alt+A is the A-major shortcut; Alt+semicolon is nothing at all.
    rig.sink.Clear();
    rig.Stroke(Qt::Key_A, kA, QString(), Qt::AltModifier);
    rig.Press(Qt::Key_Semicolon, 47, QString(), Qt::AltModifier);
    rig.Release(Qt::Key_Semicolon, 47, QString());
    QCOMPARE(rig.Inst().settings.key_mode, 1302);
    QVERIFY(rig.sink.sent.empty());
    QVERIFY(Idle(rig.Inst().keys));

    // Held with Shift, then a stray Alt chord comes and goes; the release,
    // with Alt held, still ends the note in the key mode now in force (83
    // began in A major, 74 ends in C major).
    rig.Press(Qt::Key_S, kS, QStringLiteral("S"), Qt::ShiftModifier);
    rig.Press(Qt::Key_C, 54, QString(), Qt::AltModifier);
    rig.Release(Qt::Key_C, 54, QString());
    rig.Release(Qt::Key_S, kS, QString(), Qt::AltModifier);
    QCOMPARE(rig.Sent(), Notes({83, -74}));
    QVERIFY(Idle(rig.Inst().keys));

    // Esc silences everything and ends the held keys.
    rig.sink.Clear();
    rig.Press(Qt::Key_A, kA, QStringLiteral("a"));
    rig.Press(Qt::Key_D, kD, QStringLiteral("d"));
    rig.Press(Qt::Key_Escape, kEsc, QStringLiteral("\x1b"));
    QCOMPARE(rig.Sent(), Notes({60, 64}) + QLatin1Char(',') + Dump(AllNotesOff()));
    QVERIFY(Idle(rig.Inst().keys));
    QVERIFY(!rig.Client().KeyMarkPressed(30) && !rig.Client().KeyMarkPressed(32));
    rig.Release(Qt::Key_Escape, kEsc, QStringLiteral("\x1b"));

    // Ctrl+[ gives character 27 too: its note (an octave down), then silence.
    rig.sink.Clear();
    rig.Press(Qt::Key_BracketLeft, kBracket, QStringLiteral("\x1b"), Qt::ControlModifier);
    QCOMPARE(rig.Sent(), Notes({67}) + QLatin1Char(',') + Dump(AllNotesOff()));

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
    rig.Press(Qt::Key_A, kA, QStringLiteral("A"), Qt::ShiftModifier);
    rig.Press(Qt::Key_D, kD, QStringLiteral("d"));
    QWidget other;
    QVERIFY(ActivateOther(other));
    // Both notes end, an octave up as they began; the later key-ups change nothing.
    QCOMPARE(rig.Sent(), Notes({72, 76, -72, -76}));
    QVERIFY(Idle(rig.Inst().keys));
    QVERIFY(rig.Activate());
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
    QCOMPARE(rig.Sent(), Notes({60, -60}));
    menu->close();
  }

  void mousePlaysThePicturedKeys() {
    WindowRig rig;
    QVERIFY(rig.Show());
    // A client area whose keyboard starts at (100, 200).
    rig.ResizeClient(675, 2 * (200 - rig.Client().cy()) + 156);
    QCOMPARE(rig.Client().Layout().x0, 100);
    QCOMPARE(rig.Client().Layout().y0, 200);
    rig.sink.Clear();
    const auto press = [&rig](QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
      rig.modifiers = mods;
      QTest::mousePress(&rig.Client(), Qt::LeftButton, mods, p);
      rig.modifiers = Qt::NoModifier;
    };
    const auto release = [&rig](QPoint p) {
      QTest::mouseRelease(&rig.Client(), Qt::LeftButton, Qt::NoModifier, p);
    };
    // The key held while the button is down; none again once it is up.
    const auto click = [&](QPoint p) -> std::uint32_t {
      press(p);
      const std::uint32_t held = rig.Inst().keys.mouse_key;
      release(p);
      return rig.Inst().keys.mouse_key == 255u ? held : 1000u;
    };
    const QPoint a(150, 290);
    QCOMPARE(click(a), 30u);            // A
    QCOMPARE(click({105, 245}), 16u);   // Q
    QCOMPARE(click({575, 200}), 255u);  // column 23 of row 0: no key
    QCOMPARE(click({160, 356}), 44u);   // the bottom edge is row 3: Z
    QCOMPARE(rig.Sent(), Notes({60, -60, 43, -43, 61, -61}));

    // Shift held at the click: an octave up, drawn pressed.
    rig.sink.Clear();
    press(a, Qt::ShiftModifier);
    QVERIFY(rig.Client().KeyMarkPressed(30));
    release(a);
    // The mouse joins a group held on the keyboard.
    rig.Press(Qt::Key_S, kS, QStringLiteral("\x13"), Qt::ControlModifier);
    click(a);
    rig.Release(Qt::Key_S, kS, QStringLiteral("s"));
    QCOMPARE(rig.Sent(), Notes({72, -72, 50, 48, -48, -50}));

    // Losing the mouse to another window releases the key.
    rig.sink.Clear();
    press(a);
    QWidget other;
    QVERIFY(ActivateOther(other));
    QCOMPARE(rig.Inst().keys.mouse_key, 255u);
    release(a);
    QCOMPARE(rig.Sent(), Notes({60, -60}));

    // Closed: the click holds and frees the key, nothing sounds.
    QVERIFY(rig.Activate());
    rig.window->OnCommand(257);
    rig.sink.Clear();
    QCOMPARE(click(a), 30u);
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
    const auto grab = [&c] { return c.grab().toImage(); };

    // The background is pixel (0, 0) of the instrument strip.
    QCOMPARE(p.background, strip.pixelColor(0, 0));
    QCOMPARE(grab().pixelColor(c.width() / 4, c.height() / 2 + 120), p.background);

    // A few pixels of the instrument picture against the one the rule
    // chooses, and of key A's cap against the marks strip.
    const auto picture_is = [&](int index) {
      return Shows(grab(), QPoint(l.picture_x, tonvale::kPictureTop), strip, QPoint(index * 171, 0),
                   {{85, 70}, {40, 100}, {130, 30}, {85, 120}});
    };
    const auto cap_is = [&](int source_x) {
      return Shows(grab(), QPoint(l.x0 + 19 * 2, l.y0 + 39 * 2), marks, QPoint(source_x, 0),
                   {{2, 2}, {35, 36}, {3, 30}});
    };
    QVERIFY(picture_is(0));
    const struct {
      int command, picture;
    } pictures[] = {{1024 + 66, 8}, {1024 + 95, 10}, {1024 + 127, 13}, {768 + 9, 14}};  // 14: drums
    for (const auto& s : pictures) {
      rig.window->OnCommand(s.command);
      QVERIFY2(picture_is(s.picture), qPrintable(QString::number(s.command)));
    }
    rig.window->OnCommand(768);

    // Pressed under Shift: the red cap; released: the grey one; under Ctrl
    // the third. Any full repaint draws every key released, even a held one.
    QVERIFY(cap_is(0));
    rig.Press(Qt::Key_A, kA, QStringLiteral("A"), Qt::ShiftModifier);
    QVERIFY(cap_is(76));
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));
    QVERIFY(cap_is(0));
    rig.Press(Qt::Key_A, kA, QStringLiteral("\x01"), Qt::ControlModifier);
    QVERIFY(cap_is(114));
    rig.window->Repaint();
    QVERIFY(cap_is(0));
    rig.Release(Qt::Key_A, kA, QStringLiteral("a"));

    // The status line follows the output's state, the key label the key
    // mode; both come back as they were.
    const QRect status(0, l.status_y, c.cx() * 5, c.cy());
    const QRect label(l.key_label_x, tonvale::kKeyLabelTop, 200, c.cy());
    const struct {
      QRect area;
      int change, back;
    } texts[] = {{status, 257, 256}, {label, 1315, 1297}};
    for (const auto& t : texts) {
      const QImage before = c.grab(t.area).toImage();
      rig.window->OnCommand(t.change);
      QVERIFY(c.grab(t.area).toImage() != before);
      rig.window->OnCommand(t.back);
      QCOMPARE(c.grab(t.area).toImage(), before);
    }
  }
};

QTEST_MAIN(ClientAreaTest)
#include "client_area_test.moc"
