// The POSIX side of process_signals.h. What runs inside a signal handler here is
// async-signal-safe: the report's texts and the file's name are prepared when the handlers are
// installed, and the handler only formats numbers, opens, writes and closes.
#include <QtGlobal>

#if !defined(Q_OS_WIN)

#include "core/process_signals.h"

#include "core/strings.h"

#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <QSocketNotifier>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <exception>

namespace zev7 {

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
constexpr int kStopSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int kMaxFrames = 64;
constexpr std::size_t kTextSize = 512;
constexpr std::size_t kPathSize = 4096;
// A stack overflow leaves no stack for the handler: it runs on a stack of its own.
constexpr std::size_t kAltStackSize = 64 * 1024;

// Prepared at installation, read by the handlers.
char reportPath[kPathSize];
char programLine[kTextSize];
char titleText[kTextSize];
char timeLabel[kTextSize];
char reasonLabel[kTextSize];
char stackLabel[kTextSize];
alignas(16) char altStack[kAltStackSize];
// The first fault writes the report; a second one (another thread, the abort that follows a
// fatal Qt error) only ends the program.
std::atomic<bool> reportWritten{false};
QtMessageHandler previousMessageHandler = nullptr;
int stopPipe[2] = {-1, -1};

void copyText(char* to, const QByteArray& from) {
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(from.size()), kTextSize - 1);
    std::memcpy(to, from.constData(), n);
    to[n] = '\0';
}

void writeAll(int fd, const char* text, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, text, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        text += n;
        size -= static_cast<std::size_t>(n);
    }
}

void writeText(int fd, const char* text) {
    writeAll(fd, text, std::strlen(text));
}

// `value` in decimal, at least `width` digits.
void writeNumber(int fd, long long value, int width = 1) {
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(value)
                                    : static_cast<unsigned long long>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && n < 20);
    while (n < width && n < 20) {
        digits[n++] = '0';
    }
    if (negative) {
        digits[n++] = '-';
    }
    char text[24];
    for (int i = 0; i < n; ++i) {
        text[i] = digits[n - 1 - i];
    }
    writeAll(fd, text, static_cast<std::size_t>(n));
}

// "2026-12-09 13:40:12": the calendar of the seconds since 1970 (UTC), without the C library's
// time functions, which a handler may not call.
void writeUtcTime(int fd) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const long long seconds = now.tv_sec;
    long long days = seconds / 86400;
    const long long inDay = seconds % 86400;
    // Civil date from a day number (H. Hinnant's algorithm).
    days += 719468;
    const long long era = days / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    writeNumber(fd, year, 4);
    writeText(fd, "-");
    writeNumber(fd, month, 2);
    writeText(fd, "-");
    writeNumber(fd, day, 2);
    writeText(fd, " ");
    writeNumber(fd, inDay / 3600, 2);
    writeText(fd, ":");
    writeNumber(fd, inDay / 60 % 60, 2);
    writeText(fd, ":");
    writeNumber(fd, inDay % 60, 2);
}

void writeReport(int fd, const char* reason, const char* detail, void* const* frames, int count) {
    writeText(fd, titleText);
    writeText(fd, "\n");
    writeText(fd, programLine);
    writeText(fd, "\n");
    writeText(fd, timeLabel);
    writeUtcTime(fd);
    writeText(fd, "\n");
    writeText(fd, reasonLabel);
    writeText(fd, reason);
    if (detail != nullptr && detail[0] != '\0') {
        writeText(fd, ": ");
        writeText(fd, detail);
    }
    writeText(fd, "\n");
    writeText(fd, stackLabel);
    writeText(fd, "\n");
    ::backtrace_symbols_fd(frames, count, fd);
}

void writeFaultReport(const char* reason, const char* detail) {
    if (reportWritten.exchange(true)) {
        return;
    }
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    if (reportPath[0] != '\0') {
        const int fd = ::open(reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd >= 0) {
            writeReport(fd, reason, detail, frames, count);
            ::fsync(fd);
            ::close(fd);
        }
    }
    writeText(STDERR_FILENO, "\n");
    writeReport(STDERR_FILENO, reason, detail, frames, count);
}

const char* signalName(int signalNumber) {
    switch (signalNumber) {
        case SIGSEGV:
            return "SIGSEGV";
        case SIGABRT:
            return "SIGABRT";
        case SIGBUS:
            return "SIGBUS";
        case SIGFPE:
            return "SIGFPE";
        case SIGILL:
            return "SIGILL";
        default:
            return "signal";
    }
}

extern "C" void onFatalSignal(int signalNumber) {
    const int savedErrno = errno;
    writeFaultReport(signalName(signalNumber), nullptr);
    // The handler was reset to the default on entry: the signal, raised again, ends the
    // program as it would have without us (a core file where the system keeps them).
    ::raise(signalNumber);
    errno = savedErrno;
}

[[noreturn]] void onTerminate() {
    char detail[kTextSize] = "";
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            std::strncpy(detail, e.what(), kTextSize - 1);
        } catch (...) {
            std::strncpy(detail, "?", kTextSize - 1);
        }
    }
    writeFaultReport("std::terminate", detail);
    std::abort();
}

void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        writeFaultReport("qFatal", message.toLocal8Bit().constData());
    }
    if (previousMessageHandler != nullptr) {
        previousMessageHandler(type, context, message);
    }
}

extern "C" void onStopSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

void installFaultReport(const char* program) {
    const QByteArray path = QFile::encodeName(faultReportPath());
    if (static_cast<std::size_t>(path.size()) < kPathSize) {
        std::memcpy(reportPath, path.constData(), static_cast<std::size_t>(path.size()) + 1);
    }
    copyText(programLine,
             QByteArray(str::FaultReportProgram) + program + ' ' + str::ProgramVersion);
    copyText(titleText, QByteArray(str::FaultReportTitle));
    copyText(timeLabel, QByteArray(str::FaultReportTime));
    copyText(reasonLabel, QByteArray(str::FaultReportReason));
    copyText(stackLabel, QByteArray(str::FaultReportStack));

    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    // The first backtrace loads what it needs; in the handler it must not.
    void* frames[1];
    ::backtrace(frames, 1);

    stack_t stack{};
    stack.ss_sp = altStack;
    stack.ss_size = sizeof altStack;
    ::sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_ONSTACK;
    for (const int s : kFatalSignals) {
        ::sigaction(s, &action, nullptr);
    }
    std::set_terminate(onTerminate);
    previousMessageHandler = qInstallMessageHandler(onQtMessage);
}

void ignoreBrokenPipe() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, nullptr);
}

void catchStopSignals() {
    if (stopPipe[0] >= 0) {
        return;
    }
    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kStopSignals) {
        ::sigaction(s, &action, nullptr);
    }
}

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    catchStopSignals();
    if (stopPipe[0] < 0) {
        return;
    }
    notifier_ = new QSocketNotifier(stopPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::take);
    // Signals that came before the event loop ran are waiting in the pipe already.
    QMetaObject::invokeMethod(this, &StopSignals::take, Qt::QueuedConnection);
}

StopSignals::~StopSignals() = default;

void StopSignals::take() {
    char received[16];
    for (;;) {
        const ssize_t n = ::read(stopPipe[0], received, sizeof received);
        if (n <= 0) {
            return;
        }
        for (ssize_t i = 0; i < n; ++i) {
            emit stopRequested(static_cast<unsigned char>(received[i]));
        }
    }
}

}  // namespace zev7

#endif
