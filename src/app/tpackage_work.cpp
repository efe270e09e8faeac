#include "app/tpackage_work.h"

#include "core/file_writes.h"
#include "core/port_run_marker.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "core/text_codec.h"
#include "engine/serial/serial_port_names.h"
#include "scenario/scenario_file.h"

#include <QFile>
#include <QTextStream>

namespace zev7 {

namespace {

// The log's line end, the same on every platform: the programs that read the log mostly run
// on Windows, and a "\r\n" line reads as one line everywhere.
constexpr char kLogLineEnd[] = "\r\n";
// The break file is a word or two; more is not read.
constexpr qint64 kBreakFileReadBytes = 4096;

// One log line: the prefix, the text without its line breaks, a blank. Appended to the file,
// which is opened and closed for it; false when it could not be written.
bool appendLogLine(const QString& text) {
    QString line = text;
    line.remove(u'\r');
    line.remove(u'\n');
    const QByteArray bytes = toCp1251(txt(str::BatchLogPrefix) + line + u' ') + kLogLineEnd;
    // A line cut short by a full disk is taken back: the log keeps whole lines.
    const QString error = appendFileBytes(TPackageWork::logPath(), bytes);
    if (error.isEmpty()) {
        return true;
    }
    // Nobody reads a log that cannot be written; the line is not lost on standard error.
    QTextStream(stderr) << txt(str::BatchLogFailed).arg(TPackageWork::logPath(), error) << '\n'
                        << txt(str::BatchLogPrefix) << line << '\n';
    return false;
}

}  // namespace

int batchExitCode(int resultCode, bool logWritten) {
    if (resultCode == kBatchSucceeded) {
        return logWritten ? kBatchExitSucceeded : kBatchExitLogLost;
    }
    if (resultCode >= kBatchClosing && resultCode <= kBatchBroken) {
        return kBatchExitNoResult - resultCode;
    }
    return kBatchExitNoResult;
}

TPackageWork::TPackageWork(QString schedulePath, BatchHost host, QObject* parent)
    : QObject(parent), schedulePath_(std::move(schedulePath)), host_(std::move(host)) {
    timer1_.setInterval(kBreakCheckMs);
    connect(&timer1_, &QTimer::timeout, this, &TPackageWork::CheckBreak);
}

TPackageWork::~TPackageWork() {
    writeFinalLine();
}

void TPackageWork::writeFinalLine() {
    if (finalLineWritten_) {
        return;
    }
    finalLineWritten_ = true;
    const QString text = finalText(resultCode_);
    if (!text.isEmpty()) {
        Log(text);
    }
}

bool TPackageWork::logStartFailure(const QString& text) {
    QFile::remove(logPath());
    const bool why = appendLogLine(text);
    return appendLogLine(finalText(kBatchClosing)) && why;
}

QString TPackageWork::logPath() {
    return programPath(QString::fromLatin1(kBatchLogName));
}

QString TPackageWork::finalText(int code) {
    switch (code) {
        case kBatchSucceeded:
            return txt(str::BatchSucceeded);
        case kBatchBroken:
            return txt(str::BatchBroken);
        case kBatchMalformed:
            return txt(str::BatchMalformed);
        case kBatchNoPort:
            return txt(str::BatchNoPort);
        case kBatchNoWindow:
            return txt(str::BatchNoWindow);
        case kBatchClosing:
            return txt(str::BatchClosing);
        default:
            return {};
    }
}

void TPackageWork::Log(const QString& text) {
    logWritten_ = appendLogLine(text) && logWritten_;
}

void TPackageWork::Finish(int code) {
    resultCode_ = code;
    if (closePosted_) {
        return;
    }
    closePosted_ = true;
    if (host_.close) {
        host_.close();
    }
}

void TPackageWork::Start() {
    // A log that cannot be deleted would hand the previous run's last line on as this run's.
    if (QFile::exists(logPath()) && !QFile::remove(logPath())) {
        logWritten_ = false;
    }
    timer1_.start();
    schedule_ = readBatchSchedule(schedulePath_);
    if (schedule_.malformed()) {
        // Nobody is at the keyboard to close the program: it closes with the code.
        Log(schedule_.problem);
        Finish(kBatchMalformed);
        return;
    }
    if (!matchPorts()) {
        return;
    }
    startItems();
}

bool TPackageWork::matchPorts() {
    for (const BatchItem& item : schedule_.items) {
        if (!host_.portListed(item.port)) {
            Log(txt(str::BatchPortNotFound).arg(item.port));
            Finish(kBatchNoPort);
            return false;
        }
    }
    return true;
}

void TPackageWork::startItems() {
    for (const BatchItem& item : schedule_.items) {
        if (!startItem(item) || resultCode_ < 0) {
            return;
        }
    }
    // Every scenario has ended already while the next ones started.
    if (resultCode_ == kBatchRunning && !anyPortRunning()) {
        succeed();
    }
}

bool TPackageWork::startItem(const BatchItem& item) {
    const QString scenario = programPath(QStringLiteral("Scenar/") + item.scenario);
    // A port never run before has no working copy, and its window would refuse to open in
    // batch mode: the scheduled scenario, when it reads, is the one it will run anyway.
    const QString working = workingCopyPath(item.port);
    if (!QFile::exists(working) && readScenarioFile(scenario).status == ScenarioFileStatus::Ok) {
        // Only while no other program runs the port; its window takes the marker for the run.
        PortRunMarker marker(item.port);
        if (marker.acquire()) {
            QFile::copy(scenario, working);
        }
    }
    QWidget* window = host_.openPortWindow(item.port);
    if (window == nullptr) {
        Finish(kBatchNoWindow);
        return false;
    }
    if (resultCode_ < 0) {
        return false;
    }
    if (!host_.loadScenario(window, scenario)) {
        if (resultCode_ == kBatchRunning) {
            Log(txt(str::BatchScenarioNotLoaded).arg(item.port).arg(item.scenario));
            Finish(kBatchClosing);
        }
        return false;
    }
    host_.startScenario(window);
    if (resultCode_ == kBatchRunning && !host_.portRunning(item.port)) {
        Log(txt(str::BatchNotStarted).arg(item.port));
        Finish(kBatchClosing);
        return false;
    }
    return true;
}

bool TPackageWork::anyPortRunning() const {
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        if (host_.portRunning(port)) {
            return true;
        }
    }
    return false;
}

void TPackageWork::succeed() {
    resultCode_ = kBatchSucceeded;
    if (schedule_.closeAtEnd) {
        Finish(kBatchSucceeded);
    }
}

void TPackageWork::portThreadEnded() {
    if (resultCode_ == kBatchRunning && !anyPortRunning()) {
        succeed();
    }
}

void TPackageWork::CheckBreak() {
    QFile file(programPath(QString::fromLatin1(kBatchBreakName)));
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    if (firstWord(file.read(kBreakFileReadBytes)).toUpper() == QStringLiteral("BREAK")) {
        timer1_.stop();
        Finish(kBatchBroken);
    }
}

QString TPackageWork::ReportName(int port) const {
    for (const BatchItem& item : schedule_.items) {
        if (item.port == port) {
            return item.report;
        }
    }
    return {};
}

}  // namespace zev7
