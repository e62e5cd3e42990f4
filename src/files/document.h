// The document a recording belongs to (its file, whether it changed, the
// window title) and the file commands: load, save, save as, export, the
// save question before anything unsaved is thrown away, and the load of a
// file named on the command line.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "files/qvi_file.h"
#include "perform/settings.h"
#include "perform/ui_text.h"
#include "record/event_lists.h"
#include "record/transport.h"

namespace tonvale {

struct DocumentState {
  std::string document_path;   // full path of the recording file
  std::string document_name;   // shown in title and messages; empty: untitled
  bool modified_flag = false;  // the recording differs from the file
  std::string export_path;     // the last MIDI export
  std::string export_name;
};

// The window translates these under the context "Document".
inline constexpr const char* kUntitledName = TONVALE_UI_TEXT("Document", "未命名");
inline constexpr const char* kTitleFormat = "Tonvale - [%s]";
inline constexpr const char* kSaveQuestion = TONVALE_UI_TEXT("Document", "保存当前的变化在 %s?");
inline constexpr const char* kFileMessageCaption = "QV";
// Longest command-line text taken as a file name, in characters.
inline constexpr std::size_t kMaxCommandLineChars = 259;

// The file name part of a path, as a dialog hands it back.
std::string FileNameOf(std::string_view path);
// What follows the program's name on the command line: the arguments
// joined by single spaces.
std::string CommandLineText(std::span<const std::string> arguments);
// Characters, not bytes, of UTF-8 text.
std::size_t CharacterCount(std::string_view text);

// One file dialog: a single filter, a default extension added to a name
// typed without one, and whether it asks before creating or replacing.
struct FileDialogSetup {
  const char* filter_description;
  const char* filter_pattern;
  const char* default_extension;
  bool save;              // a save dialog (else an open dialog)
  bool prompt_create;     // open: offer to create a name that does not exist
  bool prompt_overwrite;  // save: ask before replacing a file
};

// The filter descriptions are translated under "Document" too.
inline constexpr const char* kRecordingFilter = TONVALE_UI_TEXT("Document", "QVI Files(*.QVI)");
inline constexpr const char* kMidiFilter = TONVALE_UI_TEXT("Document", "Midi Files(*.MID)");
inline constexpr FileDialogSetup kLoadDialog{kRecordingFilter, "*.qvi", "qvi", false, true, false};
inline constexpr FileDialogSetup kSaveDialog{kRecordingFilter, "*.qvi", "qvi", true, false, true};
inline constexpr FileDialogSetup kExportDialog{kMidiFilter, "*.mid", "mid", true, false, true};

enum class SaveAnswer { kYes, kNo, kCancel };

// What the main window does for the file commands. Item enabling goes
// through the transport's own view.
class DocumentView {
 public:
  virtual ~DocumentView() = default;
  // Modal dialogs opened on `initial_path`; the chosen path (UTF-8), or
  // nothing when cancelled.
  virtual std::optional<std::string> ChooseOpenFile(const FileDialogSetup& setup,
                                                    const std::string& initial_path) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const FileDialogSetup& setup,
                                                    const std::string& initial_path) = 0;
  virtual std::optional<std::string> ChooseExportFile(const FileDialogSetup& setup,
                                                      const std::string& initial_path) = 0;
  // A warning beep, then a modal box owned by the window: `text`, caption
  // kFileMessageCaption, an OK button, the warning icon.
  virtual void ShowFileError(const std::string& text) = 0;
  // A modal box owned by the window: `text`, caption kFileMessageCaption,
  // Yes, No and Cancel, the question icon, no beep. Closing it is Cancel.
  virtual SaveAnswer AskSaveQuestion(const std::string& text) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // The key-mode menu's check mark moves from `old_mode` to `new_mode`.
  virtual void MoveKeyModeCheck(std::int32_t old_mode, std::int32_t new_mode) = 0;
  // The automatic-bass item's check mark.
  virtual void SetAutoBassCheck(bool on) = 0;
  // Invalidates the whole client area.
  virtual void Repaint() = 0;
  // A box without owner window, OK button (the memory shortage message).
  virtual void ShowError(std::string_view text, std::string_view caption) = 0;
  // Sets the window timer IDT_AUTOPLAY; its expiry gives IDM_PLAY.
  virtual void ArmAutoplayTimer(int milliseconds) = 0;
  // The window's language: its words for a source text of the core, marked
  // under `context`. Asked for a message format, the save question and the
  // untitled name before a name is filled in, since the window cannot
  // translate a filled text. The source text unless the window says else.
  virtual std::string Translate(const char* /*context*/, const char* text) { return text; }
};

class FileCommands {
 public:
  using DateSource = std::function<FileDate()>;

  // Everything is borrowed and must outlive the commands.
  FileCommands(DocumentView& view, DocumentState& doc, Settings& settings, RecordingList& recording,
               PlaybackList& playback, Transport& transport, DateSource today = LocalDate);

  // Carries out IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_FILE_SAVE_AS or
  // IDM_EXPORT_MIDI; false for any other command.
  bool HandleCommand(std::int32_t command);

  // Save: writes to the document's file, through the save-as dialog when
  // untitled. Returns whether the file was written.
  bool Save();
  // Save as: the dialog first, always.
  bool SaveAs();
  void Load();
  void Export();

  // The save question. Yes saves and stays Yes only if the file was written.
  SaveAnswer AskSaveChanges();
  // The window may close / the session may end: nothing unsaved, or the
  // question was not cancelled.
  bool MayClose();
  bool MayEndSession() { return MayClose(); }

  // The file named on the command line, once while the window is created.
  void LoadFromCommandLine(std::string_view text);

  // A take recovered from the journal an earlier run left: it becomes the
  // recording, untitled and unsaved, with its key mode and automatic bass.
  void LoadRecovered(RecordingFile&& take);

  // Sets the window title from the document name.
  void UpdateTitle();

 private:
  bool WriteDocument();
  // `name`, or the untitled name when it is empty.
  std::string Shown(std::string_view name);
  // "Tonvale - [name]", the untitled name standing for an empty one.
  std::string Title(std::string_view name);
  void ShowError(FileError error, std::string_view name);
  // Takes a file that was read: both lists, the key mode and the automatic
  // bass. False when the playback copy failed.
  bool Apply(RecordingFile&& file);

  DocumentView& view_;
  DocumentState& doc_;
  Settings& settings_;
  RecordingList& recording_;
  PlaybackList& playback_;
  Transport& transport_;
  DateSource today_;
};

}  // namespace tonvale
