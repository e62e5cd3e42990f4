// The whole menu tree as the user meets it: texts, identifiers, order,
// check marks and grey items, built for different device lists.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "window_rig.h"

using tonvale::test::RecordingSink;
using tonvale::test::WindowRig;

namespace {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

// An item as "text|id|checked|enabled"; a menu as its items' lines.
QString Line(const WindowRig& rig, const QAction* a) {
  return QStringLiteral("%1|%2|%3|%4")
      .arg(a->text())
      .arg(rig.IdOf(a))
      .arg(a->isChecked())
      .arg(a->isEnabled());
}
QString Describe(const WindowRig& rig, const QMenu* menu) {
  QStringList lines;
  for (QAction* a : menu->actions()) lines << Line(rig, a);
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

class MenuBarTest : public QObject {
  Q_OBJECT

 private slots:
  void topLevelAndFixedPopups() {
    WindowRig rig([](RecordingSink& s) { s.fail_open = true; });  // creation checks untouched
    QVERIFY(rig.created);
    const std::vector<QMenu*> menus = rig.Menus();
    QStringList titles;
    for (QAction* a : rig.window->menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, QStringList({U("开关(&1)"), U("乐器(&2)"), U("调式(&3)"), U("录音(&4)"),
                                  U("功能(&5)"), U("设备(&6)"), U("声道(&7)"), U("帮助(&8)")}));
    for (QMenu* m : menus) QVERIFY(m != nullptr);

    QCOMPARE(Describe(rig, menus[0]), U("打开(&O)\tAlt+O|256|0|1\n关闭(&C)\tAlt+S|257|1|1"));
    // Key modes: ids jump from 0x519 to 0x520 and 0x529 to 0x530; Alt+O and
    // Alt+S are taken, so the minors skip those letters.
    const QList<QAction*> modes = menus[2]->actions();
    QCOMPARE(modes.size(), 24);
    const struct {
      int index;
      const char* text;
    } spots[] = {{0, " C大调\t  Alt+C|1297|1|1"},  {7, "#F大调\t  Alt+H|1304|0|1"},
                 {8, "#C大调\t  Alt+I|1305|0|1"},  {9, "bB大调\t  Alt+J|1312|0|1"},
                 {14, " e小调\t  Alt+P|1317|0|1"}, {18, " b小调\t  Alt+U|1321|0|1"},
                 {19, "#f小调\t  Alt+V|1328|0|1"}, {23, "#a小调\t  Alt+Z|1332|0|1"}};
    for (const auto& s : spots) QCOMPARE(Line(rig, modes[s.index]), U(s.text));
    for (int i = 1; i < 24; ++i) QVERIFY(rig.IdOf(modes[i]) > rig.IdOf(modes[i - 1]));

    QCOMPARE(Describe(rig, menus[3]),
             U("开始录制(&R)|1283|0|1\n停止录制(&E)|1284|0|0\n"
               "开始播放(&P)|1285|0|0\n循环播放(&L)|1286|0|0\n"
               "停止播放(&O)|1287|0|0\n保存录音文件(&S)|1288|0|0\n"
               "录音文件另存为(&A)|1289|0|0\n"
               "导出为Midi格式文件(&C)|1282|0|0\n载入录音文件(&L)|1296|0|1"));
    QCOMPARE(Describe(rig, menus[4]), U("自动增加低音(&C)|1333|0|1"));
    const QList<QAction*> channels = menus[6]->actions();
    QCOMPARE(channels.size(), 15);
    for (int c = 0; c < 15; ++c) {
      QCOMPARE(channels[c]->text(), QString::number(c + 1));
      QCOMPARE(rig.IdOf(channels[c]), 768 + c);
      QCOMPARE(channels[c]->isChecked(), c == 0);
    }
    QCOMPARE(Describe(rig, menus[7]), U("帮助(&H)|1280|0|1\n关于(&A)|1281|0|1"));

    // The buttons start as the recording menu does; the gaps are no items.
    for (int id = 1283; id <= 1287; ++id) {
      QCOMPARE(rig.window->TransportButton(id)->isEnabled(), id == 1283);
    }
    for (int id : {1306, 1311, 1322, 1327}) QVERIFY(rig.window->Commands().Find(id) == nullptr);
  }

  void instrumentFamilies() {
    WindowRig rig;
    QVERIFY(rig.created);
    const QList<QAction*> families = rig.Menus()[1]->actions();
    QCOMPARE(families.size(), 16);
    int checked = 0;
    for (int f = 0; f < 16; ++f) {
      QVERIFY(families[f]->text().startsWith(QStringLiteral("&%1.\t").arg(QChar(u'A' + f))));
      const QList<QAction*> items = families[f]->menu()->actions();
      QCOMPARE(items.size(), 8);
      for (int s = 0; s < 8; ++s) {
        QVERIFY(items[s]->text().startsWith(QStringLiteral("&%1.\t").arg(s + 1)));
        QCOMPARE(rig.IdOf(items[s]), 1024 + 8 * f + s);
        checked += items[s]->isChecked();
      }
    }
    QCOMPARE(checked, 1);
    QVERIFY(families[0]->menu()->actions()[0]->isChecked());
    QCOMPARE(families[0]->text(), U("&A.\t钢琴"));
    QCOMPARE(families[4]->text(), U("&E.\tBass"));
    QCOMPARE(families[15]->text(), U("&P.\t音效"));
    QCOMPARE(families[0]->menu()->actions()[0]->text(), U("&1.\t三角钢琴"));
    QCOMPARE(families[10]->menu()->actions()[2]->text(), U("&3.\t主音 3(caliope lead)"));
    QCOMPARE(families[13]->menu()->actions()[3]->text(), U("&4.\t十三弦古筝（日）"));
    QCOMPARE(families[15]->menu()->actions()[7]->text(), U("&8.\t枪声"));
  }

  void deviceMenuWithAndWithoutTheDefaultOutput() {
    WindowRig mapped([](RecordingSink& s) { s.names = {"Synth A", "Port & Co"}; });
    QVERIFY(mapped.created);
    QCOMPARE(Describe(mapped, mapped.Menus()[5]),
             QStringLiteral("MIDI Mapper|511|1|1\nSynth A|512|0|1\nPort && Co|513|0|1"));
    QCOMPARE(mapped.Inst().settings.midi_device, -1);
    QCOMPARE(mapped.sink.opened_device, -1);

    // The default output cannot be described: the first real device is the
    // default, and the one opened.
    WindowRig plain([](RecordingSink& s) {
      s.names = {"Synth A", "Synth B"};
      s.mapper_name.clear();
    });
    QVERIFY(plain.created);
    QCOMPARE(Describe(plain, plain.Menus()[5]), QStringLiteral("Synth A|512|1|1\nSynth B|513|0|1"));
    QCOMPARE(plain.Inst().settings.midi_device, 0);
    QCOMPARE(plain.sink.opened_device, 0);
    QVERIFY(plain.window->Commands().Find(511) == nullptr);
  }

  void undescribableDeviceStillGetsAnItem() {
    struct Patchy : RecordingSink {
      std::optional<std::string> DescribeDevice(int device) override {
        if (device == 1) return std::nullopt;
        return RecordingSink::DescribeDevice(device);
      }
    } sink;
    sink.names = {"Synth A", "ghost", "Synth C"};
    tonvale::Pictures pictures;
    tonvale::test::FakeNotices notices;
    tonvale::MainWindow window(sink, pictures, notices);
    QVERIFY(window.Create());
    const QAction* ghost = window.Commands().Find(513);
    QVERIFY(ghost != nullptr && !ghost->text().isEmpty());
    QVERIFY(window.Commands().Find(514) != nullptr);
  }
};

QTEST_MAIN(MenuBarTest)
#include "menu_bar_test.moc"
