#include "shell/menu_bar.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "perform/instrument_catalogue.h"
#include "perform/midi_output.h"
#include "perform/settings_commands.h"
#include "record/command_ids.h"
#include "shell/core_texts.h"
#include "shell/practice_commands.h"

namespace tonvale {

namespace {

// The key-mode items in menu order.
struct KeyModeItem {
  int id;
  const char* text;
};
constexpr KeyModeItem kKeyModeItems[] = {
    {1297, QT_TRANSLATE_NOOP("MenuBar", " C大调\t  Alt+C")},
    {1298, QT_TRANSLATE_NOOP("MenuBar", " D大调\t  Alt+D")},
    {1299, QT_TRANSLATE_NOOP("MenuBar", " E大调\t  Alt+E")},
    {1300, QT_TRANSLATE_NOOP("MenuBar", " F大调\t  Alt+F")},
    {1301, QT_TRANSLATE_NOOP("MenuBar", " G大调\t  Alt+G")},
    {1302, QT_TRANSLATE_NOOP("MenuBar", " A大调\t  Alt+A")},
    {1303, QT_TRANSLATE_NOOP("MenuBar", " B大调\t  Alt+B")},
    {1304, QT_TRANSLATE_NOOP("MenuBar", "#F大调\t  Alt+H")},
    {1305, QT_TRANSLATE_NOOP("MenuBar", "#C大调\t  Alt+I")},
    {1312, QT_TRANSLATE_NOOP("MenuBar", "bB大调\t  Alt+J")},
    {1313, QT_TRANSLATE_NOOP("MenuBar", "bE大调\t  Alt+K")},
    {1314, QT_TRANSLATE_NOOP("MenuBar", "bA大调\t  Alt+L")},
    {1315, QT_TRANSLATE_NOOP("MenuBar", " c小调\t  Alt+M")},
    {1316, QT_TRANSLATE_NOOP("MenuBar", " d小调\t  Alt+N")},
    {1317, QT_TRANSLATE_NOOP("MenuBar", " e小调\t  Alt+P")},
    {1318, QT_TRANSLATE_NOOP("MenuBar", " f小调\t  Alt+Q")},
    {1319, QT_TRANSLATE_NOOP("MenuBar", " g小调\t  Alt+R")},
    {1320, QT_TRANSLATE_NOOP("MenuBar", " a小调\t  Alt+T")},
    {1321, QT_TRANSLATE_NOOP("MenuBar", " b小调\t  Alt+U")},
    {1328, QT_TRANSLATE_NOOP("MenuBar", "#f小调\t  Alt+V")},
    {1329, QT_TRANSLATE_NOOP("MenuBar", "#c小调\t  Alt+W")},
    {1330, QT_TRANSLATE_NOOP("MenuBar", "#g小调\t  Alt+X")},
    {1331, QT_TRANSLATE_NOOP("MenuBar", "#d小调\t  Alt+Y")},
    {1332, QT_TRANSLATE_NOOP("MenuBar", "#a小调\t  Alt+Z")},
};

struct RecordItem {
  int id;
  const char* text;
  bool enabled;
};
// Not in numeric order.
constexpr RecordItem kRecordItems[] = {
    {IDM_RECORD_START, QT_TRANSLATE_NOOP("MenuBar", "开始录制(&R)"), true},
    {IDM_RECORD_STOP, QT_TRANSLATE_NOOP("MenuBar", "停止录制(&E)"), false},
    {IDM_PLAY, QT_TRANSLATE_NOOP("MenuBar", "开始播放(&P)"), false},
    {IDM_PLAY_LOOP, QT_TRANSLATE_NOOP("MenuBar", "循环播放(&L)"), false},
    {IDM_PLAY_STOP, QT_TRANSLATE_NOOP("MenuBar", "停止播放(&O)"), false},
    {IDM_FILE_SAVE, QT_TRANSLATE_NOOP("MenuBar", "保存录音文件(&S)"), false},
    {IDM_FILE_SAVE_AS, QT_TRANSLATE_NOOP("MenuBar", "录音文件另存为(&A)"), false},
    {IDM_EXPORT_MIDI, QT_TRANSLATE_NOOP("MenuBar", "导出为Midi格式文件(&C)"), false},
    {IDM_FILE_OPEN, QT_TRANSLATE_NOOP("MenuBar", "载入录音文件(&L)"), true},
};

class MenuMaker {
 public:
  MenuMaker(const std::function<void(int)>& dispatch, CommandActions& actions)
      : dispatch_(dispatch), actions_(actions) {}

  QAction* Item(QMenu* menu, int id, const QString& text, bool checkable, bool checked = false,
                bool enabled = true) {
    QAction* action = menu->addAction(text);
    action->setCheckable(checkable);
    action->setChecked(checked);
    action->setEnabled(enabled);
    std::function<void(int)> dispatch = dispatch_;
    QObject::connect(action, &QAction::triggered, action, [dispatch, id] { dispatch(id); });
    actions_.Add(id, action);
    return action;
  }

