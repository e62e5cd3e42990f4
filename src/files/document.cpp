#include "files/document.h"

#include <utility>

#include "files/midi_export.h"
#include "files/safe_write.h"
#include "perform/settings_commands.h"
#include "record/command_ids.h"

namespace tonvale {

std::string FileNameOf(std::string_view path) {
  const std::u8string name = PathFromUtf8(path).filename().u8string();
  return std::string(name.begin(), name.end());
}

std::string CommandLineText(std::span<const std::string> arguments) {
  std::string text;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ' ';
    text += arguments[i];
  }
  return text;
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    // Every byte but a UTF-8 continuation byte starts a character.
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

FileCommands::FileCommands(DocumentView& view, DocumentState& doc, Settings& settings,
                           RecordingList& recording, PlaybackList& playback, Transport& transport,
                           DateSource today)
    : view_(view),
      doc_(doc),
      settings_(settings),
      recording_(recording),
      playback_(playback),
      transport_(transport),
      today_(std::move(today)) {}

bool FileCommands::HandleCommand(std::int32_t command) {
  switch (command) {
    case IDM_FILE_OPEN:
      Load();
      return true;
    case IDM_FILE_SAVE:
      Save();
      return true;
    case IDM_FILE_SAVE_AS:
      SaveAs();
      return true;
    case IDM_EXPORT_MIDI:
      Export();
      return true;
    default:
      return false;
  }
}

std::string FileCommands::Shown(std::string_view name) {
  return name.empty() ? view_.Translate("Document", kUntitledName) : std::string(name);
}

std::string FileCommands::Title(std::string_view name) {
  return FillFileMessage(kTitleFormat, Shown(name));
}

void FileCommands::UpdateTitle() {
  view_.SetTitle(Title(doc_.document_name));
}

void FileCommands::ShowError(FileError error, std::string_view name) {
  view_.ShowFileError(
      FillFileMessage(view_.Translate("FileError", MessageFormat(error)), Shown(name)));
}

bool FileCommands::Save() {
  if (doc_.document_name.empty()) return SaveAs();
  return WriteDocument();
}

bool FileCommands::SaveAs() {
  const std::optional<std::string> path = view_.ChooseSaveFile(kSaveDialog, doc_.document_path);
  if (!path) return false;
  doc_.document_path = *path;
  doc_.document_name = FileNameOf(*path);
  return WriteDocument();
}

bool FileCommands::WriteDocument() {
  const std::optional<FileError> error =
      WriteQviFile(PathFromUtf8(doc_.document_path), recording_.recording_events,
                   settings_.key_mode, settings_.auto_bass != 0, today_());
  if (error) {
    ShowError(*error, doc_.document_name);
    // The file named no longer holds this recording: the document is untitled.
    doc_.document_name.clear();
    UpdateTitle();
    return false;
  }
  doc_.modified_flag = false;
  transport_.Refresh();
  UpdateTitle();
  return true;
}

bool FileCommands::Apply(RecordingFile&& file) {
  ReplaceRecording(recording_, std::move(file.events));
  const bool copied = MakePlaybackCopy(playback_, recording_.recording_events);
  if (!copied) view_.ShowError(kMemoryErrorText, kMemoryErrorCaption);
  doc_.modified_flag = false;
  const std::int32_t old_mode = settings_.key_mode;
  ChooseKeyMode(settings_, file.key_mode);
  view_.MoveKeyModeCheck(old_mode, file.key_mode);
  settings_.auto_bass = file.auto_bass == 1 ? 1 : 0;
  view_.SetAutoBassCheck(settings_.auto_bass != 0);
  return copied;
}

void FileCommands::Load() {
  if (doc_.modified_flag && AskSaveChanges() == SaveAnswer::kCancel) return;
  const std::optional<std::string> path = view_.ChooseOpenFile(kLoadDialog, doc_.document_path);
  if (!path) return;
  doc_.document_path = *path;
  doc_.document_name = FileNameOf(*path);

  QviReadResult read = ReadQviFile(PathFromUtf8(doc_.document_path));
  if (const FileError* error = std::get_if<FileError>(&read)) {
    ShowError(*error, doc_.document_name);
    // The title keeps the previous name until it is next set.
    doc_.document_name.clear();
    return;
  }
  Apply(std::get<RecordingFile>(std::move(read)));
  view_.Repaint();
  UpdateTitle();
  transport_.FileLoaded(false);
}

void FileCommands::Export() {
  const std::optional<std::string> path = view_.ChooseExportFile(kExportDialog, doc_.export_path);
  if (!path) return;
  doc_.export_path = *path;
  doc_.export_name = FileNameOf(*path);
  const std::optional<FileError> error =
      ExportMidiFile(PathFromUtf8(doc_.export_path), recording_.recording_events,
                     settings_.key_mode, settings_.program, settings_.auto_bass != 0);
  if (error) ShowError(*error, doc_.export_name);
}

SaveAnswer FileCommands::AskSaveChanges() {
  const SaveAnswer answer = view_.AskSaveQuestion(
      FillFileMessage(view_.Translate("Document", kSaveQuestion), Shown(doc_.document_name)));
  if (answer != SaveAnswer::kYes) return answer;
  return Save() ? SaveAnswer::kYes : SaveAnswer::kCancel;
}

bool FileCommands::MayClose() {
  return !(doc_.modified_flag && AskSaveChanges() == SaveAnswer::kCancel);
}

void FileCommands::LoadFromCommandLine(std::string_view text) {
  if (text.empty()) {
    UpdateTitle();
    return;
  }
  // No path that long fits the document's name.
  if (CharacterCount(text) > kMaxCommandLineChars) {
    ShowError(FileError::kCannotOpen, text);
    doc_.document_name.clear();
    UpdateTitle();
    return;
  }
  doc_.document_name = std::string(text);
  doc_.document_path = std::string(text);
  QviReadResult read = ReadQviFile(PathFromUtf8(text));
  if (const FileError* error = std::get_if<FileError>(&read)) {
    ShowError(*error, text);
    doc_.document_name.clear();
    UpdateTitle();
    return;
  }
  const bool copied = Apply(std::get<RecordingFile>(std::move(read)));
  view_.SetTitle(Title(text));
  transport_.FileLoaded(true);
  // A failed copy leaves nothing to play.
  if (settings_.device_open != 0 && copied) view_.ArmAutoplayTimer(kAutoplayDelayMs);
}

void FileCommands::LoadRecovered(RecordingFile&& take) {
  Apply(std::move(take));
  doc_.document_path.clear();
  doc_.document_name.clear();
  doc_.modified_flag = true;
  view_.Repaint();
  UpdateTitle();
  transport_.FileLoaded(false);
}

}  // namespace tonvale
