// Termination signals arrive as one Qt signal each, on the GUI thread.
#include "shell/termination_signals.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

class TerminationSignalsTest : public QObject {
  Q_OBJECT

 private slots:
  void eachSignalIsDeliveredOnTheGuiThreadThenDefaultsComeBack() {
#ifdef Q_OS_UNIX
    {
      tonvale::TerminationSignals signals_;
      QThread* delivered_on = nullptr;
      connect(&signals_, &tonvale::TerminationSignals::requested, this,
              [&delivered_on] { delivered_on = QThread::currentThread(); });
      QSignalSpy spy(&signals_, &tonvale::TerminationSignals::requested);
      ::raise(SIGTERM);  // would end the test program if it were not caught
      QTRY_COMPARE(spy.count(), 1);
      QCOMPARE(delivered_on, QThread::currentThread());
      ::raise(SIGINT);
      ::raise(SIGHUP);
      QTRY_COMPARE(spy.count(), 3);
    }
    struct sigaction now = {};
    sigaction(SIGTERM, nullptr, &now);
    QVERIFY(now.sa_handler == SIG_DFL);
    // A second instance works again.
    tonvale::TerminationSignals again;
    QSignalSpy spy(&again, &tonvale::TerminationSignals::requested);
    ::raise(SIGTERM);
    QTRY_COMPARE(spy.count(), 1);
#endif
  }
};

QTEST_GUILESS_MAIN(TerminationSignalsTest)
#include "termination_signals_test.moc"
