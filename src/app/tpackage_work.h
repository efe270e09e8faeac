// TPackageWork, the batch controller: zev7 started with a schedule runs it with nobody at the
// keyboard. It reads the schedule, finds every listed port in the port list, opens each port's
// window, loads the scenario and starts it; it writes what happens to the log "ZEV7.end"
// (Windows-1251, "\r\n" line ends, opened and closed for every line), looks for the break file
// "ZEV7.brk" every 5 s, and has the program closed when the last port thread has ended, when an
// error ends the run, or on BREAK. While it exists the program's messages become log lines
// (BatchMessages). Its destruction writes the final line of its result code.
#pragma once

#include "scenario/batch_failure.h"
#include "scenario/batch_schedule.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QWidget;

namespace zev7 {

// The result codes of a batch run.
enum BatchCode : int {
    kBatchRunning = 0,  // no final line
    kBatchSucceeded = 1,
    kBatchBroken = -1,
    kBatchMalformed = -2,
    kBatchNoPort = -3,
    kBatchNoWindow = -4,
    kBatchClosing = kBatchErrorCode,  // an error ended the run
};

// zev7's exit code after batch mode: 0 only when the run succeeded and its log was written, so
// that a scheduler that reads only the exit code never takes a failed run for a good one.
inline constexpr int kBatchExitSucceeded = 0;
inline constexpr int kBatchExitLogLost = 3;    // the run succeeded, its log could not be written
inline constexpr int kBatchExitNoResult = 10;  // closed before the ports had ended (code 0)
// 10 + |code| for codes -1..-5: 11 broken, 12 malformed, 13 no port, 14 no window, 15 error.
int batchExitCode(int resultCode, bool logWritten);

// How often the break file is looked for.
inline constexpr int kBreakCheckMs = 5000;
inline constexpr char kBatchLogName[] = "ZEV7.end";
inline constexpr char kBatchBreakName[] = "ZEV7.brk";

// What the controller does through the main window and the supervisor.
struct BatchHost {
    // The port is in the main window's port list.
    std::function<bool(int port)> portListed;
    // OpenPortWindow; nullptr when the window cannot be made.
    std::function<QWidget*(int port)> openPortWindow;
    // Loads the scenario file into the window; false on failure (reported by the window).
    std::function<bool(QWidget* window, const QString& path)> loadScenario;
    // The Start command of the window, without any question.
    std::function<void(QWidget* window)> startScenario;
    // The port has a thread that has not been joined yet.
    std::function<bool(int port)> portRunning;
    // Asks the main window to close (without the question); called once.
    std::function<void()> close;
};

class TPackageWork : public QObject {
    Q_OBJECT

public:
    TPackageWork(QString schedulePath, BatchHost host, QObject* parent = nullptr);
    // Writes the final line of the result code, unless writeFinalLine() has.
    ~TPackageWork() override;

    // Deletes the old log, reads the schedule, matches the ports and starts every item; the
    // break check runs from now on.
    void Start();
    // Ends the run with `code`; the first call has the program closed, later ones only
    // change the code.
    void Finish(int code);
    // One log line: the prefix, the text without its line breaks, a blank.
    void Log(const QString& text);
    // BREAK in "ZEV7.brk" ends the run with -1.
    void CheckBreak();
    // The report name of the port's item; empty when the port has none.
    QString ReportName(int port) const;
    // A port thread has ended: when none is left, the run has succeeded.
    void portThreadEnded();
    // The final line of the result code, once.
    void writeFinalLine();
    // Every line of this run reached the log so far.
    bool logWritten() const { return logWritten_; }

    int resultCode() const { return resultCode_; }
    bool closeAtEnd() const { return schedule_.closeAtEnd; }
    const BatchSchedule& schedule() const { return schedule_; }
    const QTimer& breakTimer() const { return timer1_; }

    // The final line's text of a result code (empty for 0 and unknown codes).
    static QString finalText(int code);
    static QString logPath();
    // A start of zev7 in batch mode that failed before the controller existed (no folders, a
    // bad ZEV7_TIME_SCALE): the previous run's log goes, and the log says why this one did not
    // run, with the final line of -5. False when the log could not be written.
    static bool logStartFailure(const QString& text);

private:
    bool matchPorts();
    void startItems();
    bool startItem(const BatchItem& item);
    bool anyPortRunning() const;
    void succeed();

    QString schedulePath_;
    BatchHost host_;
    BatchSchedule schedule_;
    int resultCode_ = kBatchRunning;
    bool closePosted_ = false;
    bool finalLineWritten_ = false;
    bool logWritten_ = true;
    QTimer timer1_;
};

}  // namespace zev7
