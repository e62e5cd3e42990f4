// The document state and the file commands as one script of steps against
// a fake window that logs what it is told.
#include "files/document.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include "files_fixture.h"
#include "recording_sink.h"

namespace tonvale {
namespace {

using Strings = std::vector<std::string>;

class FakeWindow : public TransportView, public DocumentView {
 public:
  std::deque<std::string> replies;  // a dialog's path ("" cancels), or yes/no/cancel
  Strings told;

  using Pick = std::optional<std::string>;
  using Setup = const FileDialogSetup&;
  Pick ChooseOpenFile(Setup, const std::string& at) override { return Ask("open " + at); }
  Pick ChooseSaveFile(Setup, const std::string& at) override { return Ask("save " + at); }
  Pick ChooseExportFile(Setup, const std::string& at) override { return Ask("export " + at); }
  SaveAnswer AskSaveQuestion(const std::string& text) override {
    const Pick reply = Ask(text);
    return reply == "yes" ? SaveAnswer::kYes : SaveAnswer(reply == "no" ? 1 : 2);
  }
  void ShowFileError(const std::string& text) override { told.push_back(text); }
  void SetTitle(const std::string& title) override { told.push_back(title); }
  void MoveKeyModeCheck(int, int to) override { told.push_back("mode " + std::to_string(to)); }
  void SetAutoBassCheck(bool on) override { told.push_back(on ? "bass on" : "bass off"); }
  void ArmAutoplayTimer(int ms) override { told.push_back("autoplay " + std::to_string(ms)); }
  void Repaint() override { told.push_back("repaint"); }
  void ShowError(std::string_view text, std::string_view) override { told.emplace_back(text); }
  void EnableMenuItem(std::int32_t, bool) override {}
  void EnableButton(std::int32_t, bool) override {}
  void ShowNotice(std::string_view, std::string_view) override {}
  void StartScheduler(bool) override {}
  void StopScheduler() override {}

 private:
  Pick Ask(const std::string& asked) {
    told.push_back(asked);
    const std::string reply = replies.empty() ? "" : replies.front();
    if (!replies.empty()) replies.pop_front();
    return reply.empty() ? Pick() : reply;
  }
};

class Document : public ::testing::Test {
 protected:
  // In the scratch folder, so that names stand for paths.
  Document() : home(std::filesystem::current_path()) {
    std::filesystem::current_path(folder.path);
    inst.settings.device_open = (inst.out = &sink)->Open(-1);
  }
  ~Document() override { std::filesystem::current_path(home); }
  // Steps separated by "; ", their dialogs and questions answered by the
  // words of `replies` ("-" cancels a dialog); what the window was told.
  std::string Do(const std::string& steps, const std::string& replies = "") {
    std::istringstream in(replies), each(steps);
    for (std::string r; in >> r;) window.replies.push_back(r == "-" ? "" : r);
    for (std::string step; std::getline(each >> std::ws, step, ';');) Step(step);
    EXPECT_TRUE(window.replies.empty()) << steps;
    window.replies.clear();
    std::string told;
    for (const std::string& t : std::exchange(window.told, {}))
      told += (told.empty() ? "" : " | ") + t;
    return told;
  }
  void Step(const std::string& step) {
    Settings& set = inst.settings;
    std::sscanf(step.c_str(), "mode %d", &set.key_mode);
    std::sscanf(step.c_str(), "bass %d", &set.auto_bass);
    std::sscanf(step.c_str(), "program %d", &set.program);
    std::sscanf(step.c_str(), "channel %d", &set.channel);
    std::sscanf(step.c_str(), "device %d", &set.device_open);
    for (auto [name, id] : {std::pair{"save", IDM_FILE_SAVE},
                            {"save as", IDM_FILE_SAVE_AS},
                            {"open", IDM_FILE_OPEN},
                            {"export", IDM_EXPORT_MIDI}})
      if (step == name) files.HandleCommand(id);
    if (step.starts_with("line")) files.LoadFromCommandLine(step.size() > 5 ? step.substr(5) : "");
    if (step == "close") window.told.push_back(files.MayClose() ? "closes" : "stays");
    if (step == "record") {  // key A pressed 1000 ms after the start
      transport.StartRecording();
      AppendEvent(recording, doc.modified_flag, 256, 0x1E0001, 0, clock.NowMs() + 1000);
      transport.StopRecording();
      window.told.clear();
    }
    if (step == "state") {
      // Modified or saved, events recorded/to play, key mode, bass, channel: items enabled.
      std::ostringstream s;
      s << (doc.modified_flag ? "modified " : "saved ") << recording.recording_events.size() << "/"
        << playback.playback_events.size() << " " << set.key_mode << " bass " << set.auto_bass
        << " ch " << set.channel << ":";
      for (auto [id, name] :
           {std::pair{IDM_FILE_SAVE, " save"}, {IDM_PLAY, " play"}, {IDM_EXPORT_MIDI, " export"}})
        s << (transport.Items().MenuEnabled(id) ? name : "");
      window.told.push_back(s.str());
    }
  }

