// Message boxes and beeps, behind one seam so that tests can answer them
// without a modal loop.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace tonvale {

class Notices {
 public:
  enum class Icon { kNone, kError, kWarning, kInformation, kQuestion };

  virtual ~Notices() = default;
  virtual void Beep(Icon icon) = 0;
  // Shows a message box owned by `owner` (none: null); returns the button
  // chosen, the escape button when the box was closed. Yes, where there is
  // one, is the default button.
  virtual QMessageBox::StandardButton Show(QWidget* owner, const QString& text,
                                           const QString& caption, Icon icon,
                                           QMessageBox::StandardButtons buttons) = 0;
  QMessageBox::StandardButton Show(QWidget* owner, const QString& text, const QString& caption,
                                   Icon icon) {
    return Show(owner, text, caption, icon, QMessageBox::Ok);
  }
};

// The real thing: QMessageBox and the system beep.
class QtNotices : public Notices {
 public:
  void Beep(Icon icon) override;
  QMessageBox::StandardButton Show(QWidget* owner, const QString& text, const QString& caption,
                                   Icon icon, QMessageBox::StandardButtons buttons) override;
  using Notices::Show;
};

}  // namespace tonvale
