// The settings commands through every road a user takes (menu items,
// shortcuts, tool bar, buttons, scroll bars), the messages they send, the
// check marks, the failures and the closing of the window.
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "window_rig.h"

using tonvale::Notices;
using tonvale::test::AllNotesOff;
using tonvale::test::ByteList;
using tonvale::test::Dump;
using tonvale::test::RecordingSink;
using tonvale::test::WindowRig;

namespace {

// Every checked item, in id order.
QString Checks(const WindowRig& rig) {
  QStringList ids;
  for (const auto& [id, a] : rig.window->Commands().All()) {
    if (a->isChecked()) ids << QString::number(id);
  }
  return ids.join(QLatin1Char(' '));
}

void Drag(QScrollBar* bar, int position) {
  bar->setSliderDown(true);
  bar->setSliderPosition(position);
  bar->setSliderDown(false);
}

ByteList Program(std::uint8_t chan, std::uint8_t program) {
  return {{std::uint8_t(0xC0 | chan), program, 0}, {0xCF, program, 0}};
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void creationFailures() {
    WindowRig none([](RecordingSink& s) { s.names.clear(); });
    QVERIFY(!none.created);
    QCOMPARE(none.notices.beeps, std::vector<Notices::Icon>{Notices::Icon::kError});
    QCOMPARE(none.notices.Boxes(), QStringLiteral("E No MIDI output devices!|QV"));
    QCOMPARE(none.sink.open_calls, 0);

    // A device that fails to open: the window comes up closed, and opening
    // again fails the same way, then works once the device does.
    WindowRig rig([](RecordingSink& s) { s.fail_open = true; });
    QVERIFY(rig.created);
    QCOMPARE(rig.notices.beeps, std::vector<Notices::Icon>{Notices::Icon::kWarning});
    QCOMPARE(rig.notices.Boxes(), QStringLiteral("W Cannot open MIDI device|QV"));
    QCOMPARE(Checks(rig), QStringLiteral("257 511 768 1024 1297"));
    QCOMPARE(rig.window->windowTitle(), QString::fromUtf8("Tonvale - [未命名]"));
    rig.Trigger(256);
    QCOMPARE(int(rig.notices.shown.size()), 2);
    rig.sink.fail_open = false;
    rig.Trigger(256);
    QCOMPARE(Checks(rig), QStringLiteral("256 511 768 1024 1297"));
    QCOMPARE(rig.Sent(), Dump(Program(0, 0)));
    QCOMPARE(int(rig.notices.shown.size()), 2);
  }

  void settingsCommandsSendAndMoveTheChecks() {
    WindowRig rig([](RecordingSink& s) { s.names = {"Synth A", "Synth B"}; });
    QVERIFY(rig.created && rig.notices.shown.empty());
    // Creation opens the default output and sends the program on the channel only.
    QCOMPARE(rig.sink.opened_device, -1);
    QCOMPARE(rig.Sent(), Dump({{0xC0, 0, 0}}));
    ByteList reopen = AllNotesOff();
    for (const auto& m : Program(2, 40)) reopen.push_back(m);
    const struct {
      int id;
      ByteList sent;
      const char* checks;
      int device;  // the device open afterwards; -2 none
    } steps[] = {
        {770, Program(2, 0), "256 511 770 1024 1297", -1},  // channel 3 and the bass channel
        {1064, Program(2, 40), "256 511 770 1064 1297", -1},
        // A device change while open: the old one silenced and closed, the
        // new one opened with the program on both channels; the same again
        // closes and reopens it.
        {513, reopen, "256 513 770 1064 1297", 1},
        {513, reopen, "256 513 770 1064 1297", 1},
        {1319, {}, "256 513 770 1064 1319", 1},  // key mode and bass send nothing
        {1319, {}, "256 513 770 1064 1319", 1},
        {1333, {}, "256 513 770 1064 1319 1333", 1},
        {1333, {}, "256 513 770 1064 1319", 1},
        {256, {}, "256 513 770 1064 1319", 1},  // open while open only repaints
        // Closed: nothing is sent, the choices are kept, and the next open
        // sends the program to both channels.
        {257, AllNotesOff(), "257 513 770 1064 1319", -2},
        {775, {}, "257 513 775 1064 1319", -2},
        {1081, {}, "257 513 775 1081 1319", -2},
        {512, {}, "257 512 775 1081 1319", -2},
        {257, {}, "257 512 775 1081 1319", -2},
        {256, Program(7, 57), "256 512 775 1081 1319", 0},
    };
    for (const auto& s : steps) {
      rig.sink.Clear();
      rig.Trigger(s.id);
      QCOMPARE(rig.Sent(), Dump(s.sent));
      QCOMPARE(Checks(rig), QString::fromLatin1(s.checks));
      QCOMPARE(rig.sink.opened_device, s.device);
    }
  }

  void shortcutsAndToolBarGiveTheSameCommands() {
    WindowRig rig;
    QVERIFY(rig.created && rig.Show());
    QCOMPARE(int(rig.window->Shortcuts().size()), 26);
    // Alt+letter, whatever has the focus: first and last mode, and the
    // letters shifted past O and S.
    const struct {
      int key;
      quint32 native;
      int mode;
    } modes[] = {{Qt::Key_A, 38, 1302},
                 {Qt::Key_H, 43, 1304},
                 {Qt::Key_Z, 52, 1332},
                 {Qt::Key_P, 33, 1317},
                 {Qt::Key_C, 54, 1297}};
    rig.sink.Clear();
    for (const auto& m : modes) {
      rig.Stroke(m.key, m.native, {}, Qt::AltModifier);
      QVERIFY(Checks(rig).endsWith(QStringLiteral(" %1").arg(m.mode)));
    }
    QVERIFY(rig.sink.sent.empty());  // Alt+A played nothing
    rig.Press(Qt::Key_S, 47, {}, Qt::AltModifier);
    QCOMPARE(rig.Sent(), Dump(AllNotesOff()));
    rig.sink.Clear();
    rig.Press(Qt::Key_O, 40, {}, Qt::AltModifier);
    QCOMPARE(rig.Sent(), Dump(Program(0, 0)));

    // The tool bar: 14 buttons of pictures only, each choosing its program
    // exactly as the menu does, and none taking the focus.
    const std::vector<QAction*>& tools = rig.window->ToolBarActions();
    QCOMPARE(int(tools.size()), 14);
    QToolBar* bar = rig.Client().ToolBar();
    QCOMPARE(bar->y(), 0);
    const std::uint8_t programs[14] = {0, 15, 19, 25, 32, 40, 55, 57, 66, 73, 103, 107, 114, 123};
    for (int i = 0; i < 14; ++i) {
      QVERIFY(tools[i]->text().isEmpty());
      auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(tools[i]));
      QCOMPARE(button->focusPolicy(), Qt::NoFocus);
      rig.sink.Clear();
      QTest::mouseClick(button, Qt::LeftButton);
      QCOMPARE(Checks(rig), QStringLiteral("256 511 768 %1 1297").arg(1024 + programs[i]));
      QCOMPARE(rig.Sent(), Dump(Program(0, programs[i])));
    }
    QCOMPARE(QApplication::focusWidget(), &rig.Client());
  }

