// The help window: the help pages in a browser with back, forward and home.
// A window of its own, owned by no other window; closing it only hides it.
#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace tonvale {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(const QUrl& start_page);

  // Shows `page` and brings the window to the front.
  void ShowPage(const QUrl& page);

  QTextBrowser* browser() const { return browser_; }

 private:
  void UpdateTitle();

  QUrl start_page_;
  QTextBrowser* browser_ = nullptr;
  QToolButton* back_ = nullptr;
  QToolButton* forward_ = nullptr;
};

}  // namespace tonvale