  test::ScratchFolder folder;
  std::filesystem::path home;
  FakeWindow window;
  test::RecordingSink sink;
  Instrument inst;
  RecordingList recording;
  PlaybackList playback;
  DocumentState doc;
  SettableMillisecondClock clock{1000};
  Transport transport{window, inst, recording, playback, doc.modified_flag, clock};
  FileCommands files{
      window, doc, inst.settings, recording, playback, transport, [] { return test::kDate; }};
};

TEST_F(Document, FileCommandsStepByStep) {
  test::WriteAll("ro.qvi", "7"sv);
  std::filesystem::permissions("ro.qvi", std::filesystem::perms(0444));
  test::Blob song = *BuildQviBytes(test::kTwoEvents, 1321, true, test::kDate);
  test::WriteAll("song.qvi", song);
  song[80] = 7;  // only 1 turns the automatic bass on
  test::WriteAll("seven.qvi", song);
  song.resize(120);
  test::WriteAll("cut.qvi", song);
  test::WriteAll("wave.qvi", "RIFF\4\0\0\0WAVE"sv);
  const std::string ask = "保存当前的变化在 未命名?", ask_b = "保存当前的变化在 b.qvi?";
  const struct {
    std::string steps, replies, told;
  } script[] = {
      {"line; close", "", "Tonvale - [未命名] | closes"},  // nothing recorded: no question
      // Untitled, save asks for a name; a read-only file is refused untouched.
      {"record; save", "ro.qvi", "save  | 不能创建文件ro.qvi. | Tonvale - [未命名]"},
      {"close", "cancel", ask + " | stays"},
      {"close", "yes -", ask + " | save ro.qvi | stays"},
      {"close", "yes ro.qvi",
       ask + " | save ro.qvi | 不能创建文件ro.qvi. | Tonvale - [未命名] | stays"},
      {"state; save; state; close", "a.qvi",
       "modified 1/1 1297 bass 0 ch 0: save play export | save ro.qvi | Tonvale - [a.qvi] | saved "
       "1/1 1297 bass 0 ch 0: play export | closes"},
      // Named: no dialog, the settings in force now; save as always asks.
      {"record; mode 1330; bass 1; save; save as", "b.qvi",
       "Tonvale - [a.qvi] | save a.qvi | Tonvale - [b.qvi]"},
      // Export starts from the last export and leaves the document alone.
      {"record; program 73; export; export", "a.mid x/b.mid",
       "export  | export a.mid | 不能创建文件b.mid."},
      {"close; close", "no yes", ask_b + " | closes | " + ask_b + " | Tonvale - [b.qvi] | closes"},
      // Load: Cancel stops before the dialog, a cancelled dialog changes
      // nothing; the file's mode and bass are taken, not its channel.
      {"record; mode 1312; channel 3; open; open", "cancel no -",
       ask_b + " | " + ask_b + " | open b.qvi"},
      {"open; state", "no song.qvi",
       ask_b + " | open b.qvi | mode 1321 | bass on | repaint | Tonvale - [song.qvi] | saved 2/2 "
               "1321 bass 1 ch 3: play export"},
      {"open", "seven.qvi",
       "open song.qvi | mode 1321 | bass off | repaint | Tonvale - [seven.qvi]"},
      // A failed load names the file and makes the document untitled, and
      // changes nothing else, not even the title. A name is not a format.
      {"record; open", "no 100%s.qvi",
       "保存当前的变化在 seven.qvi? | open seven.qvi | 不能找到或打开文件100%s.qvi."},
      {"open", "no wave.qvi", ask + " | open 100%s.qvi | 文件wave.qvi不是标准的Tonvale文件."},
      {"open; state", "no cut.qvi",
       ask + " | open wave.qvi | 不能读取文件cut.qvi. | modified 1/1 1321 bass 0 ch 3: save play "
             "export"},
      // The command line: quotes are part of the name; the file plays after
      // 500 ms when the device is open; export waits for a play.
      {"line \"song.qvi\"", "", "不能找到或打开文件\"song.qvi\". | Tonvale - [未命名]"},
      {"line song.qvi; state", "",
       "mode 1321 | bass on | Tonvale - [song.qvi] | autoplay 500 | saved 2/2 1321 bass 1 ch 3: "
       "play"},
      {"device 0; line song.qvi", "", "mode 1321 | bass on | Tonvale - [song.qvi]"},
  };
  for (const auto& s : script) EXPECT_EQ(Do(s.steps, s.replies), s.told) << s.steps;
  EXPECT_EQ(test::ReadAll("ro.qvi"), test::Blob{'7'});
  // Saved and exported with the settings in force then, written out by hand:
  // key A 1000 ms in, mode 1330 (6=#g, one below C major), bass on, program 73.
  EXPECT_EQ(test::Str(test::ReadAll("a.qvi")),
            "RIFF\x70\0\0\0QV  LIST\x2C\0\0\0INFOISFT\x0B\0\0\0QV by Dalo\0\0ISCD\x0B\0\0\0"
            "2024-03-09\0\0fmt \x18\0\0\0\1\0\0\0\x32\5\0\0\1\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"
            "data\x10\0\0\0\xE8\3\0\0\0\1\0\0\1\0\x1E\0\0\0\0\0"sv);
  EXPECT_EQ(test::Str(test::ReadAll("a.mid")),
            "MThd\0\0\0\6\0\1\0\2\0\xC0MTrk\0\0\0\x1C\0\xFF\x51\3\x0B\x96\xC6\0\xC0\x49"
            "\x81\x7C\x90\x3B\x7F\x83\x0F\x90\1\0\0\x80\1\0\0\xFF\x2F\0"
            "MTrk\0\0\0\x13\0\xFF\x51\3\x0B\x96\xC6\0\xCF\x49\x81\x7C\x9F\x2F\x7F\0\xFF\x2F\0"sv);
}

TEST_F(Document, CommandLineTextsOf259CharactersAreTakenNotOf260) {
  EXPECT_EQ(CommandLineText(Strings{"\"a", "b.qvi\"", "", "c"}), "\"a b.qvi\"  c");
  // Characters, not bytes.
  const std::string dir = std::string(200, 'd') + "/";
  std::filesystem::create_directory(dir);
  std::string name = dir;
  for (std::size_t chars = dir.size() + 4; chars < 259; ++chars) name += "歌";
  for (const std::string& file : {name + ".qvi", name + "f.qvi"})
    test::WriteAll(file, *BuildQviBytes(test::kTwoEvents, 1297, false, test::kDate));
  EXPECT_EQ(Do("line " + name + ".qvi"),
            "mode 1297 | bass off | Tonvale - [" + name + ".qvi] | autoplay 500");
  EXPECT_EQ(Do("line " + name + "f.qvi"),
            "不能找到或打开文件" + name + "f.qvi. | Tonvale - [未命名]");
}

}  // namespace
}  // namespace tonvale
