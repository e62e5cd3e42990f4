// The file commands against a fake window. The dialogs' setups, the items,
// the title after save and load, Yes/No/Cancel on an untitled recording and
// the command-line play are checked through the real window in
// tests/shell/recording_session_test.cpp; here the bytes written, the
// settings taken and the failures.
#include "files/document.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "files/midi_export.h"
#include "files_fixture.h"
#include "record/command_ids.h"
#include "recording_sink.h"

namespace tonvale {
namespace {

using test::kDate;
using test::TwoEvents;

// Both views in one object, as the real window is.
class FakeWindow : public TransportView, public DocumentView {
 public:
  // What the next dialogs and questions answer; nullopt cancels a dialog.
  std::deque<std::optional<std::string>> dialog_answers;
  std::deque<SaveAnswer> question_answers;
  std::vector<std::pair<std::string, std::string>> dialogs;  // kind, initial path
  std::vector<std::string> file_errors, questions;
  std::string title = "(never set)";
  std::map<std::int32_t, bool> menu;
  std::vector<std::pair<std::int32_t, std::int32_t>> mode_checks;
  std::optional<bool> bass_check;
  int repaints = 0;
  std::vector<int> autoplay;

  using Pick = std::optional<std::string>;
  using Setup = const FileDialogSetup&;
  Pick ChooseOpenFile(Setup, const std::string& at) override { return Answer("open", at); }
  Pick ChooseSaveFile(Setup, const std::string& at) override { return Answer("save", at); }
  Pick ChooseExportFile(Setup, const std::string& at) override { return Answer("export", at); }
  void ShowFileError(const std::string& text) override { file_errors.push_back(text); }
  SaveAnswer AskSaveQuestion(const std::string& text) override {
    questions.push_back(text);
    return Next(question_answers, SaveAnswer::kCancel);
  }
  void SetTitle(const std::string& t) override { title = t; }
  void MoveKeyModeCheck(std::int32_t from, std::int32_t to) override {
    mode_checks.emplace_back(from, to);
  }
  void SetAutoBassCheck(bool on) override { bass_check = on; }
  void ArmAutoplayTimer(int ms) override { autoplay.push_back(ms); }
  void Repaint() override { ++repaints; }
  void ShowError(std::string_view text, std::string_view) override { ADD_FAILURE() << text; }
  void EnableMenuItem(std::int32_t command, bool enabled) override { menu[command] = enabled; }
  void EnableButton(std::int32_t, bool) override {}
  void ShowNotice(std::string_view, std::string_view) override {}
  void StartScheduler(bool) override {}
  void StopScheduler() override {}

 private:
  Pick Answer(const char* kind, const std::string& initial) {
    dialogs.emplace_back(kind, initial);
    return Next(dialog_answers, Pick());
  }
  template <class T>
  static T Next(std::deque<T>& answers, T none) {
    EXPECT_FALSE(answers.empty()) << "a dialog or question nobody expected";
    if (answers.empty()) return none;
    const T a = answers.front();
    answers.pop_front();
    return a;
  }
};

class Document : public ::testing::Test {
 protected:
  Document() {
    inst.out = &sink;
    inst.settings.device_open = 1;
    sink.Open(-1);
  }
  // Records `events` through the transport, as the window would.
  void Record(const std::vector<PerformanceEvent>& events) {
    transport.StartRecording();
    for (const PerformanceEvent& e : events) {
      clock.Advance(e.delta_ms);
      AppendEvent(recording, doc.modified_flag, e.message, e.key_data, e.octave_shift,
                  clock.NowMs());
    }
    transport.StopRecording();
  }
  std::string Path(const std::string& name) const { return (folder / name).string(); }

