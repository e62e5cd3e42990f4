// The help command: finds the help pages on the first request, opens the
// start page in the help window and reuses that window afterwards. When the
// pages cannot be found the command does nothing, says nothing, and later
// requests return at once without looking again.
#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace tonvale {

class HelpWindow;

class HelpLauncher {
 public:
  // Answers the folder holding the help pages, or an empty string.
  using FolderFinder = std::function<QString()>;

  HelpLauncher();
  explicit HelpLauncher(FolderFinder find);
  ~HelpLauncher();
  HelpLauncher(const HelpLauncher&) = delete;
  HelpLauncher& operator=(const HelpLauncher&) = delete;

  void Open();

  // The help window, once the first request has made it.
  HelpWindow* window() const { return window_.get(); }

 private:
  FolderFinder find_;
  bool searched_ = false;
  QString folder_;
  std::unique_ptr<HelpWindow> window_;
};

}  // namespace tonvale
