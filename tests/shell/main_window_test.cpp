// The settings commands through every road a user takes (menu items,
// shortcuts, tool bar, buttons, scroll bars), the messages they send, the
// check marks, the failures and the closing of the window.
#include <QAction>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "perform/midi_messages.h"
#include "window_rig.h"

using tonvale::test::AllNotesOff;
using tonvale::test::ByteList;
using tonvale::test::Concat;
using tonvale::test::Dump;
using tonvale::test::FakeNotices;
using tonvale::test::RecordingSink;
using tonvale::test::WindowRig;

namespace {

// The ids among `ids` whose items carry a check mark.
QList<int> CheckedAmong(const WindowRig& rig, int first, int last) {
  QList<int> ids;
  for (int id = first; id <= last; ++id) {
    if (const QAction* a = rig.window->Commands().Find(id); a != nullptr && a->isChecked()) {
      ids << id;
    }
  }
  return ids;
}

void Trigger(WindowRig& rig, int id) {
  QAction* a = rig.window->Commands().Find(id);
  QVERIFY2(a != nullptr, qPrintable(QString::number(id)));
  a->trigger();
}

QRect ThumbRect(QScrollBar* bar) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.subControls = QStyle::SC_None;
  option.activeSubControls = QStyle::SC_None;
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->sliderPosition();
  option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  option.upsideDown = bar->invertedAppearance();
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                      bar);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void noDeviceAtAllEndsTheProgram() {
    WindowRig rig([](RecordingSink& s) { s.names.clear(); });
    QVERIFY(!rig.created);
    QCOMPARE(int(rig.notices.beeps.size()), 1);
    QCOMPARE(rig.notices.beeps[0], tonvale::Notices::Icon::kError);
    QCOMPARE(int(rig.notices.shown.size()), 1);
    QCOMPARE(rig.notices.shown[0].text, QStringLiteral("No MIDI output devices!"));
    QCOMPARE(rig.notices.shown[0].caption, QStringLiteral("QV"));
    QCOMPARE(rig.notices.shown[0].icon, tonvale::Notices::Icon::kError);
    QCOMPARE(rig.sink.open_calls, 0);
  }

  void openFailureLeavesTheDeviceClosedAndRetries() {
    WindowRig rig([](RecordingSink& s) { s.fail_open = true; });
    QVERIFY(rig.created);
    QCOMPARE(int(rig.notices.beeps.size()), 1);
    QCOMPARE(rig.notices.beeps[0], tonvale::Notices::Icon::kWarning);
    QCOMPARE(int(rig.notices.shown.size()), 1);
    QCOMPARE(rig.notices.shown[0].text, QStringLiteral("Cannot open MIDI device"));
    QCOMPARE(rig.notices.shown[0].caption, QStringLiteral("QV"));
    QCOMPARE(rig.notices.shown[0].icon, tonvale::Notices::Icon::kWarning);
    QCOMPARE(rig.Inst().settings.device_open, 0);
    QCOMPARE(CheckedAmong(rig, 256, 257), QList<int>{257});
    QVERIFY(rig.window->windowTitle() == QString::fromUtf8("Tonvale - [未命名]"));

    // Opening again fails the same way, then works once the device does.
    Trigger(rig, 256);
    QCOMPARE(int(rig.notices.shown.size()), 2);
    rig.sink.fail_open = false;
    Trigger(rig, 256);
    QCOMPARE(rig.Inst().settings.device_open, 1);
    QCOMPARE(CheckedAmong(rig, 256, 257), QList<int>{256});
    QCOMPARE(Dump(rig.SentBytes()), Dump({{0xC0, 0, 0}, {0xCF, 0, 0}}));
    QCOMPARE(int(rig.notices.shown.size()), 2);
  }

  void settingsCommandsSendAndMoveTheChecks() {
    WindowRig rig([](RecordingSink& s) { s.names = {"Synth A", "Synth B"}; });
    QVERIFY(rig.created);
    QVERIFY(rig.notices.shown.empty());
    // Creation opens the default output and sends the program on the channel only.
    QCOMPARE(rig.sink.opened_device, -1);
    QCOMPARE(Dump(rig.SentBytes()), Dump({{0xC0, 0, 0}}));
    QCOMPARE(CheckedAmong(rig, 256, 257), QList<int>{256});

    // Channel 3: the program goes to the new channel and the bass channel.
    rig.sink.Clear();
    Trigger(rig, 770);
    QCOMPARE(rig.Inst().settings.channel, 2);
    QCOMPARE(Dump(rig.SentBytes()), Dump({{0xC2, 0, 0}, {0xCF, 0, 0}}));
    QCOMPARE(CheckedAmong(rig, 768, 782), QList<int>{770});

    // A program from the menu.
    rig.sink.Clear();
    Trigger(rig, 1024 + 40);
    QCOMPARE(Dump(rig.SentBytes()), Dump({{0xC2, 40, 0}, {0xCF, 40, 0}}));
    QCOMPARE(CheckedAmong(rig, 1024, 1151), QList<int>{1064});

    // A device change while open: the old device silenced and closed, the
    // new one opened with the program on both channels.
    rig.sink.Clear();
    Trigger(rig, 513);
    QCOMPARE(rig.sink.opened_device, 1);
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(AllNotesOff(), {{0xC2, 40, 0}, {0xCF, 40, 0}})));
    QCOMPARE(CheckedAmong(rig, 511, 767), QList<int>{513});
    // Choosing the same device again closes and reopens it.
    rig.sink.Clear();
    Trigger(rig, 513);
    QCOMPARE(Dump(rig.SentBytes()), Dump(Concat(AllNotesOff(), {{0xC2, 40, 0}, {0xCF, 40, 0}})));

    // Key mode and automatic bass send nothing.
    rig.sink.Clear();
    Trigger(rig, 1319);
    Trigger(rig, 1333);
    QVERIFY(rig.sink.sent.empty());
    QCOMPARE(rig.Inst().settings.key_mode, 1319);
    QCOMPARE(CheckedAmong(rig, 1297, 1332), QList<int>{1319});
    QCOMPARE(rig.Inst().settings.auto_bass, 1);
    QVERIFY(rig.window->Commands().Find(1333)->isChecked());
    // Choosing the checked item again keeps it checked.
    Trigger(rig, 1319);
    QCOMPARE(CheckedAmong(rig, 1297, 1332), QList<int>{1319});
    Trigger(rig, 1333);
    QCOMPARE(rig.Inst().settings.auto_bass, 0);
    QVERIFY(!rig.window->Commands().Find(1333)->isChecked());

    // Opening while open only repaints.
    rig.sink.Clear();
    Trigger(rig, 256);
    QVERIFY(rig.sink.sent.empty());

    // Closed: nothing is sent, the choices are kept, and the next open sends
    // the program to both channels.
    Trigger(rig, 257);
    QCOMPARE(Dump(rig.SentBytes()), Dump(AllNotesOff()));
    QCOMPARE(rig.sink.opened_device, -2);
    QCOMPARE(CheckedAmong(rig, 256, 257), QList<int>{257});
    rig.sink.Clear();
    Trigger(rig, 775);
    Trigger(rig, 1024 + 57);
    Trigger(rig, 512);
    Trigger(rig, 257);
    QVERIFY(rig.sink.sent.empty());
    QCOMPARE(rig.sink.opened_device, -2);
    QCOMPARE(CheckedAmong(rig, 511, 767), QList<int>{512});
    QCOMPARE(CheckedAmong(rig, 768, 782), QList<int>{775});
    QCOMPARE(CheckedAmong(rig, 1024, 1151), QList<int>{1081});
    Trigger(rig, 256);
    QCOMPARE(rig.sink.opened_device, 0);
    QCOMPARE(Dump(rig.SentBytes()), Dump({{0xC7, 57, 0}, {0xCF, 57, 0}}));
  }

  void shortcutsAndToolBarGiveTheSameCommands() {
    WindowRig rig;
    QVERIFY(rig.created);
    QVERIFY(rig.Show());
    QCOMPARE(int(rig.window->Shortcuts().size()), 26);
    // Alt+letter: every key mode plus open and close, whatever has the focus.
    const struct {
      int key;
      quint32 native;
      int mode;
    } modes[] = {{Qt::Key_A, 38, 1302}, {Qt::Key_C, 54, 1297}, {Qt::Key_H, 43, 1304},
                 {Qt::Key_M, 58, 1315}, {Qt::Key_Z, 52, 1332}, {Qt::Key_P, 33, 1317}};
    for (const auto& m : modes) {
      rig.Press(m.key, m.native, {}, Qt::AltModifier);
      rig.Release(m.key, m.native, {}, Qt::AltModifier);
      QCOMPARE(rig.Inst().settings.key_mode, m.mode);
      QCOMPARE(CheckedAmong(rig, 1297, 1332), QList<int>{m.mode});
    }
    // Alt+A played nothing.
    rig.sink.Clear();
    rig.Press(Qt::Key_S, 47, {}, Qt::AltModifier);  // Alt+S closes
    QCOMPARE(rig.Inst().settings.device_open, 0);
    QCOMPARE(Dump(rig.SentBytes()), Dump(AllNotesOff()));
    rig.sink.Clear();
    rig.Press(Qt::Key_O, 40, {}, Qt::AltModifier);  // Alt+O opens
    QCOMPARE(rig.Inst().settings.device_open, 1);
    QCOMPARE(Dump(rig.SentBytes()), Dump({{0xC0, 0, 0}, {0xCF, 0, 0}}));

    // The tool bar: 14 buttons of pictures only, each choosing its program
    // exactly as the menu does.
    const std::vector<QAction*>& tools = rig.window->ToolBarActions();
    QCOMPARE(int(tools.size()), 14);
    const int programs[14] = {0, 15, 19, 25, 32, 40, 55, 57, 66, 73, 103, 107, 114, 123};
    QToolBar* bar = rig.Client().ToolBar();
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->y(), 0);
    for (int i = 0; i < 14; ++i) {
      QVERIFY(tools[i]->text().isEmpty());
      auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(tools[i]));
      QVERIFY(button != nullptr);
      QCOMPARE(button->focusPolicy(), Qt::NoFocus);
      rig.sink.Clear();
      QTest::mouseClick(button, Qt::LeftButton);
      QCOMPARE(rig.Inst().settings.program, programs[i]);
      QCOMPARE(CheckedAmong(rig, 1024, 1151), QList<int>{1024 + programs[i]});
      QCOMPARE(Dump(rig.SentBytes()), Dump({{0xC0, static_cast<std::uint8_t>(programs[i]), 0},
                                            {0xCF, static_cast<std::uint8_t>(programs[i]), 0}}));
    }
    // The keyboard still has the focus after all those clicks.
    QCOMPARE(QApplication::focusWidget(), &rig.Client());
  }

  void ownedCommandsAndTheAutoplayTimer() {
    WindowRig rig;
    QVERIFY(rig.created);
    QVERIFY(rig.Show());
    QList<int> handed;
    rig.window->SetOwnedCommandHandler([&handed](int id) { handed << id; });
    // Greyed items give nothing: greying is their only guard.
    for (int id : {1280, 1281, 1282, 1288, 1289, 1296, 1283}) Trigger(rig, id);
    QCOMPARE(handed, QList<int>({1280, 1281, 1296, 1283}));
    handed.clear();
    for (int id : {1282, 1288, 1289}) {
      rig.window->SetMenuItemEnabled(id, true);
      Trigger(rig, id);
    }
    QCOMPARE(handed, QList<int>({1282, 1288, 1289}));

    // Transport buttons by identifier; a click hands their command over and
    // leaves the keyboard focus where it was.
    handed.clear();
    for (int id = 1283; id <= 1287; ++id) rig.window->SetButtonEnabled(id, true);
    for (int id = 1283; id <= 1287; ++id) {
      QPushButton* button = rig.window->TransportButton(id);
      QCOMPARE(button->focusPolicy(), Qt::NoFocus);
      QTest::mouseClick(button, Qt::LeftButton);
    }
    QCOMPARE(handed, QList<int>({1283, 1284, 1285, 1286, 1287}));
    QCOMPARE(QApplication::focusWidget(), &rig.Client());
    // Space does not click a button, Tab does not move the focus.
    handed.clear();
    rig.Press(Qt::Key_Space, 65, QStringLiteral(" "));
    rig.Release(Qt::Key_Space, 65, QStringLiteral(" "));
    rig.Press(Qt::Key_Tab, 23, QStringLiteral("\t"));
    rig.Release(Qt::Key_Tab, 23, QStringLiteral("\t"));
    QVERIFY(handed.isEmpty());
    QCOMPARE(QApplication::focusWidget(), &rig.Client());
    // A disabled button and a greyed item do nothing; they move separately.
    rig.window->SetButtonEnabled(1285, false);
    rig.window->SetMenuItemEnabled(1285, true);
    QVERIFY(!rig.window->TransportButton(1285)->isEnabled());
    QVERIFY(rig.window->Commands().Find(1285)->isEnabled());
    QTest::mouseClick(rig.window->TransportButton(1285), Qt::LeftButton);
    QVERIFY(handed.isEmpty());

    // The autoplay timer gives the play command once.
    rig.window->ArmAutoplay(20);
    QTRY_COMPARE(handed, QList<int>{1285});
    QTest::qWait(60);
    QCOMPARE(handed, QList<int>{1285});

    // Other identifiers below 511 only repaint; nothing is handed over or sent.
    rig.sink.Clear();
    rig.window->OnCommand(300);
    rig.window->OnCommand(1290);
    rig.window->OnCommand(1306);
    QCOMPARE(handed, QList<int>({1285, 1290}));
    QVERIFY(rig.sink.sent.empty());
  }

  void velocityBarClampsAndSetsTheNoteVelocity() {
    WindowRig rig;
    QVERIFY(rig.created);
    QVERIFY(rig.Show());
    QScrollBar* bar = rig.Client().VelocityBar();
    QCOMPARE(bar->minimum(), 1);
    QCOMPARE(bar->maximum(), 127);
    QCOMPARE(bar->value(), 1);  // 128 - 127: the top
    QCOMPARE(bar->focusPolicy(), Qt::NoFocus);

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // arrow down
    QCOMPARE(rig.Inst().settings.velocity, 126);
    QCOMPARE(bar->value(), 2);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(rig.Inst().settings.velocity, 118);
    QCOMPARE(bar->value(), 10);
    for (int i = 0; i < 20; ++i) bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(rig.Inst().settings.velocity, 1);
    QCOMPARE(bar->value(), 127);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(rig.Inst().settings.velocity, 1);
    // Top and bottom of the bar have no meaning here.
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(rig.Inst().settings.velocity, 1);
    QCOMPARE(bar->value(), 127);

    // Dragging the thumb to position 3 and letting go: velocity 125; a page
    // up from there stops at 127.
    bar->setSliderDown(true);
    bar->setSliderPosition(3);
    bar->setSliderDown(false);
    QCOMPARE(rig.Inst().settings.velocity, 125);
    QCOMPARE(bar->value(), 3);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(rig.Inst().settings.velocity, 127);
    QCOMPARE(bar->value(), 1);

    // The wheel does nothing; nothing is sent by the bar itself.
    rig.sink.Clear();
    QWheelEvent wheel(QPointF(2, 20), bar->mapToGlobal(QPointF(2, 20)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
    QCOMPARE(bar->value(), 1);
    QVERIFY(rig.sink.sent.empty());

    // The next note uses the velocity.
    for (int i = 0; i < 27; ++i) bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(rig.Inst().settings.velocity, 100);
    rig.Press(Qt::Key_A, 38, QStringLiteral("a"));
    QCOMPARE(Dump(rig.SentBytes()), Dump({{0x90, 0x3C, 100}}));
    rig.Release(Qt::Key_A, 38, QStringLiteral("a"));
  }

  void pitchBendOnlyOnDragAndRelease() {
    WindowRig rig;
    QVERIFY(rig.created);
    QVERIFY(rig.Show());
    QScrollBar* bar = rig.Client().PitchBendBar();
    QCOMPARE(bar->minimum(), 1);
    QCOMPARE(bar->maximum(), 16383);
    QCOMPARE(bar->value(), 8192);
    rig.sink.Clear();
    for (auto action : {QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
                        QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub,
                        QAbstractSlider::SliderToMinimum, QAbstractSlider::SliderToMaximum}) {
      bar->triggerAction(action);
      QCOMPARE(bar->value(), 8192);
    }
    QVERIFY(rig.sink.sent.empty());

    // A real drag of the thumb upwards raises the pitch; letting go sends
    // 8191 and the thumb springs back to the centre.
    const QRect thumb = ThumbRect(bar);
    QVERIFY(thumb.isValid());
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb.center());
    QTest::mouseMove(bar, thumb.center() - QPoint(0, 40));
    QVERIFY(bar->value() < 8192);
    QVERIFY(!rig.sink.sent.empty());
    const auto dragged = rig.SentBytes().back();
    QCOMPARE(int(dragged[0]), 0xE0);
    const int sent_bend = dragged[1] | (dragged[2] << 7);
    QCOMPARE(sent_bend, 16383 - bar->value());
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, thumb.center() - QPoint(0, 40));
    QCOMPARE(Dump({rig.SentBytes().back()}), Dump({{0xE0, 0x7F, 0x3F}}));
    QCOMPARE(bar->value(), 8192);

    // Bends go to the played channel, never to the bass channel.
    rig.window->OnCommand(768 + 4);
    rig.sink.Clear();
    bar->setSliderDown(true);
    bar->setSliderPosition(1);
    bar->setSliderDown(false);
    QCOMPARE(Dump(rig.SentBytes()), Dump({{0xE4, 0x7E, 0x7F}, {0xE4, 0x7F, 0x3F}}));

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
    QVERIFY(rig.created);
    QVERIFY(rig.Show());
    for (QSize size : {QSize(1000, 700), QSize(401, 333)}) {
      rig.ResizeClient(size.width(), size.height());
      tonvale::ClientArea& c = rig.Client();
      QCOMPARE(c.size(), size);
      const int w = size.width(), h = size.height(), cx = c.cx(), cy = c.cy();
      QCOMPARE(c.Layout().x0, (w - 475) / 2);
      QCOMPARE(c.Layout().y0, cy + (h - 156) / 2);
      QCOMPARE(c.VelocityBar()->geometry(), QRect(17 * w / 20, 3 * h / 10, w / 40, 4 * h / 10));
      QCOMPARE(c.PitchBendBar()->geometry(), QRect(18 * w / 20, 3 * h / 10, w / 40, 4 * h / 10));
      const int offsets[5] = {-19, -11, -3, 5, 13};
      for (int i = 0; i < 5; ++i) {
        QCOMPARE(rig.window->TransportButton(1283 + i)->geometry(),
                 QRect(w / 2 + offsets[i] * cx, 8 * h / 10, 6 * cx, 7 * cy / 4));
      }
    }
    QVERIFY(rig.Client().Layout().x0 < 0);  // narrower than the keyboard: nothing clamped
  }

  void closingClosesTheDeviceUnlessTheQuestionSaysNo() {
    WindowRig rig;
    QVERIFY(rig.created);
    QVERIFY(rig.Show());
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
    QCOMPARE(Dump(rig.SentBytes()), Dump(AllNotesOff()));
    QCOMPARE(rig.sink.opened_device, -2);
    QCOMPARE(rig.Inst().settings.device_open, 0);
    QCOMPARE(destroyed, 1);
    rig.window.reset();  // nothing more on destruction
    QCOMPARE(destroyed, 1);
    QCOMPARE(rig.sink.close_calls, 1);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
