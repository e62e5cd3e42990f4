#include "shell/file_dialogs.h"

#include <QFileInfo>
#include <QMessageBox>

#include "shell/core_texts.h"

namespace tonvale {

QString QtFilterOf(const FileDialogSetup& setup) {
  return QStringLiteral("%1 (%2)").arg(CoreText("Document", setup.filter_description),
                                       QString::fromUtf8(setup.filter_pattern));
}

FileDialog::FileDialog(QWidget* owner, const FileDialogSetup& setup, const QString& initial_path)
    : QFileDialog(owner), setup_(setup) {
  // Qt's own dialog everywhere: the same prompts on every platform, and a
  // name field that typed keys reach.
  setOption(QFileDialog::DontUseNativeDialog);
  // The pattern is already part of the description.
  setOption(QFileDialog::HideNameFilterDetails);
  setNameFilter(QtFilterOf(setup));
  setDefaultSuffix(QString::fromUtf8(setup.default_extension));
  setAcceptMode(setup.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (setup.save) {
    setFileMode(QFileDialog::AnyFile);
    setOption(QFileDialog::DontConfirmOverwrite, !setup.prompt_overwrite);
  } else {
    // A name that does not exist gets through only past the create question.
    setFileMode(setup.prompt_create ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  }
  if (!initial_path.isEmpty()) {
    const QFileInfo info(initial_path);
    if (info.dir().exists()) setDirectory(info.absoluteDir());
    selectFile(info.fileName());
  }
  ask_create_ = [](QWidget* dialog, const QString& path) {
    const QString text = tr("%1\n该文件不存在。\n要创建该文件吗?").arg(QFileInfo(path).fileName());
    return QMessageBox::question(dialog, dialog->windowTitle(), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
}

void FileDialog::accept() {
  if (acceptMode() == QFileDialog::AcceptOpen && setup_.prompt_create) {
    const QStringList files = selectedFiles();
    if (!files.isEmpty()) {
      const QFileInfo info(files.first());
      if (!info.exists() && !files.first().isEmpty() && !info.fileName().isEmpty() &&
          !ask_create_(this, files.first())) {
        return;  // the dialog stays open
      }
    }
  }
  QFileDialog::accept();
}

std::optional<QString> QtFileDialogs::Choose(QWidget* owner, const FileDialogSetup& setup,
                                             const QString& initial_path) {
  FileDialog dialog(owner, setup, initial_path);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.first();
}

}  // namespace tonvale
