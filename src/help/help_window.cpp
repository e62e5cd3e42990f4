#include "help/help_window.h"

#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace tonvale {

HelpWindow::HelpWindow(const QUrl& start_page) : QWidget(nullptr), start_page_(start_page) {
  // The help must not keep the program alive once the main window is gone.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(820, 640);

  auto* home = new QToolButton(this);
  home->setText(tr("目录"));
  back_ = new QToolButton(this);
  back_->setText(tr("后退"));
  forward_ = new QToolButton(this);
  forward_->setText(tr("前进"));
  auto* bar = new QHBoxLayout;
  bar->addWidget(home);
  bar->addWidget(back_);
  bar->addWidget(forward_);
  bar->addStretch();

  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);  // web addresses go to the browser
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(bar);
  layout->addWidget(browser_);

  back_->setEnabled(false);
  forward_->setEnabled(false);
  connect(home, &QToolButton::clicked, this, [this] { browser_->setSource(start_page_); });
  connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] { UpdateTitle(); });

  browser_->setSource(start_page_);
  UpdateTitle();
}

void HelpWindow::ShowPage(const QUrl& page) {
  if (browser_->source() != page) browser_->setSource(page);
  show();
  raise();
  activateWindow();
}

void HelpWindow::UpdateTitle() {
  // The start page of each language is titled with these words.
  const QString help = tr("Tonvale 帮助");
  const QString page = browser_->documentTitle();
  // A page already titled as the help (the start page) is not named twice.
  setWindowTitle(page.isEmpty() || page.startsWith(help) ? help
                                                         : help + QStringLiteral(" - ") + page);
}

}  // namespace tonvale
