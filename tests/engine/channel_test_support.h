// Helpers of the channel tests: a host that records what the channel tells the port thread,
// and batch-mode messages.
#pragma once

#include "engine/modem/channel_host.h"
#include "support/recording_messages.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace zev7::test {

class RecordingHost : public ChannelHost {
public:
    void reportStatus(PortEvent event) override { statuses.append(event); }
    bool answeringNow() const override { return answering; }
    bool inTestCall() const override { return inCall; }
    void restartTestCall() override { ++restarts; }
    void stopPolling() override { ++pollingStops; }
    void levelSample(std::uint16_t word) override {
        samples.append(word);
        if (onSample) {
            onSample(word);
        }
    }
    void bringToFront() override { ++broughtToFront; }
    void pendingMessage(const QString& text) override { pending.append(text); }

    bool answering = false;
    bool inCall = false;
    QList<PortEvent> statuses;
    QList<std::uint16_t> samples;
    QStringList pending;
    int restarts = 0;
    int pollingStops = 0;
    int broughtToFront = 0;

    std::function<void(std::uint16_t)> onSample;
};

// Batch mode: every message is logged (recorded here), questions must not be asked.
class BatchMessages : public RecordingMessages {
public:
    bool batchMode() const override { return true; }
    void abortBatch(int code) override { aborts.append(code); }
    QList<int> aborts;
};

}  // namespace zev7::test
