// The About box: the splash picture, the program's name, a credit line and
// four links (contact, home page, two downloads). Modal, without a title
// bar, centred on the screen; Enter and Esc close it.
#pragma once

#include <QDialog>
#include <QUrl>
#include <array>
#include <functional>
#include <vector>

#include "help/about_links.h"

class QPushButton;

namespace tonvale {

class LinkLabel;

// Hands an address to the system (mail program, web browser). The About box
// does not look at the answer.
using UrlOpener = std::function<bool(const QUrl&)>;
bool OpenWithSystem(const QUrl& url);

// Shows the About box over `owner` and returns when it is closed. Links
// clicked stay marked as visited for the rest of the run.
void ShowAboutBox(QWidget* owner, const UrlOpener& open = OpenWithSystem);

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  // `visits` outlives the box and keeps the visited marks between openings.
  AboutBox(QWidget* owner, LinkVisits& visits, UrlOpener open);

  // The font the dialog units are measured in.
  static QFont DialogFont();

  QPushButton* okButton() const { return ok_; }
  LinkLabel* link(int index) const { return links_[index]; }
  // The rectangle a link is hit-tested against, in dialog coordinates.
  QRect linkRect(int index) const { return link_rects_[index]; }
  // All twelve controls, in the order of the dialog layout.
  const std::vector<QWidget*>& controls() const { return controls_; }

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  int LinkAt(const QPoint& point) const;  // index into kAboutLinks, or -1

  LinkVisits& visits_;
  UrlOpener open_;
  QPushButton* ok_ = nullptr;
  std::array<LinkLabel*, kLinkCount> links_{};
  std::array<QRect, kLinkCount> link_rects_{};
  std::vector<QWidget*> controls_;
};

}  // namespace tonvale
