// What the programs do with the operating system's signals.
//
// A fault (a crash, an abort, an exception nobody caught, a fatal Qt error) leaves its evidence
// in "ZEV7.crash" in the program directory and on standard error before the program dies of
// it: a machine that measured unattended for days tells the engineer what ended the run. The
// next start of the desktop program mentions the file once.
//
// A stop asked for by the system (SIGTERM at logout and shutdown, SIGHUP of a closed terminal,
// Ctrl+C) reaches the event loop as StopSignals::stopRequested, where the program ends as
// cleanly as by its own close; nothing of Qt runs inside the signal handler.
//
// The system-specific part is process_signals_posix.cpp.
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace zev7 {

inline constexpr char kFaultReportFileName[] = "ZEV7.crash";

// "ZEV7.crash" of the program directory.
QString faultReportPath();

// Installs the fault handlers; `program` names the program in the report. Called again after
// the program directory has changed, the report goes to the new one.
void installFaultReport(const char* program);

// The fault report of the program directory when a program ended by a fault that no start of
// the desktop program has mentioned yet; it is marked as mentioned. Empty otherwise.
QString takeUnmentionedFaultReport();

// Writes to an output whose reader has gone (a pipe into `head`) fail from now on instead of
// ending the program.
void ignoreBrokenPipe();

// From now on SIGTERM, SIGHUP and SIGINT are kept for the event loop instead of ending the
// program; a StopSignals object hands them on, also those that came before it existed.
void catchStopSignals();

class StopSignals : public QObject {
    Q_OBJECT

public:
    // Catches the stop signals (catchStopSignals) and watches for them.
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested(int signalNumber);

private:
    void take();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace zev7
