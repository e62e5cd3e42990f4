// The main window's menus, shortcuts, tool bar, buttons and scroll bars.
#include <QScrollBar>
#include <QToolBar>

#include "shell/practice_commands.h"
#include "window_rig.h"

using namespace tonvale::test;

namespace {

// The settings' check marks (the practice menu's are the practice's).
QString Checks(const tonvale::MainWindow& window) {
  QStringList ids;
  for (const auto& [id, a] : window.Commands().All()) {
    if (a->isChecked() && !tonvale::IsPracticeCommand(id)) ids << QString::number(id);
  }
  return ids.join(' ');
}

ByteList Program(std::uint8_t chan, std::uint8_t program) {
  return {{std::uint8_t(0xC0 | chan), program, 0}, {0xCF, program, 0}};
}

void Drag(QScrollBar* bar, int position) {
  bar->setSliderDown(true);
  bar->setSliderPosition(position);
  bar->setSliderDown(false);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void creationAndTheDeviceMenu() {
    WindowRig none([](RecordingSink& s) { s.names.clear(); });
    QVERIFY(!none.created && none.sink.open_calls == 0);
    QCOMPARE(none.notices.boxes, QStringList{"E No MIDI output devices!|QV"});
    WindowRig rig([](RecordingSink& s) {
      s.names = {"Synth & Co"};
      s.fail_open = true;
    });
    QCOMPARE(rig.notices.boxes, QStringList{"W Cannot open MIDI device|QV"});
    QCOMPARE(Checks(*rig.window), "257 511 768 1024 1297");
    QCOMPARE(rig.Menus()[5]->actions().last()->text(), "Synth && Co");  // no mnemonic
    // 300 nameless devices: 256 items, so none takes channel 1's id.
    struct Many : RecordingSink {
      int DeviceCount() override { return 300; }
      std::optional<std::string> DescribeDevice(int n) override {
        return n == 0 ? RecordingSink::DescribeDevice(n) : std::nullopt;
      }
    } many;
    tonvale::MainWindow window(many, rig.pictures, rig.notices);
    QVERIFY(window.Create() && many.opened_device == 0);
    const QList<QAction*> devices = window.menuBar()->actions()[5]->menu()->actions();
    QCOMPARE(devices.size(), 256);
    QVERIFY(devices.first()->isChecked() && !devices.last()->text().isEmpty());
    devices.last()->trigger();
    QCOMPARE(Checks(window), "256 767 768 1024 1297");
  }

  void commandsSendAndMoveTheChecks() {
    WindowRig rig([](RecordingSink& s) { s.names = {"Synth A", "Synth B"}; });
    QVERIFY(rig.Show());
    QCOMPARE(rig.Sent(), Dump({{0xC0, 0, 0}}));  // creation: the channel only
    ByteList reopen = AllNotesOff();
    for (const auto& m : Program(2, 0)) reopen.push_back(m);
    const std::tuple<int, ByteList, const char*> steps[] = {
        {770, Program(2, 0), "256 511 770 1024 1297"},
        {513, reopen, "256 513 770 1024 1297"},  // the old device closed, the new opened
        {257, AllNotesOff(), "257 513 770 1024 1297"},
        {256, Program(2, 0), "256 513 770 1024 1297"},
    };
    for (const auto& [id, sent, checks] : steps) {
      rig.sink.Clear();
      rig.Trigger(id);
      QCOMPARE(rig.Sent(), Dump(sent));
      QCOMPARE(Checks(*rig.window), checks);
    }
    // Alt+letter gives its command and plays nothing; Alt+S closes.
    rig.sink.Clear();
    rig.Stroke(Qt::Key_Z, 52, {}, Qt::AltModifier);
    rig.Stroke(Qt::Key_S, 39, {}, Qt::AltModifier);
    QCOMPARE(Checks(*rig.window), "257 513 770 1024 1332");
    QCOMPARE(rig.Sent(), Dump(AllNotesOff()));
    // The second tool-bar button (program 15) acts as its menu item.
    rig.Trigger(256);
    rig.sink.Clear();
    QTest::mouseClick(rig.Client().ToolBar()->widgetForAction(rig.window->ToolBarActions()[1]),
                      Qt::LeftButton);
    QCOMPARE(rig.Sent(), Dump(Program(2, 15)));
    QCOMPARE(Checks(*rig.window), "256 513 770 1039 1332");
    // Buttons and the autoplay timer hand their command over; the focus stays.
    QList<int> handed;
    rig.window->SetOwnedCommandHandler([&handed](int id) { handed << id; });
    for (int id : {1283, 1285}) QTest::mouseClick(rig.window->TransportButton(id), Qt::LeftButton);
    rig.window->ArmAutoplay(20);
    QTRY_COMPARE(handed, QList<int>({1283, 1285}));  // the play button is disabled
    QCOMPARE(QApplication::focusWidget(), &rig.Client());
  }

  void scrollBarsShowTheSettingInForceAndFollowTheSize() {
    WindowRig rig;
    QVERIFY(rig.Show());
    QScrollBar* velocity = rig.Client().VelocityBar();
    velocity->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(velocity->value(), 9);
    Drag(velocity, 28);
    rig.Stroke(Qt::Key_A, 38, "a");
    QCOMPARE(rig.Sent(), Dump({{0xC0, 0, 0}, {0x90, 0x3C, 100}, {0x80, 0x3C, 0}}));
    QScrollBar* bend = rig.Client().PitchBendBar();
    rig.Trigger(768 + 4);
    rig.sink.Clear();
    bend->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    Drag(bend, 1);
    QCOMPARE(rig.Sent(), Dump({{0xE4, 0x7E, 0x7F}, {0xE4, 0x7F, 0x3F}}));
    // Moves without a scroll code ("Scroll here" sets the value) go back.
    velocity->setValue(64);
    bend->setValue(100);
    QCOMPARE(velocity->value(), 28);
    QCOMPARE(bend->value(), 8192);
    // A drag cut off by another window, or by hiding, ends at the centre.
    for (const bool hide : {false, true}) {
      rig.sink.Clear();
      bend->setSliderDown(true);
      bend->setSliderPosition(100);
      QWidget other;
      hide ? rig.window->hide() : other.show();
      other.activateWindow();
      QTRY_VERIFY(!rig.window->isActiveWindow());
      QCOMPARE(rig.Sent(), Dump({{0xE4, 0x1B, 0x7F}, {0xE4, 0x00, 0x40}}));
      QVERIFY(!bend->isSliderDown() && bend->value() == 8192);
      QVERIFY(rig.Show());
    }
    rig.ResizeClient(401, 333);
    const tonvale::ClientArea& c = rig.Client();
    QCOMPARE(bend->geometry(), QRect(18 * 401 / 20, 3 * 333 / 10, 401 / 40, 4 * 333 / 10));
    QCOMPARE(rig.window->TransportButton(1287)->geometry(),
             QRect(401 / 2 + 13 * c.cx(), 8 * 333 / 10, 6 * c.cx(), 7 * c.cy() / 4));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
