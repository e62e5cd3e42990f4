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
using tonvale::test::Concat;
using tonvale::test::Dump;
using tonvale::test::RecordingSink;
using tonvale::test::WindowRig;

namespace {

// The ids from `first` to `last` whose items carry a check mark.
QList<int> CheckedAmong(const WindowRig& rig, int first, int last) {
  QList<int> ids;
  for (int id = first; id <= last; ++id) {
    if (const QAction* a = rig.window->Commands().Find(id); a != nullptr && a->isChecked())
      ids << id;
  }
  return ids;
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
    QCOMPARE(int(none.notices.shown.size()), 1);
    QCOMPARE(none.notices.shown[0].text, QStringLiteral("No MIDI output devices!"));
    QCOMPARE(none.notices.shown[0].caption, QStringLiteral("QV"));
    QCOMPARE(none.notices.shown[0].icon, Notices::Icon::kError);
    QCOMPARE(none.sink.open_calls, 0);

    // A device that fails to open: the window comes up closed, and opening
    // again fails the same way, then works once the device does.
    WindowRig rig([](RecordingSink& s) { s.fail_open = true; });
    QVERIFY(rig.created);
    QCOMPARE(rig.notices.beeps, std::vector<Notices::Icon>{Notices::Icon::kWarning});
    QCOMPARE(int(rig.notices.shown.size()), 1);
    QCOMPARE(rig.notices.shown[0].text, QStringLiteral("Cannot open MIDI device"));
    QCOMPARE(rig.notices.shown[0].caption, QStringLiteral("QV"));
    QCOMPARE(rig.notices.shown[0].icon, Notices::Icon::kWarning);
    QCOMPARE(rig.Inst().settings.device_open, 0);
    QCOMPARE(CheckedAmong(rig, 256, 257), QList<int>{257});
    QCOMPARE(rig.window->windowTitle(), QString::fromUtf8("Tonvale - [未命名]"));
    rig.Trigger(256);
    QCOMPARE(int(rig.notices.shown.size()), 2);
    rig.sink.fail_open = false;
    rig.Trigger(256);
    QCOMPARE(CheckedAmong(rig, 256, 257), QList<int>{256});
    QCOMPARE(rig.Sent(), Dump(Program(0, 0)));
    QCOMPARE(int(rig.notices.shown.size()), 2);
  }

  void settingsCommandsSendAndMoveTheChecks() {
    WindowRig rig([](RecordingSink& s) { s.names = {"Synth A", "Synth B"}; });
    QVERIFY(rig.created && rig.notices.shown.empty());
    // Creation opens the default output and sends the program on the channel only.
    QCOMPARE(rig.sink.opened_device, -1);
    QCOMPARE(rig.Sent(), Dump({{0xC0, 0, 0}}));

    const struct {
      int id;
      ByteList sent;
      int first, last;  // the group whose check must move to `id`
    } steps[] = {
        {770, Program(2, 0), 768, 782},  // channel 3: new channel and bass channel
        {1024 + 40, Program(2, 40), 1024, 1151},
        // A device change while open: old one silenced and closed, new one
        // opened with the program on both channels; the same device again
        // closes and reopens it.
        {513, Concat(AllNotesOff(), Program(2, 40)), 511, 767},
        {513, Concat(AllNotesOff(), Program(2, 40)), 511, 767},
        {1319, {}, 1297, 1332},  // key mode: nothing sent
        {1319, {}, 1297, 1332},  // chosen again: still checked
        {256, {}, 256, 257},     // open while open only repaints
    };
    for (const auto& s : steps) {
      rig.sink.Clear();
      rig.Trigger(s.id);
      QCOMPARE(rig.Sent(), Dump(s.sent));
      QCOMPARE(CheckedAmong(rig, s.first, s.last), QList<int>{s.id});
    }
    QCOMPARE(rig.sink.opened_device, 1);
    QCOMPARE(rig.Inst().settings.key_mode, 1319);
    for (int bass : {1, 0}) {
      rig.Trigger(1333);
      QCOMPARE(rig.Inst().settings.auto_bass, bass);
      QCOMPARE(rig.window->Commands().Find(1333)->isChecked(), bass == 1);
    }

    // Closed: nothing is sent, the choices are kept, and the next open sends
    // the program to both channels.
    rig.Trigger(257);
    QCOMPARE(rig.Sent(), Dump(AllNotesOff()));
    QCOMPARE(rig.sink.opened_device, -2);
    rig.sink.Clear();
    for (int id : {775, 1024 + 57, 512, 257}) rig.Trigger(id);
    QVERIFY(rig.sink.sent.empty());
    QCOMPARE(rig.sink.opened_device, -2);
    QCOMPARE(CheckedAmong(rig, 511, 767), QList<int>{512});
    QCOMPARE(CheckedAmong(rig, 768, 782), QList<int>{775});
    QCOMPARE(CheckedAmong(rig, 1024, 1151), QList<int>{1081});
    rig.Trigger(256);
    QCOMPARE(rig.sink.opened_device, 0);
    QCOMPARE(rig.Sent(), Dump(Program(7, 57)));
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
      QCOMPARE(CheckedAmong(rig, 1297, 1332), QList<int>{m.mode});
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
      QCOMPARE(CheckedAmong(rig, 1024, 1151), QList<int>{1024 + programs[i]});
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
