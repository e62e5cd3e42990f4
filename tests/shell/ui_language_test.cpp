// The window in English: chosen, loaded, every menu, and texts that fit.
#include "shell/ui_language.h"

#include <QLabel>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <fstream>

#include "help/about_box.h"
#include "help/help_window.h"
#include "help/link_label.h"
#include "record/clock.h"
#include "record/playback_timer.h"
#include "shell/file_dialogs.h"
#include "shell/practice_commands.h"
#include "shell/recording_session.h"
#include "shell/song_practice.h"
#include "window_rig.h"

using namespace tonvale;
using namespace tonvale::test;

namespace {

QStringList MenuTree(QMenuBar* bar) {
  QStringList lines;
  const auto walk = [&lines](const auto& self, QMenu* menu, const QString& indent) -> void {
    for (QAction* a : menu->actions()) {
      lines << indent + a->text();
      if (a->menu() != nullptr) self(self, a->menu(), indent + "  ");
    }
  };
  for (QAction* top : bar->actions()) {
    lines << top->text();
    walk(walk, top->menu(), "  ");
  }
  return lines;
}

// The General MIDI names, program 0 to 127, and their 16 families.
const QStringList kGeneralMidi =
    QString(
        "Acoustic Grand Piano|Bright Acoustic Piano|Electric Grand Piano|Honky-tonk Piano|"
        "Electric Piano 1|Electric Piano 2|Harpsichord|Clavi|Celesta|Glockenspiel|Music Box|"
        "Vibraphone|Marimba|Xylophone|Tubular Bells|Dulcimer|Drawbar Organ|Percussive Organ|"
        "Rock Organ|Church Organ|Reed Organ|Accordion|Harmonica|Tango Accordion|"
        "Acoustic Guitar (nylon)|Acoustic Guitar (steel)|Electric Guitar (jazz)|"
        "Electric Guitar (clean)|Electric Guitar (muted)|Overdriven Guitar|Distortion Guitar|"
        "Guitar harmonics|Acoustic Bass|Electric Bass (finger)|Electric Bass (pick)|"
        "Fretless Bass|Slap Bass 1|Slap Bass 2|Synth Bass 1|Synth Bass 2|Violin|Viola|Cello|"
        "Contrabass|Tremolo Strings|Pizzicato Strings|Orchestral Harp|Timpani|"
        "String Ensemble 1|String Ensemble 2|SynthStrings 1|SynthStrings 2|Choir Aahs|"
        "Voice Oohs|Synth Voice|Orchestra Hit|Trumpet|Trombone|Tuba|Muted Trumpet|"
        "French Horn|Brass Section|SynthBrass 1|SynthBrass 2|Soprano Sax|Alto Sax|Tenor Sax|"
        "Baritone Sax|Oboe|English Horn|Bassoon|Clarinet|Piccolo|Flute|Recorder|Pan Flute|"
        "Blown Bottle|Shakuhachi|Whistle|Ocarina|Lead 1 (square)|Lead 2 (sawtooth)|"
        "Lead 3 (calliope)|Lead 4 (chiff)|Lead 5 (charang)|Lead 6 (voice)|Lead 7 (fifths)|"
        "Lead 8 (bass + lead)|Pad 1 (new age)|Pad 2 (warm)|Pad 3 (polysynth)|Pad 4 (choir)|"
        "Pad 5 (bowed)|Pad 6 (metallic)|Pad 7 (halo)|Pad 8 (sweep)|FX 1 (rain)|"
        "FX 2 (soundtrack)|FX 3 (crystal)|FX 4 (atmosphere)|FX 5 (brightness)|FX 6 (goblins)|"
        "FX 7 (echoes)|FX 8 (sci-fi)|Sitar|Banjo|Shamisen|Koto|Kalimba|Bag pipe|Fiddle|"
        "Shanai|Tinkle Bell|Agogo|Steel Drums|Woodblock|Taiko Drum|Melodic Tom|Synth Drum|"
        "Reverse Cymbal|Guitar Fret Noise|Breath Noise|Seashore|Bird Tweet|Telephone Ring|"
        "Helicopter|Applause|Gunshot")
        .split('|');
const QStringList kFamilies =
    QString(
        "Piano|Chromatic Percussion|Organ|Guitar|Bass|Strings|Ensemble|Brass|Reed|Pipe|"
        "Synth Lead|Synth Pad|Synth Effects|Ethnic|Percussive|Sound Effects")
        .split('|');

QStringList EnglishMenus(const QStringList& devices) {
  QStringList lines{"&1 Output", "  &Open\tAlt+O", "  &Close\tAlt+S", "&2 Instrument"};
  for (int f = 0; f < 16; ++f) {
    lines << QStringLiteral("  &%1.\t%2").arg(QChar('A' + f)).arg(kFamilies[f]);
    for (int s = 0; s < 8; ++s)
      lines << QStringLiteral("    &%1.\t%2").arg(s + 1).arg(kGeneralMidi[8 * f + s]);
  }
  lines << "&3 Key";
  const QStringList majors = QString("C D E F G A B F# C# Bb Eb Ab").split(' ');
  const QStringList minors = QString("C D E F G A B F# C# G# D# A#").split(' ');
  for (int i = 0; i < 24; ++i) {
    lines << QStringLiteral("  %1 %2\t  Alt+%3")
                 .arg(i < 12 ? majors[i] : minors[i - 12], i < 12 ? "major" : "minor")
                 .arg(QString("CDEFGABHIJKLMNPQRTUVWXYZ")[i]);
  }
  lines << QString(
               "&4 Recording|  Start &Recording|  Stop R&ecording|  &Play|  Play in a &Loop|"
               "  St&op Playing|  &Save Recording|  Save Recording &As...|"
               "  E&xport as MIDI File...|  Loa&d Recording...|&5 Options|  Automati&c Bass|"
               "&6 Device")
               .split('|');
  for (const QString& device : devices) lines << "  " + device;
  lines << "&7 Channel";
  for (int c = 1; c <= 15; ++c) lines << "  " + QString::number(c);
  // Separators are lines with no text; the speeds are the same in every language.
  lines << QString(
               "&8 Help|  &Help|  &About Tonvale|&9 Practice|  &Open Song...|  &Start Practice|"
               "  S&top Practice|  &Close Song|  |  &Wait for Me|  &Play Along|  &Listen|  |"
               "  Spee&d|    25%(&1)|    50%(&2)|    75%(&3)|    100%(&4)")
               .split('|');
  return lines;
}

QStringList Mnemonics(QMenu* menu) {
  QStringList letters;
  for (QAction* a : menu->actions()) {
    const QString text = a->text().section('\t', 0, 0);
    const qsizetype at = text.indexOf('&');
    if (at >= 0 && at + 1 < text.size()) letters << text.mid(at + 1, 1).toLower();
  }
  return letters;
}

}  // namespace

class UiLanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void chosenFromTheDesktopsLanguages() {
    // Any Chinese unless English comes first; anything else is English.
    const std::pair<QStringList, UiLanguage> cases[] = {
        {{"zh_TW"}, UiLanguage::kChinese},          {{"zh-Hant-HK"}, UiLanguage::kChinese},
        {{"fr-FR", "zh-CN"}, UiLanguage::kChinese}, {{"C"}, UiLanguage::kEnglish},
        {{"de-DE"}, UiLanguage::kEnglish},          {{}, UiLanguage::kEnglish},
        {{"en-GB", "zh-CN"}, UiLanguage::kEnglish}, {{"de", "en", "zh"}, UiLanguage::kEnglish}};
    for (const auto& [languages, expected] : cases)
      QVERIFY2(ChooseUiLanguage(languages) == expected, qPrintable(languages.join(',')));
  }

  void withoutItsTranslationTheWindowStaysChinese() {
    const UiTranslations none(UiLanguage::kEnglish, {QStringLiteral("/nonexistent")});
    QCOMPARE(none.language(), UiLanguage::kChinese);
    QCOMPARE(UiLanguageInUse(), UiLanguage::kChinese);
    QCOMPARE(QCoreApplication::translate("MenuBar", "开关(&1)"), QString::fromUtf8("开关(&1)"));
  }

  void everyMenuInEnglish() {
    const UiTranslations english(UiLanguage::kEnglish);
    QCOMPARE(english.language(), UiLanguage::kEnglish);
    QCOMPARE(UiLanguageInUse(), UiLanguage::kEnglish);
    WindowRig rig;
    QVERIFY(rig.created);
    const QStringList menus = MenuTree(rig.window->menuBar());
    QStringList devices;
    for (QAction* a : rig.Menus()[5]->actions()) devices << a->text();
    const QStringList expected = EnglishMenus(devices);
    for (qsizetype i = 0; i < std::min(menus.size(), expected.size()); ++i) {
      QCOMPARE(menus[i], expected[i]);
    }
    QCOMPARE(menus.size(), expected.size());
    // Alt+digit opens a menu, then one letter picks an item: never two.
    for (QMenu* menu : rig.Menus()) {
      const QStringList letters = Mnemonics(menu);
      QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), letters.size());
    }
  }

  // The core's texts, the help, the About box and a song through the window;
  // the longest practice result fits the status line 1024 pixels wide.
  void theCoreTextsTheHelpTheAboutBoxAndASongInEnglish() {
    const UiTranslations english(UiLanguage::kEnglish);
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.ResizeClient(1024, 700);
    FakeDialogs dialogs;
    SettableMillisecondClock clock{1000};
    FrozenTimer playback_timer;
    InstantTimer listen_timer;
    RecordingSession session(*rig.window, rig.notices, dialogs, clock, playback_timer);
    session.LoadFromCommandLine("missing.qvi");
    QCOMPARE(rig.window->windowTitle(), "Tonvale - [Untitled]");
    rig.Trigger(IDM_DEVICE_CLOSE);
    rig.Trigger(IDM_RECORD_START);
    rig.Trigger(IDM_DEVICE_OPEN);
    rig.Trigger(IDM_RECORD_START);
    rig.Stroke(Qt::Key_A, 30 + 8);
    rig.Trigger(IDM_RECORD_STOP);
    rig.notices.answers = {QMessageBox::Cancel};
    QVERIFY(!session.MayEndSession());
    QCOMPARE(rig.notices.boxes, QStringList({"W Cannot find or open the file missing.qvi.|QV",
                                             "- Please open the output first.|Note",
                                             "Q Save the changes to Untitled?|QV"}));
    QCOMPARE(QtFilterOf(kSaveDialog), "Tonvale Recordings (*.qvi) (*.qvi)");

    rig.Trigger(IDM_HELP);
    HelpWindow* help = session.Help().window();
    QVERIFY(help != nullptr);
    QVERIFY(help->browser()->source().path().endsWith("/help/en/default.htm"));
    QCOMPARE(help->windowTitle(), "Tonvale Help");

    LinkVisits visits{};
    AboutBox about(nullptr, visits, {});
    QStringList labels;
    for (QWidget* control : about.controls()) {
      auto* label = qobject_cast<QLabel*>(control);
      if (label == nullptr || !label->pixmap().isNull()) continue;
      labels << label->text();
      QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));  // not cut
    }
    QVERIFY(
        QRegularExpression("^Tonvale [0-9.]+ · keyboard music$").match(labels.value(0)).hasMatch());
    QCOMPARE(labels.mid(1), QStringList({"Contact:", "Home page:", "Download 1:", "Download 2:"}));
    QCOMPARE(about.okButton()->text(), "OK");
    QCOMPARE(LinkTarget(kAboutLinks[1]).toString(), "https://tonvale.org/en/");

    SongPractice practice(*rig.window, session, rig.notices, dialogs, clock, listen_timer, {});
    QTemporaryDir dir;
    const auto write = [&dir](const char* name, const char* text) {
      const std::filesystem::path path = std::filesystem::path(dir.path().toStdString()) / name;
      std::ofstream(path, std::ios::binary) << text;
      return path;
    };
    QVERIFY(!practice.Open(write("bad.txt", "1=C\n1 2 z 3 |\n"), "bad%1.txt"));
    QCOMPARE(rig.notices.boxes.last(), "W Song bad%1.txt, line 2, “z”: unknown symbol.|QV");
    QVERIFY(practice.Open(write("good.txt", "title=Little Song\n1=C 4/4 4=120\n1 2 3 - |\n"),
                          "good.txt"));
    // Four beats counted in, the notes due at 3000, 3500 and 4000 ms: 20 ms
    // late, 10 ms early, and the last one missed.
    rig.Trigger(IDM_SONG_PLAY_ALONG);
    rig.Trigger(IDM_SONG_START);
    for (const auto& [wait, scan] : {std::pair{2020, 30}, {470, 31}}) {
      clock.Advance(wait);
      rig.Stroke(Qt::Key_A, scan + 8);
    }
    clock.Advance(1600);
    QTest::qWait(40);
    QCOMPARE(rig.Client().PracticeStatus(),
             "“Little Song” Play Along 100%: 2 of 3 right, timing 5 ms");

    const QString longest =
        QCoreApplication::translate("tonvale::SongPractice",
                                    "《%1》%2：%3 个音弹对 %4 个，时间差中位数 %5 毫秒")
            .arg("Little Song", "Play Along 100%", "99", "99", "-150");
    const int width = QFontMetrics(rig.Client().font()).horizontalAdvance(longest);
    const int room =
        rig.Client().width() - rig.Client().Layout().status_channel_x - 9 * rig.Client().cx();
    QVERIFY2(width <= room, qPrintable(QStringLiteral("%1 > %2").arg(width).arg(room)));
  }

  void englishTextsFitTheLayout() {
    const UiTranslations english(UiLanguage::kEnglish);
    WindowRig rig;
    QVERIFY(rig.Show());
    rig.ResizeClient(1024, 700);
    ClientArea& client = rig.Client();
    const WindowLayout& l = client.Layout();
    QStringList buttons;
    for (int id = IDM_RECORD_START; id <= IDM_PLAY_STOP; ++id) {
      QPushButton* button = client.TransportButton(id);
      buttons << button->text();
      QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
    }
    QCOMPARE(buttons, QStringList({"Record", "Stop Rec", "Play", "Loop", "Stop"}));
    const QFontMetrics m(client.font());
    const auto width = [&m](const char* text) {
      return m.horizontalAdvance(QCoreApplication::translate("tonvale::ClientArea", text));
    };
    QVERIFY(std::max(width("开启"), width("关闭")) < l.status_device_x - client.cx());
    QVERIFY(width("力度") < l.pitch_bend_caption_x - l.velocity_caption_x);
    QVERIFY(
        width("1 演奏的同时按Shift键(或Ctrl键)升高(或降低)一个8级音阶。 2 出现声音异常请按 Esc") <
        client.width() - client.cx());
    // The longest instrument and key end before the velocity bar from 1280
    // pixels on (at 1024 a few overlap it by some pixels).
    rig.ResizeClient(1280, 700);
    int longest = 0;
    for (const QString& name : kGeneralMidi) longest = std::max(longest, m.horizontalAdvance(name));
    longest += m.horizontalAdvance("    6=#a");
    QVERIFY2(longest < l.velocity_bar.x - l.key_label_x, qPrintable(QString::number(longest)));
  }
};

QTEST_MAIN(UiLanguageTest)
#include "ui_language_test.moc"
