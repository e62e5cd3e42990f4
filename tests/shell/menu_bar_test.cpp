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

struct Item {
  QString text;
  int id;
  bool checked;
  bool enabled;
  bool operator==(const Item&) const = default;
};

QString Describe(const std::vector<Item>& items) {
  QStringList lines;
  for (const Item& i : items) {
    lines << QStringLiteral("%1|%2|%3|%4").arg(i.text).arg(i.id).arg(i.checked).arg(i.enabled);
  }
  return lines.join(QLatin1Char('\n'));
}

std::vector<Item> ItemsOf(const WindowRig& rig, const QMenu* menu) {
  std::vector<Item> items;
  for (QAction* a : menu->actions()) {
    items.push_back({a->text(), rig.IdOf(a), a->isChecked(), a->isEnabled()});
  }
  return items;
}

QString U(const char* text) {
  return QString::fromUtf8(text);
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

    QCOMPARE(Describe(ItemsOf(rig, menus[0])), Describe({{U("打开(&O)\tAlt+O"), 256, false, true},
                                                         {U("关闭(&C)\tAlt+S"), 257, true, true}}));

    const char* modes[24] = {
        " C大调\t  Alt+C", " D大调\t  Alt+D", " E大调\t  Alt+E", " F大调\t  Alt+F",
        " G大调\t  Alt+G", " A大调\t  Alt+A", " B大调\t  Alt+B", "#F大调\t  Alt+H",
        "#C大调\t  Alt+I", "bB大调\t  Alt+J", "bE大调\t  Alt+K", "bA大调\t  Alt+L",
        " c小调\t  Alt+M", " d小调\t  Alt+N", " e小调\t  Alt+P", " f小调\t  Alt+Q",
        " g小调\t  Alt+R", " a小调\t  Alt+T", " b小调\t  Alt+U", "#f小调\t  Alt+V",
        "#c小调\t  Alt+W", "#g小调\t  Alt+X", "#d小调\t  Alt+Y", "#a小调\t  Alt+Z"};
    // 0x511..0x519, 0x520..0x529, 0x530..0x534.
    const int mode_ids[24] = {0x511, 0x512, 0x513, 0x514, 0x515, 0x516, 0x517, 0x518,
                              0x519, 0x520, 0x521, 0x522, 0x523, 0x524, 0x525, 0x526,
                              0x527, 0x528, 0x529, 0x530, 0x531, 0x532, 0x533, 0x534};
    std::vector<Item> expected_modes;
    for (int i = 0; i < 24; ++i) expected_modes.push_back({U(modes[i]), mode_ids[i], i == 0, true});
    QCOMPARE(Describe(ItemsOf(rig, menus[2])), Describe(expected_modes));

    QCOMPARE(Describe(ItemsOf(rig, menus[3])),
             Describe({{U("开始录制(&R)"), 1283, false, true},
                       {U("停止录制(&E)"), 1284, false, false},
                       {U("开始播放(&P)"), 1285, false, false},
                       {U("循环播放(&L)"), 1286, false, false},
                       {U("停止播放(&O)"), 1287, false, false},
                       {U("保存录音文件(&S)"), 1288, false, false},
                       {U("录音文件另存为(&A)"), 1289, false, false},
                       {U("导出为Midi格式文件(&C)"), 1282, false, false},
                       {U("载入录音文件(&L)"), 1296, false, true}}));
    QCOMPARE(Describe(ItemsOf(rig, menus[4])),
             Describe({{U("自动增加低音(&C)"), 1333, false, true}}));

    std::vector<Item> channels;
    for (int c = 0; c < 15; ++c)
      channels.push_back({QString::number(c + 1), 768 + c, c == 0, true});
    QCOMPARE(Describe(ItemsOf(rig, menus[6])), Describe(channels));
    QCOMPARE(Describe(ItemsOf(rig, menus[7])),
             Describe({{U("帮助(&H)"), 1280, false, true}, {U("关于(&A)"), 1281, false, true}}));

    // The buttons start as the recording menu does.
    for (int id = 1283; id <= 1287; ++id) {
      QCOMPARE(rig.window->TransportButton(id)->isEnabled(), id == 1283);
    }
    // 1306..1311 and 1322..1327 are no items.
    for (int id : {1306, 1311, 1322, 1327}) QVERIFY(rig.window->Commands().Find(id) == nullptr);
  }

  void instrumentFamilies() {
    WindowRig rig;
    QVERIFY(rig.created);
    const QMenu* instruments = rig.Menus()[1];
    const QList<QAction*> families = instruments->actions();
    QCOMPARE(families.size(), 16);
    const char* names[16] = {"钢琴",       "半音打击乐器", "风琴",       "吉他",
                             "Bass",       "弦乐器",       "合奏",       "铜管乐器",
                             "芦笛",       "笛",           "主音合成器", "辅助合成器",
                             "效果合成器", "民族乐器",     "打击乐器",   "音效"};
    int checked = 0;
    for (int f = 0; f < 16; ++f) {
      QCOMPARE(families[f]->text(),
               QStringLiteral("&%1.\t%2").arg(QChar(u'A' + f)).arg(U(names[f])));
      const QMenu* family = families[f]->menu();
      QVERIFY(family != nullptr);
      const QList<QAction*> items = family->actions();
      QCOMPARE(items.size(), 8);
      for (int s = 0; s < 8; ++s) {
        QVERIFY(items[s]->text().startsWith(QStringLiteral("&%1.\t").arg(s + 1)));
        QCOMPARE(rig.IdOf(items[s]), 1024 + 8 * f + s);
        if (items[s]->isChecked()) ++checked;
      }
    }
    QCOMPARE(checked, 1);
    QCOMPARE(families[0]->menu()->actions()[0]->text(), U("&1.\t三角钢琴"));
    QVERIFY(families[0]->menu()->actions()[0]->isChecked());
    QCOMPARE(families[4]->menu()->actions()[0]->text(), U("&1.\tBass"));
    QCOMPARE(families[10]->menu()->actions()[2]->text(), U("&3.\t主音 3(caliope lead)"));
    QCOMPARE(families[13]->menu()->actions()[3]->text(), U("&4.\t十三弦古筝（日）"));
    QCOMPARE(families[15]->menu()->actions()[7]->text(), U("&8.\t枪声"));
  }

  void deviceMenuWithTheDefaultOutput() {
    WindowRig rig([](RecordingSink& s) { s.names = {"Synth A", "Port & Co"}; });
    QVERIFY(rig.created);
    QCOMPARE(Describe(ItemsOf(rig, rig.Menus()[5])),
             Describe({{QStringLiteral("MIDI Mapper"), 511, true, true},
                       {QStringLiteral("Synth A"), 512, false, true},
                       {QStringLiteral("Port && Co"), 513, false, true}}));
    QCOMPARE(rig.Inst().settings.midi_device, -1);
    QCOMPARE(rig.sink.opened_device, -1);
  }

  void deviceMenuWithoutTheDefaultOutput() {
    WindowRig rig([](RecordingSink& s) {
      s.names = {"Synth A", "Synth B"};
      s.mapper_name.clear();  // the default output cannot be described
    });
    QVERIFY(rig.created);
    QCOMPARE(Describe(ItemsOf(rig, rig.Menus()[5])),
             Describe({{QStringLiteral("Synth A"), 512, true, true},
                       {QStringLiteral("Synth B"), 513, false, true}}));
    // The first real device is the default, and the one opened.
    QCOMPARE(rig.Inst().settings.midi_device, 0);
    QCOMPARE(rig.sink.opened_device, 0);
    QVERIFY(rig.window->Commands().Find(511) == nullptr);
  }

  void undescribableDeviceStillGetsAnItem() {
    class Patchy : public RecordingSink {
     public:
      std::optional<std::string> DescribeDevice(int device) override {
        if (device == 1) return std::nullopt;
        return RecordingSink::DescribeDevice(device);
      }
    };
    Patchy sink;
    sink.names = {"Synth A", "ghost", "Synth C"};
    tonvale::Pictures pictures;
    tonvale::test::FakeNotices notices;
    tonvale::MainWindow window(sink, pictures, notices);
    QVERIFY(window.Create());
    const QAction* ghost = window.Commands().Find(513);
    QVERIFY(ghost != nullptr);
    QVERIFY(!ghost->text().isEmpty());
    QVERIFY(window.Commands().Find(514) != nullptr);
  }
};

QTEST_MAIN(MenuBarTest)
#include "menu_bar_test.moc"
