#include "shell/notices.h"

#include <QApplication>

namespace tonvale {

namespace {

QMessageBox::Icon ToQt(Notices::Icon icon) {
  switch (icon) {
    case Notices::Icon::kError:
      return QMessageBox::Critical;
    case Notices::Icon::kWarning:
      return QMessageBox::Warning;
    case Notices::Icon::kQuestion:
      return QMessageBox::Question;
    case Notices::Icon::kNone:
      return QMessageBox::NoIcon;
    case Notices::Icon::kInformation:
      break;
  }
  return QMessageBox::Information;
}

}  // namespace

void QtNotices::Beep(Icon) {
  QApplication::beep();
}

QMessageBox::StandardButton QtNotices::Show(QWidget* owner, const QString& text,
                                            const QString& caption, Icon icon,
                                            QMessageBox::StandardButtons buttons) {
  QMessageBox box(ToQt(icon), caption, text, buttons, owner);
  // As a question box of the platform does: Yes is the button Return gives.
  if (buttons.testFlag(QMessageBox::Yes)) box.setDefaultButton(QMessageBox::Yes);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace tonvale
