// The three file dialogs of the recording menu (load, save as, export)
// behind one seam, so that tests can answer them without a modal loop.
#pragma once

#include <QFileDialog>
#include <QString>
#include <optional>

#include "files/document.h"

class QWidget;

namespace tonvale {

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // A modal dialog owned by `owner`, opened on `initial_path`; the chosen
  // path, or nothing when it was cancelled.
  virtual std::optional<QString> Choose(QWidget* owner, const FileDialogSetup& setup,
                                        const QString& initial_path) = 0;
};

// The filter as Qt wants it: "QVI Files(*.QVI) (*.qvi)" keeps the shown
// description and matches by the pattern.
QString QtFilterOf(const FileDialogSetup& setup);

// A QFileDialog set up from a setup: one filter, the default extension, the
// initial name, and the prompts before replacing or creating a file.
class FileDialog : public QFileDialog {
  Q_OBJECT

 public:
  FileDialog(QWidget* owner, const FileDialogSetup& setup, const QString& initial_path);

  // The question asked before a name that does not exist is taken in an
  // open dialog; answers whether to take it. Default: a Yes/No box.
  using CreateQuestion = std::function<bool(QWidget* dialog, const QString& path)>;
  void SetCreateQuestion(CreateQuestion question) { ask_create_ = std::move(question); }

 public slots:
  void accept() override;

 private:
  FileDialogSetup setup_;
  CreateQuestion ask_create_;
};

// The real dialogs.
class QtFileDialogs : public FileDialogs {
 public:
  std::optional<QString> Choose(QWidget* owner, const FileDialogSetup& setup,
                                const QString& initial_path) override;
};

}  // namespace tonvale
