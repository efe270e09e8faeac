#include "console_port_view.h"

#include "core/strings.h"
#include "scenario/user_messages.h"

#include <QMutexLocker>
#include <cstdio>

namespace zev7 {

namespace {
// Rows of the result table printed after each call: calls, successes, losses, norm, verdict.
constexpr std::size_t kCallsRow = 0;
constexpr std::size_t kSuccessRow = 1;
constexpr std::size_t kLossRow = 2;
constexpr std::size_t kNormRow = 3;
constexpr std::size_t kVerdictRow = kSummaryVerdictRow - 1;
}  // namespace

ConsolePortView::ConsolePortView(UserMessages& messages) : messages_(messages), out_(stdout) {
    out_.setEncoding(QStringConverter::Utf8);
}

void ConsolePortView::print(const QString& line) {
    QMutexLocker lock(&mutex_);
    if (outputClosed_) {
        return;
    }
    out_ << line << '\n';
    out_.flush();
    outputClosed_ = out_.status() != QTextStream::Ok;
}

void ConsolePortView::protocolLine(int /*port*/, const QString& line) {
    print(line);
}

void ConsolePortView::cycleStarted(int port, const CycleStartInfo& info) {
    print(txt(str::ConsoleCycleStart)
              .arg(port)
              .arg(info.cycleNumber)
              .arg(info.executionNumber)
              .arg(info.startText, info.outNumberText, info.inNumberText));
}

void ConsolePortView::callAccounted(int port, const CallRefresh& r) {
    const CallRowTexts& c = r.row;
    print(txt(str::ConsoleCallRow)
              .arg(port)
              .arg(c[0], c[1].trimmed(), c[2], c[3], c[4], c[5], c[6], c[7]));
    const SummaryTexts& s = r.summary;
    print(txt(str::ConsoleSummary)
              .arg(port)
              .arg(s[kCallsRow][0], s[kSuccessRow][0], s[kSuccessRow][1], s[kLossRow][0],
                   s[kLossRow][1], s[kNormRow][1], s[kVerdictRow][1]) +
          r.confidence.consoleSuffix());
}

void ConsolePortView::runFinished(int port, bool /*resumeMonitoring*/) {
    print(txt(str::ConsoleRunEnd).arg(port));
}

bool ConsolePortView::askLineHeld(int /*port*/, const QString& caption, const QString& text) {
    return messages_.ask(caption, text);
}

void ConsolePortView::setAnswerSettings(int port, const AnswerSettings& settings) {
    QMutexLocker lock(&mutex_);
    answerPages_[port] = settings;
}

bool ConsolePortView::takeAnswerSettings(int port, AnswerSettings& settings) {
    QMutexLocker lock(&mutex_);
    const auto page = answerPages_.find(port);
    if (page == answerPages_.end()) {
        return false;
    }
    settings = page->second;
    return true;
}

void ConsolePortView::showAnswerSettings(int port, const AnswerSettings& s) {
    {
        QMutexLocker lock(&mutex_);
        answerPages_[port] = s;
    }
    print(txt(str::ConsoleAnswerSettings)
              .arg(port)
              .arg(s.level)
              .arg(s.frequency)
              .arg(s.rings)
              .arg(s.delayOn)
              .arg(s.duration)
              .arg(s.delayOff)
              .arg(s.toneBand)
              .arg(s.toneThreshold));
}

void ConsolePortView::answerStationFinished(int port, ModePanel mode, bool /*monitoringEnded*/) {
    print(txt(str::ConsoleAnswerEnd).arg(port).arg(modePanelText(mode)));
}

}  // namespace zev7