  void ownedCommandsAndTheAutoplayTimer() {
    WindowRig rig;
    QVERIFY(rig.created && rig.Show());
    QList<int> handed;
    rig.window->SetOwnedCommandHandler([&handed](int id) { handed << id; });
    // Greyed items give nothing: greying is their only guard.
    for (int id : {1280, 1281, 1282, 1288, 1289, 1296, 1283}) rig.Trigger(id);
    QCOMPARE(handed, QList<int>({1280, 1281, 1296, 1283}));
    handed.clear();
    for (int id : {1282, 1288, 1289}) {
      rig.window->SetMenuItemEnabled(id, true);
      rig.Trigger(id);
    }
    QCOMPARE(handed, QList<int>({1282, 1288, 1289}));

    // Buttons hand their command over and leave the focus where it was;
    // Space clicks none, Tab moves nothing.
    handed.clear();
    for (int id = 1283; id <= 1287; ++id) {
      rig.window->SetButtonEnabled(id, true);
      QTest::mouseClick(rig.window->TransportButton(id), Qt::LeftButton);
    }
    QCOMPARE(handed, QList<int>({1283, 1284, 1285, 1286, 1287}));
    handed.clear();
    rig.Stroke(Qt::Key_Space, 65, QStringLiteral(" "));
    rig.Stroke(Qt::Key_Tab, 23, QStringLiteral("\t"));
    QVERIFY(handed.isEmpty());
    QCOMPARE(QApplication::focusWidget(), &rig.Client());
    // A disabled button does nothing, whatever its item says.
    rig.window->SetButtonEnabled(1285, false);
    rig.window->SetMenuItemEnabled(1285, true);
    QTest::mouseClick(rig.window->TransportButton(1285), Qt::LeftButton);
    QVERIFY(handed.isEmpty());

    // The autoplay timer gives the play command once.
    rig.window->ArmAutoplay(20);
    QTRY_COMPARE(handed, QList<int>{1285});
    QTest::qWait(60);
    QCOMPARE(handed, QList<int>{1285});
    // Other identifiers only repaint; nothing is handed over or sent.
    rig.sink.Clear();
    for (int id : {300, 1290, 1306}) rig.window->OnCommand(id);
    QCOMPARE(handed, QList<int>({1285, 1290}));
    QVERIFY(rig.sink.sent.empty());
  }

