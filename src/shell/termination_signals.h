// SIGTERM, SIGINT and SIGHUP as a Qt signal on the GUI thread, so that they
// end the program the ordinary way: the splash goes, or the main window
// closes (silencing and closing the output), and the exit code is 0.
#pragma once

#include <QObject>

namespace tonvale {

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  // One per process; where there are no such signals it never fires.
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;

 signals:
  void requested();

 private:
  void Drain();
};

}  // namespace tonvale
