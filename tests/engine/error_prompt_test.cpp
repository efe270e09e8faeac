// The rules by which a channel's failures reach the user: warning, question, batch log, the
// port closed around the question, and the failed exchanges that pass silently.
#include "engine/modem/error_prompt.h"

#include "channel_test_support.h"
#include "core/strings.h"
#include "scenario/batch_failure.h"

#include <gtest/gtest.h>

namespace zev7 {
namespace {

using test::BatchMessages;

// Records the port's steps in the order they happen, with the questions between them.
class TracingPort : public ErrorPrompt::Port {
public:
    explicit TracingPort(QStringList& trace) : trace_(trace) {}
    void close() override { trace_ << QStringLiteral("close"); }
    void reopen() override { trace_ << QStringLiteral("reopen"); }

private:
    QStringList& trace_;
};

class TracingMessages : public RecordingMessages {
public:
    explicit TracingMessages(QStringList& trace) : trace_(trace) {}
    bool ask(const QString& caption, const QString& text) override {
        trace_ << QStringLiteral("ask");
        return RecordingMessages::ask(caption, text);
    }

private:
    QStringList& trace_;
};

TEST(ErrorPrompt, SilentModemIsAQuestionWithThePortClosedWhileTheUserThinks) {
    QStringList trace;
    TracingMessages messages(trace);
    TracingPort port(trace);
    ErrorPrompt prompt(messages, {});
    messages.queueAnswer(true);
    EXPECT_TRUE(prompt.report("c", "b", ModemErrorCode::NoAnswer, false, port));
    EXPECT_EQ(trace, (QStringList{"close", "ask", "reopen"}));
    EXPECT_TRUE(messages.entries().front().text.endsWith(txt(str::ModemTryToContinue)));

    // No keeps the answer; the answering station's channel leaves its port open.
    trace.clear();
    ErrorPrompt station(messages, {.silentRetries = false, .reopenOnQuestion = false});
    EXPECT_FALSE(station.report("c", "b", ModemErrorCode::NoAnswer, false, port));
    EXPECT_EQ(trace, QStringList{"ask"});
}

TEST(ErrorPrompt, OtherFailuresAndStoppingThreadsOnlyWarn) {
    QStringList trace;
    TracingMessages messages(trace);
    TracingPort port(trace);
    ErrorPrompt prompt(messages, {});
    messages.setDefaultAnswer(true);
    EXPECT_FALSE(prompt.report("c", "b", ModemErrorCode::WrongModel, false, port));
    EXPECT_FALSE(prompt.report("c", "b", ModemErrorCode::NoAnswer, true, port));
    EXPECT_TRUE(trace.isEmpty());  // nothing asked, the port left as it is
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.entries().front().icon, MessageIcon::Warning);
}

TEST(ErrorPrompt, BatchModeLogsTheSilentModemAndEndsTheBatch) {
    QStringList trace;
    BatchMessages messages;
    TracingPort port(trace);
    ErrorPrompt prompt(messages, {});
    EXPECT_FALSE(prompt.report("c", "b", ModemErrorCode::NoAnswer, false, port));
    EXPECT_EQ(trace, (QStringList{"close", "reopen"}));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_FALSE(messages.entries().front().question);
    EXPECT_EQ(messages.aborts, QList<int>{kBatchErrorCode});
}

TEST(ErrorPrompt, FiveFailuresPassSilentlyAfterEachFinishedCall) {
    RecordingMessages messages;
    ErrorPrompt prompt(messages, {});
    for (int i = 0; i < ErrorPrompt::kSilentRetries; ++i) {
        EXPECT_TRUE(prompt.passSilently());
    }
    EXPECT_FALSE(prompt.passSilently());
    prompt.resetRetries();
    EXPECT_TRUE(prompt.passSilently());

    ErrorPrompt station(messages, {.silentRetries = false, .reopenOnQuestion = false});
    EXPECT_FALSE(station.passSilently());
}

}  // namespace
}  // namespace zev7
