// A port view for tests: keeps every call in order, keeps the protocol list as the window does
// (at most 301 lines), and answers the line-held questions from a queue (No when empty).
#pragma once

#include "engine/port_view.h"
#include "engine/protocol_list.h"

#include <QList>
#include <QMutex>
#include <QStringList>
#include <deque>

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

    void queueLineHeldAnswer(bool yes);
    void setSpeaker(bool on);

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
};

}  // namespace zev7