 private:
  std::function<void(int)> dispatch_;
  CommandActions& actions_;
};

// A text of the tables above, marked for lupdate, in the window's language.
QString Tr(const char* text) {
  return QCoreApplication::translate("MenuBar", text);
}

// The practice menu comes after the eight menus, so that their places, their
// Alt+digit mnemonics and their items stay as they are; inside it, letters
// no other item of it uses.
void AddPracticeMenu(QMenuBar* bar, MenuMaker& make) {
  QMenu* practice = bar->addMenu(QCoreApplication::translate("MenuBar", "练习(&9)"));
  make.Item(practice, IDM_SONG_OPEN, QCoreApplication::translate("MenuBar", "打开乐曲(&O)..."),
            false);
  make.Item(practice, IDM_SONG_START, QCoreApplication::translate("MenuBar", "开始练习(&S)"), false,
            false, false);
  make.Item(practice, IDM_SONG_STOP, QCoreApplication::translate("MenuBar", "停止练习(&T)"), false,
            false, false);
  make.Item(practice, IDM_SONG_CLOSE, QCoreApplication::translate("MenuBar", "关闭乐曲(&C)"), false,
            false, false);
  practice->addSeparator();
  make.Item(practice, IDM_SONG_WAITING, QCoreApplication::translate("MenuBar", "跟弹(&W)"), true,
            true);
  make.Item(practice, IDM_SONG_PLAY_ALONG, QCoreApplication::translate("MenuBar", "随拍(&P)"),
            true);
  make.Item(practice, IDM_SONG_LISTEN, QCoreApplication::translate("MenuBar", "示范(&L)"), true);
  practice->addSeparator();
  QMenu* speeds = practice->addMenu(QCoreApplication::translate("MenuBar", "速度(&V)"));
  for (std::int32_t i = 0; i < kSpeedCount; ++i) {
    const int percent = kPracticeSpeeds[i];
    make.Item(speeds, IDM_SONG_SPEED_FIRST + i, QStringLiteral("%1%(&%2)").arg(percent).arg(i + 1),
              true, percent == 100);
  }
}

}  // namespace

std::vector<DeviceMenuEntry> ListDevices(MidiOut& out) {
  std::vector<DeviceMenuEntry> entries;
  if (const std::optional<std::string> mapper = out.DescribeDevice(-1)) {
    entries.push_back({-1, QString::fromStdString(*mapper)});
  }
  // Items 512 + n end where the channels begin (768): at most 256 devices.
  const int count = std::min(out.DeviceCount(), kDevicesOffered);
  for (int n = 0; n < count; ++n) {
    const std::optional<std::string> name = out.DescribeDevice(n);
    entries.push_back({n, name ? QString::fromStdString(*name)
                               : QCoreApplication::translate("MenuBar", "MIDI 设备 %1").arg(n)});
  }
  return entries;
}

void CommandActions::Add(int id, QAction* action) {
  actions_[id] = action;
}

QAction* CommandActions::Find(int id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void CommandActions::SetChecked(int id, bool checked) {
  if (QAction* a = Find(id)) a->setChecked(checked);
}

void CommandActions::SetEnabled(int id, bool enabled) {
  if (QAction* a = Find(id)) a->setEnabled(enabled);
}

void BuildMenuBar(QMenuBar* bar, const std::vector<DeviceMenuEntry>& devices,
                  const std::function<void(int)>& dispatch, CommandActions& actions) {
  MenuMaker make(dispatch, actions);

  QMenu* power = bar->addMenu(QCoreApplication::translate("MenuBar", "开关(&1)"));
  make.Item(power, kCmdDeviceOpen, QCoreApplication::translate("MenuBar", "打开(&O)\tAlt+O"), true,
            false);
  make.Item(power, kCmdDeviceClose, QCoreApplication::translate("MenuBar", "关闭(&C)\tAlt+S"), true,
            true);

  QMenu* instruments = bar->addMenu(QCoreApplication::translate("MenuBar", "乐器(&2)"));
  for (std::size_t f = 0; f < InstrumentFamilies.size(); ++f) {
    const InstrumentFamily& family = InstrumentFamilies[f];
    const QString title = QStringLiteral("&%1.\t%2")
                              .arg(QChar(static_cast<char16_t>(u'A' + f)))
                              .arg(InstrumentFamilyName(f));
    QMenu* sub = instruments->addMenu(title);
    for (std::size_t s = 0; s < family.entries.size(); ++s) {
      const InstrumentEntry& entry = family.entries[s];
      const QString text = QStringLiteral("&%1.\t%2").arg(s + 1).arg(InstrumentName(entry.program));
      make.Item(sub, kCmdProgramFirst + entry.program, text, true, entry.program == 0);
    }
  }

  QMenu* modes = bar->addMenu(QCoreApplication::translate("MenuBar", "调式(&3)"));
  for (const KeyModeItem& item : kKeyModeItems) {
    make.Item(modes, item.id, Tr(item.text), true, item.id == kDefaultKeyMode);
  }

  QMenu* record = bar->addMenu(QCoreApplication::translate("MenuBar", "录音(&4)"));
  for (const RecordItem& item : kRecordItems) {
    make.Item(record, item.id, Tr(item.text), false, false, item.enabled);
  }

  QMenu* functions = bar->addMenu(QCoreApplication::translate("MenuBar", "功能(&5)"));
  make.Item(functions, kCmdAutoBass, QCoreApplication::translate("MenuBar", "自动增加低音(&C)"),
            true, false);

  QMenu* device_menu = bar->addMenu(QCoreApplication::translate("MenuBar", "设备(&6)"));
  for (std::size_t i = 0; i < devices.size(); ++i) {
    QString text = devices[i].name;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a name has no mnemonic
    make.Item(device_menu, DeviceCommand(devices[i].device), text, true, i == 0);
  }

  QMenu* channels = bar->addMenu(QCoreApplication::translate("MenuBar", "声道(&7)"));
  for (int c = 0; c < kChannelsOffered; ++c) {
    make.Item(channels, kCmdChannelFirst + c, QString::number(c + 1), true, c == 0);
  }

  QMenu* help = bar->addMenu(QCoreApplication::translate("MenuBar", "帮助(&8)"));
  make.Item(help, IDM_HELP, QCoreApplication::translate("MenuBar", "帮助(&H)"), false);
  make.Item(help, IDM_ABOUT, QCoreApplication::translate("MenuBar", "关于(&A)"), false);

  AddPracticeMenu(bar, make);
}

}  // namespace tonvale
