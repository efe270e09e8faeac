#include "engine/alerts/port_alerts.h"

#include "core/clock.h"
#include "core/strings.h"
#include "engine/protocol/port_protocol.h"

#include <QDir>

namespace zev7 {

QString alertText(const AlertEvent& event, const QString& reason) {
    switch (event.kind) {
        case AlertKind::LossStreak:
            return txt(str::AlertLossStreak).arg(event.count);
        case AlertKind::CategoryStreak:
            return txt(str::AlertCategoryStreak)
                .arg(event.count)
                .arg(resultCodeText(event.category).trimmed());
        case AlertKind::FailedCycles:
            return txt(str::AlertFailedCycles).arg(event.count);
        case AlertKind::ThreadError:
            return reason.isEmpty() ? txt(str::AlertThreadError)
                                    : txt(str::AlertThreadErrorReason).arg(reason);
        case AlertKind::CallsRecovered:
            return txt(str::AlertCallsRecovered);
        case AlertKind::CyclesRecovered:
            return txt(str::AlertCyclesRecovered);
    }
    return {};
}

PortAlerts::PortAlerts(int port, const AlertServices& services, const Clock& clock,
                       PortProtocol& protocol)
    : port_(port),
      services_(services),
      clock_(clock),
      protocol_(protocol),
      watch_(services.settings) {
    if (services_.starter == nullptr && !services_.settings.command.isEmpty()) {
        ownStarter_ = std::make_unique<QtProcessStarter>();
        services_.starter = ownStarter_.get();
    }
}

PortAlerts::~PortAlerts() = default;

void PortAlerts::callAccounted(ResultCode outcome, const Numbers& numbers) {
    for (const AlertEvent& e : watch_.callAccounted(outcome)) {
        raise(e, alertText(e), numbers);
    }
}

void PortAlerts::cycleJudged(bool meetsNorm, const Numbers& numbers) {
    if (const auto e = watch_.cycleJudged(meetsNorm)) {
        raise(*e, alertText(*e), numbers);
    }
}

void PortAlerts::runFailed(const QString& reason, const Numbers& numbers) {
    if (!services_.settings.enabled) {
        return;
    }
    const AlertEvent e{AlertKind::ThreadError, 0, ResultCode::None};
    raise(e, alertText(e, reason.simplified()), numbers);
}

void PortAlerts::raise(const AlertEvent& event, const QString& text, const Numbers& numbers) {
    PortAlert alert;
    alert.port = port_;
    alert.kind = event.kind;
    alert.text = text;
    alert.outNumber = numbers.out;
    alert.inNumber = numbers.in;
    alert.time = clock_.now();
    protocol_.AppendProtocolLine(text);
    if (services_.listener != nullptr) {
        services_.listener->alertRaised(alert);
    }
    const QString& command = services_.settings.command;
    if (command.isEmpty() || services_.starter == nullptr) {
        return;
    }
    const DetachedProgram program = alertProgram(command, alert);
    QString error;
    if (!services_.starter->startDetached(program, error)) {
        protocol_.AppendProtocolLine(
            txt(str::AlertCommandFailed).arg(QDir::toNativeSeparators(program.program), error));
    }
}

}  // namespace zev7
