// A port view for tests: keeps every call in order, keeps the protocol list as the window does
// (at most 301 lines), and answers the line-held questions from a queue (No when empty). Its
// answering-station page holds the settings last set or shown; without any, taking settings
// finds no window.
#pragma once

#include "engine/protocol/protocol_list.h"
#include "engine/view/port_view.h"

#include <QList>
#include <QMutex>
#include <QStringList>
#include <deque>
#include <optional>

namespace zev7 {

class RecordingPortView : public PortView {
public:
    struct Question {
        int port = 0;
        QString caption;
        QString text;
    };
    struct Status {
        int port = 0;
        int callNumber = 0;
        CallStatus status = CallStatus::WaitDialTone;
    };
    struct AnswerFinish {
        int port = 0;
        ModePanel mode = ModePanel::NotSet;
        bool monitoringEnded = false;
    };

    void protocolLine(int port, const QString& line) override;
    void modePanel(int port, ModePanel mode) override;
    void callStatus(int port, int callNumber, CallStatus status) override;
    void cycleStarted(int port, const CycleStartInfo& info) override;
    void callAccounted(int port, const CallRefresh& refresh) override;
    void runFinished(int port, bool resumeMonitoring) override;
    void bringToFront(int port) override;
    void beep(int port) override;
    bool askLineHeld(int port, const QString& caption, const QString& text) override;
    bool speakerOn(int port) override;
    void refreshScheme() override;
    bool takeAnswerSettings(int port, AnswerSettings& settings) override;
    void showAnswerSettings(int port, const AnswerSettings& settings) override;
    void answerStationFinished(int port, ModePanel mode, bool monitoringEnded) override;
    void answerThreadEnded(int port) override;

    void queueLineHeldAnswer(bool yes);
    void setSpeaker(bool on);
    // The controls of the answering-station page, as the user left them.
    void setAnswerSettings(const AnswerSettings& settings);

    // Every protocol line ever shown (the window's list may have been emptied since).
    QStringList protocolLines() const;
    // The window's list now.
    QStringList protocolList() const;
    QList<ModePanel> modePanels() const;
    QList<Status> statuses() const;
    QList<CycleStartInfo> cycleStarts() const;
    QList<CallRefresh> calls() const;
    QList<Question> questions() const;
    QList<int> finishedRuns() const;  // ports whose run ended
    QList<bool> resumedMonitoring() const;
    int beeps() const;
    int broughtToFront() const;
    int schemeRefreshes() const;
    // The page's controls now (nullopt: never set nor shown).
    std::optional<AnswerSettings> answerPage() const;
    int answerSettingsTaken() const;
    QList<AnswerSettings> answerSettingsShown() const;
    QList<AnswerFinish> answerFinishes() const;
    QList<int> answerThreadsEnded() const;

private:
    mutable QMutex mutex_;
    QStringList lines_;
    ProtocolList list_;
    QList<ModePanel> modes_;
    QList<Status> statuses_;
    QList<CycleStartInfo> cycleStarts_;
    QList<CallRefresh> calls_;
    QList<Question> questions_;
    QList<int> finished_;
    QList<bool> resumed_;
    std::deque<bool> answers_;
    bool speaker_ = false;
    int beeps_ = 0;
    int front_ = 0;
    int scheme_ = 0;
    std::optional<AnswerSettings> answerPage_;
    int answerTaken_ = 0;
    QList<AnswerSettings> answerShown_;
    QList<AnswerFinish> answerFinishes_;
    QList<int> answerEnded_;
};

}  // namespace zev7
