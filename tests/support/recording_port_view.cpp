#include "support/recording_port_view.h"

#include <QMutexLocker>

namespace zev7 {

void RecordingPortView::protocolLine(int /*port*/, const QString& line) {
    QMutexLocker lock(&mutex_);
    lines_.append(line);
    list_.append(line);
}

void RecordingPortView::modePanel(int /*port*/, ModePanel mode) {
    QMutexLocker lock(&mutex_);
    modes_.append(mode);
}

void RecordingPortView::callStatus(int port, int callNumber, CallStatus status) {
    QMutexLocker lock(&mutex_);
    statuses_.append({port, callNumber, status});
}

void RecordingPortView::cycleStarted(int /*port*/, const CycleStartInfo& info) {
    QMutexLocker lock(&mutex_);
    cycleStarts_.append(info);
}

void RecordingPortView::callAccounted(int /*port*/, const CallRefresh& refresh) {
    QMutexLocker lock(&mutex_);
    calls_.append(refresh);
}

void RecordingPortView::runFinished(int port, bool resumeMonitoring) {
    QMutexLocker lock(&mutex_);
    finished_.append(port);
    resumed_.append(resumeMonitoring);
}

void RecordingPortView::bringToFront(int /*port*/) {
    QMutexLocker lock(&mutex_);
    ++front_;
}

void RecordingPortView::beep(int /*port*/) {
    QMutexLocker lock(&mutex_);
    ++beeps_;
}

bool RecordingPortView::askLineHeld(int port, const QString& caption, const QString& text) {
    QMutexLocker lock(&mutex_);
    questions_.append({port, caption, text});
    if (answers_.empty()) {
        return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

bool RecordingPortView::speakerOn(int /*port*/) {
    QMutexLocker lock(&mutex_);
    return speaker_;
}

void RecordingPortView::refreshScheme() {
    QMutexLocker lock(&mutex_);
    ++scheme_;
}

bool RecordingPortView::takeAnswerSettings(int /*port*/, AnswerSettings& settings) {
    QMutexLocker lock(&mutex_);
    ++answerTaken_;
    if (!answerPage_) {
        return false;
    }
    settings = *answerPage_;
    return true;
}

void RecordingPortView::showAnswerSettings(int /*port*/, const AnswerSettings& settings) {
    QMutexLocker lock(&mutex_);
    answerShown_.append(settings);
    answerPage_ = settings;
}

void RecordingPortView::answerStationFinished(int port, ModePanel mode, bool monitoringEnded) {
    QMutexLocker lock(&mutex_);
    answerFinishes_.append({port, mode, monitoringEnded});
}

void RecordingPortView::answerThreadEnded(int port) {
    QMutexLocker lock(&mutex_);
    answerEnded_.append(port);
}

void RecordingPortView::setAnswerSettings(const AnswerSettings& settings) {
    QMutexLocker lock(&mutex_);
    answerPage_ = settings;
}

std::optional<AnswerSettings> RecordingPortView::answerPage() const {
    QMutexLocker lock(&mutex_);
    return answerPage_;
}

int RecordingPortView::answerSettingsTaken() const {
    QMutexLocker lock(&mutex_);
    return answerTaken_;
}

QList<AnswerSettings> RecordingPortView::answerSettingsShown() const {
    QMutexLocker lock(&mutex_);
    return answerShown_;
}

QList<RecordingPortView::AnswerFinish> RecordingPortView::answerFinishes() const {
    QMutexLocker lock(&mutex_);
    return answerFinishes_;
}

QList<int> RecordingPortView::answerThreadsEnded() const {
    QMutexLocker lock(&mutex_);
    return answerEnded_;
}

void RecordingPortView::queueLineHeldAnswer(bool yes) {
    QMutexLocker lock(&mutex_);
    answers_.push_back(yes);
}

void RecordingPortView::setSpeaker(bool on) {
    QMutexLocker lock(&mutex_);
    speaker_ = on;
}

QStringList RecordingPortView::protocolLines() const {
    QMutexLocker lock(&mutex_);
    return lines_;
}

QStringList RecordingPortView::protocolList() const {
    QMutexLocker lock(&mutex_);
    return list_.lines();
}

QList<ModePanel> RecordingPortView::modePanels() const {
    QMutexLocker lock(&mutex_);
    return modes_;
}

QList<RecordingPortView::Status> RecordingPortView::statuses() const {
    QMutexLocker lock(&mutex_);
    return statuses_;
}

QList<CycleStartInfo> RecordingPortView::cycleStarts() const {
    QMutexLocker lock(&mutex_);
    return cycleStarts_;
}

QList<CallRefresh> RecordingPortView::calls() const {
    QMutexLocker lock(&mutex_);
    return calls_;
}

QList<RecordingPortView::Question> RecordingPortView::questions() const {
    QMutexLocker lock(&mutex_);
    return questions_;
}

QList<int> RecordingPortView::finishedRuns() const {
    QMutexLocker lock(&mutex_);
    return finished_;
}

QList<bool> RecordingPortView::resumedMonitoring() const {
    QMutexLocker lock(&mutex_);
    return resumed_;
}

int RecordingPortView::beeps() const {
    QMutexLocker lock(&mutex_);
    return beeps_;
}

int RecordingPortView::broughtToFront() const {
    QMutexLocker lock(&mutex_);
    return front_;
}

int RecordingPortView::schemeRefreshes() const {
    QMutexLocker lock(&mutex_);
    return scheme_;
}

}  // namespace zev7