  test::ScratchFolder folder;
  FakeWindow window;
  test::RecordingSink sink;
  Instrument inst;
  RecordingList recording;
  PlaybackList playback;
  DocumentState doc;
  SettableMillisecondClock clock{1000};
  Transport transport{window, inst, recording, playback, doc.modified_flag, clock};
  FileCommands files{window,   doc,       inst.settings,       recording,
                     playback, transport, [] { return kDate; }};
};

TEST_F(Document, SavesAndExportsWriteTheSettingsInForceAndFailuresKeepTheWork) {
  EXPECT_TRUE(files.MayClose());  // nothing recorded: no question
  Record(TwoEvents());
  window.dialog_answers = {Path("nowhere/song.qvi")};
  EXPECT_FALSE(files.Save());
  EXPECT_EQ(window.file_errors, std::vector<std::string>{"不能创建文件song.qvi."});
  EXPECT_EQ(doc.document_name, "");
  EXPECT_EQ(window.title, "Tonvale - [未命名]");
  EXPECT_TRUE(doc.modified_flag);
  EXPECT_TRUE(window.menu[IDM_FILE_SAVE]);
  EXPECT_EQ(recording.recording_events, TwoEvents());
  // Still untitled, so the next save asks again.
  window.dialog_answers = {Path("first.qvi")};
  EXPECT_TRUE(files.HandleCommand(IDM_FILE_SAVE));
  EXPECT_EQ(window.dialogs.size(), 2u);
  EXPECT_EQ(test::ReadAll(Path("first.qvi")), *BuildQviBytes(TwoEvents(), 1297, false, kDate));
  EXPECT_EQ(doc.document_name, "first.qvi");

  // Saves and exports write the settings in force when they happen.
  std::vector<PerformanceEvent> second = TwoEvents();
  second[0].octave_shift = second[1].octave_shift = 1;
  Record(second);
  inst.settings.auto_bass = 1;
  inst.settings.key_mode = 1330;
  EXPECT_TRUE(files.Save());
  EXPECT_EQ(window.dialogs.size(), 2u);
  EXPECT_EQ(test::ReadAll(Path("first.qvi")), *BuildQviBytes(second, 1330, true, kDate));
  window.dialog_answers = {Path("second.qvi")};
  EXPECT_TRUE(files.HandleCommand(IDM_FILE_SAVE_AS));
  EXPECT_EQ(window.title, "Tonvale - [second.qvi]");
  EXPECT_EQ(test::ReadAll(Path("second.qvi")), *BuildQviBytes(second, 1330, true, kDate));

  Record(second);
  inst.settings.program = 73;
  inst.settings.channel = 5;
  inst.settings.velocity = 20;
  window.dialog_answers = {Path("a.mid")};
  EXPECT_TRUE(files.HandleCommand(IDM_EXPORT_MIDI));
  EXPECT_EQ(window.dialogs.back(), std::make_pair(std::string("export"), std::string()));
  EXPECT_EQ(test::ReadAll(Path("a.mid")), *BuildMidiBytes(second, 1330, 73, true));
  EXPECT_EQ(doc.export_path, Path("a.mid"));
  EXPECT_EQ(doc.export_name, "a.mid");
  EXPECT_TRUE(doc.modified_flag);
  EXPECT_EQ(doc.document_name, "second.qvi");
  // The next export starts from the last; a failure is shown like a save's.
  window.dialog_answers = {Path("gone/b.mid")};
  files.Export();
  EXPECT_EQ(window.dialogs.back().second, Path("a.mid"));
  EXPECT_EQ(window.file_errors.back(), "不能创建文件b.mid.");
  window.dialog_answers = {std::nullopt};
  files.Export();
  EXPECT_EQ(doc.export_path, Path("gone/b.mid"));
  EXPECT_FALSE(files.HandleCommand(IDM_PLAY));

  // A named document is named in the question; Yes saves without a dialog.
  const std::size_t dialogs = window.dialogs.size();
  window.question_answers = {SaveAnswer::kYes};
  EXPECT_EQ(files.AskSaveChanges(), SaveAnswer::kYes);
  EXPECT_EQ(window.questions.back(), "保存当前的变化在 second.qvi?");
  EXPECT_FALSE(doc.modified_flag);
  // A failed save answers Cancel, so the session does not end.
  Record(TwoEvents());
  std::filesystem::remove_all(folder.path());
  window.question_answers = {SaveAnswer::kYes};
  EXPECT_FALSE(files.MayEndSession());
  EXPECT_EQ(window.file_errors.size(), 3u);
  EXPECT_EQ(window.dialogs.size(), dialogs);
  EXPECT_TRUE(doc.modified_flag);
}

TEST_F(Document, LoadTakesTheFilesModeAndBassAndAFailedLoadChangesNothing) {
  std::vector<std::uint8_t> bad_mode = *BuildQviBytes(TwoEvents(), 1297, false, kDate);
  bad_mode[76] = 0x1A;  // 1306: no key mode
  test::WriteAll(Path("odd.qvi"), bad_mode);
  test::WriteAll(Path("wave.qvi"), test::Text("RIFF\x04\0\0\0WAVE"));
  const std::vector<PerformanceEvent> mine = {{10, 256, 0x00200001, 1}};
  Record(mine);
  inst.settings.auto_bass = 1;
  inst.settings.channel = 3;
  inst.settings.key_mode = 1312;
  const auto menu_before = window.menu;
  const std::string title_before = window.title;
  const struct {
    const char* file;
    const char* message;
  } cases[] = {{"missing.qvi", "不能找到或打开文件missing.qvi."},
               {"odd.qvi", "文件odd.qvi不是被支持的Tonvale文件."},
               {"wave.qvi", "文件wave.qvi不是标准的Tonvale文件."}};
  for (const auto& c : cases) {
    window.question_answers = {SaveAnswer::kNo};
    window.dialog_answers = {Path(c.file)};
    files.Load();
    EXPECT_EQ(window.file_errors.back(), c.message);
    EXPECT_EQ(doc.document_name, "");
    EXPECT_EQ(doc.document_path, Path(c.file));
    EXPECT_EQ(window.title, title_before);
    EXPECT_EQ(recording.recording_events, mine);
    EXPECT_EQ(playback.playback_events, mine);
    EXPECT_EQ(inst.settings.key_mode, 1312);
    EXPECT_TRUE(doc.modified_flag);
    EXPECT_EQ(window.menu, menu_before);
    EXPECT_TRUE(window.mode_checks.empty());
  }

  std::vector<PerformanceEvent> stored = TwoEvents();
  stored[0].octave_shift = stored[1].octave_shift = -1;
  std::vector<std::uint8_t> bytes = *BuildQviBytes(stored, 1321, true, kDate);
  bytes[80] = 7;  // only 1 turns the automatic bass on
  test::WriteAll(Path("song.qvi"), bytes);
  window.question_answers = {SaveAnswer::kNo};
  window.dialog_answers = {Path("song.qvi")};
  const int repaints = window.repaints;
  files.HandleCommand(IDM_FILE_OPEN);
  EXPECT_EQ(recording.recording_events, stored);
  EXPECT_EQ(playback.playback_events, stored);
  EXPECT_EQ(inst.settings.key_mode, 1321);
  EXPECT_EQ(window.mode_checks, (std::vector<std::pair<int, int>>{{1312, 1321}}));
  EXPECT_EQ(inst.settings.auto_bass, 0);
  EXPECT_EQ(window.bass_check, false);
  EXPECT_EQ(inst.settings.channel, 3);
  EXPECT_FALSE(doc.modified_flag);
  EXPECT_GT(window.repaints, repaints);
  EXPECT_EQ(transport.state(), TransportState::kReady);
  EXPECT_TRUE(window.autoplay.empty());
  // Stored 1 turns it on; the next dialog opens on the current path.
  bytes[80] = 1;
  test::WriteAll(Path("song.qvi"), bytes);
  window.dialog_answers = {Path("song.qvi")};
  files.Load();
  EXPECT_EQ(window.dialogs.back().second, Path("song.qvi"));
  EXPECT_EQ(inst.settings.auto_bass, 1);
  EXPECT_EQ(window.bass_check, true);
}

TEST_F(Document, CommandLineTextsLongerThan259CharactersAreRefused) {
  EXPECT_EQ(CommandLineText(std::vector<std::string>{"\"a", "b.qvi\"", "", "c"}), "\"a b.qvi\"  c");
  // Real files whose paths are 259 and 260 characters long.
  const std::string dir = folder.path().string() + "/" + std::string(120, 'd');
  std::filesystem::create_directory(dir);
  const std::size_t stem = 259 - dir.size() - 1 - 4;
  const std::string fits = dir + "/" + std::string(stem, 'f') + ".qvi";
  const std::string too_long = dir + "/" + std::string(stem + 1, 'f') + ".qvi";
  ASSERT_EQ(fits.size(), 259u);
  ASSERT_EQ(too_long.size(), 260u);
  test::WriteAll(fits, *BuildQviBytes(TwoEvents(), 1297, false, kDate));
  test::WriteAll(too_long, *BuildQviBytes(TwoEvents(), 1297, false, kDate));

  files.LoadFromCommandLine(too_long);
  EXPECT_EQ(window.file_errors, std::vector<std::string>{"不能找到或打开文件" + too_long + "."});
  EXPECT_EQ(window.title, "Tonvale - [未命名]");
  EXPECT_TRUE(recording.recording_events.empty());
  EXPECT_EQ(doc.document_path, "");
  files.LoadFromCommandLine(fits);
  EXPECT_EQ(window.file_errors.size(), 1u);
  EXPECT_EQ(recording.recording_events, TwoEvents());

  // Characters, not bytes: 80 three-byte characters are 80.
  std::string wide;
  for (int i = 0; i < 80; ++i) wide += "歌";
  const std::string chinese = folder.path().string() + "/" + wide + ".qvi";
  ASSERT_GT(chinese.size(), 259u);
  test::WriteAll(chinese, *BuildQviBytes({}, 1297, false, kDate));  // count 0
  files.LoadFromCommandLine(chinese);
  EXPECT_EQ(window.file_errors.back(), "文件" + chinese + "不是被支持的Tonvale文件.");
}

}  // namespace
}  // namespace tonvale
