#include "shell/recovery.h"

#include <QCoreApplication>
#include <string>

#include "files/document.h"
#include "files/journal_file.h"
#include "files/kept_copy.h"
#include "files/safe_write.h"
#include "shell/notices.h"

namespace tonvale {

namespace {

QString Caption() {
  return QString::fromUtf8(kFileMessageCaption);
}

QString Shown(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return QString::fromStdString(std::string(text.begin(), text.end()));
}

bool AskYes(Notices& notices, const QString& text) {
  return notices.Show(nullptr, text, Caption(), Notices::Icon::kQuestion,
                      QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

std::optional<RecoveredTake> OfferLeftovers(Notices& notices,
                                            const std::filesystem::path& state_folder,
                                            const std::function<bool()>& ended) {
  if (state_folder.empty()) return std::nullopt;
  SweepLeftTemporaries(state_folder);

  for (LeftCopy& left : FindLeftCopies(state_folder)) {
    const bool yes = AskYes(
        notices,
        QCoreApplication::translate("Recovery", "保存文件%1时程序意外中断，是否恢复它原来的内容？")
            .arg(Shown(left.target)));
    if (ended()) return std::nullopt;
    if (!yes) {
      DiscardLeftCopy(left);
    } else if (const std::optional<FileError> error = RestoreLeftCopy(left)) {
      // Kept, to be offered again.
      const QString text = QString::fromStdString(
          FileMessage(*error, std::string(Shown(left.target).toStdString())));
      notices.Beep(Notices::Icon::kWarning);
      notices.Show(nullptr, text, Caption(), Notices::Icon::kWarning);
    }
  }

  for (LeftJournal& left : FindLeftJournals(state_folder)) {
    const bool yes =
        AskYes(notices, QCoreApplication::translate("Recovery", "上次的录音没有保存，是否恢复？"));
    if (ended()) return std::nullopt;
    if (yes) return RecoveredTake{std::move(left.take), std::move(left.file)};
    left.file.Remove();
  }
  return std::nullopt;
}

}  // namespace tonvale