  void scrollBarsSetVelocityAndBend() {
    WindowRig rig;
    QVERIFY(rig.created && rig.Show());
    // Velocity: the top of the bar is 127; clamped at both ends, top and
    // bottom mean nothing, a drag to position 3 gives 125.
    QScrollBar* bar = rig.Client().VelocityBar();
    QCOMPARE(bar->value(), 1);
    QCOMPARE(bar->focusPolicy(), Qt::NoFocus);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(rig.Inst().settings.velocity, 126);
    for (int i = 0; i < 20; ++i) bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(rig.Inst().settings.velocity, 1);
    QCOMPARE(bar->value(), 127);
    Drag(bar, 3);
    QCOMPARE(rig.Inst().settings.velocity, 125);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(rig.Inst().settings.velocity, 127);
    QCOMPARE(bar->value(), 1);
    // The wheel does nothing; the bar itself sends nothing; the next note
    // uses the velocity.
    rig.sink.Clear();
    QWheelEvent wheel(QPointF(2, 20), bar->mapToGlobal(QPointF(2, 20)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
    QCOMPARE(bar->value(), 1);
    Drag(bar, 28);
    rig.Press(Qt::Key_A, 38, QStringLiteral("a"));
    QCOMPARE(rig.Sent(), Dump({{0x90, 0x3C, 100}}));
    rig.Release(Qt::Key_A, 38, QStringLiteral("a"));

    // Pitch bend: only a drag bends, on the played channel, never the bass
    // channel; letting go sends 8191 and the thumb springs back.
    bar = rig.Client().PitchBendBar();
    QCOMPARE(bar->maximum(), 16383);
    rig.window->OnCommand(768 + 4);
    rig.sink.Clear();
    for (auto action : {QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderPageStepSub,
                        QAbstractSlider::SliderToMinimum, QAbstractSlider::SliderToMaximum}) {
      bar->triggerAction(action);
      QCOMPARE(bar->value(), 8192);
    }
    Drag(bar, 1);
    Drag(bar, 8000);
    QCOMPARE(
        rig.Sent(),
        Dump({{0xE4, 0x7E, 0x7F}, {0xE4, 0x7F, 0x3F}, {0xE4, 0x3F, 0x41}, {0xE4, 0x7F, 0x3F}}));
    QCOMPARE(bar->value(), 8192);
    // Closed: the thumb moves, nothing is sent.
    rig.window->OnCommand(257);
    rig.sink.Clear();
    bar->setSliderDown(true);
    bar->setSliderPosition(100);
    QCOMPARE(bar->value(), 100);
    bar->setSliderDown(false);
    QCOMPARE(bar->value(), 8192);
    QVERIFY(rig.sink.sent.empty());
  }

  void layoutFollowsTheClientSize() {
    WindowRig rig;
    QVERIFY(rig.created && rig.Show());
    for (QSize size : {QSize(1000, 700), QSize(401, 333)}) {
      rig.ResizeClient(size.width(), size.height());
      tonvale::ClientArea& c = rig.Client();
      QCOMPARE(c.size(), size);
      const int w = size.width(), h = size.height(), cx = c.cx(), cy = c.cy();
      QCOMPARE(c.Layout().x0, (w - 475) / 2);  // narrower than the keyboard: not clamped
      QCOMPARE(c.Layout().y0, cy + (h - 156) / 2);
      QCOMPARE(c.VelocityBar()->geometry(), QRect(17 * w / 20, 3 * h / 10, w / 40, 4 * h / 10));
      QCOMPARE(c.PitchBendBar()->geometry(), QRect(18 * w / 20, 3 * h / 10, w / 40, 4 * h / 10));
      const int offsets[5] = {-19, -11, -3, 5, 13};
      for (int i = 0; i < 5; ++i) {
        QCOMPARE(rig.window->TransportButton(1283 + i)->geometry(),
                 QRect(w / 2 + offsets[i] * cx, 8 * h / 10, 6 * cx, 7 * cy / 4));
      }
    }
  }

  void closingClosesTheDeviceUnlessTheQuestionSaysNo() {
    WindowRig rig;
    QVERIFY(rig.created && rig.Show());
    bool allow = false;
    int destroyed = 0;
    rig.window->SetCloseQuestion([&allow] { return allow; });
    rig.window->SetDestroyHandler([&destroyed] { ++destroyed; });
    rig.sink.Clear();
    QVERIFY(!rig.window->close());
    QVERIFY(rig.window->isVisible());
    QVERIFY(rig.sink.sent.empty());
    QCOMPARE(destroyed, 0);
    allow = true;
    QVERIFY(rig.window->close());
    QCOMPARE(rig.Sent(), Dump(AllNotesOff()));
    QCOMPARE(rig.sink.opened_device, -2);
    QCOMPARE(destroyed, 1);
    rig.window.reset();  // nothing more on destruction
    QCOMPARE(destroyed, 1);
    QCOMPARE(rig.sink.close_calls, 1);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
