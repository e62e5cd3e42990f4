// The program's name as the About box's large red title.
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

namespace tonvale {

inline const QColor kTitleColour{255, 0, 0};

// "Times New Roman", bold, 24 point.
QFont TitleFont();

class TitleLabel : public QWidget {
  Q_OBJECT

 public:
  TitleLabel(const QString& text, QWidget* parent);

  QString text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace tonvale
