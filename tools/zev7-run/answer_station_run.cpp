#include "answer_station_run.h"

#include "console_port_view.h"
#include "core/strings.h"
#include "engine/supervisor/port_supervisor.h"
#include "scenario/scenar_class.h"
#include "scenario/user_messages.h"

#include <QDateTime>
#include <set>

namespace zev7 {

AnswerStationRun::AnswerStationRun(PortSupervisor& supervisor, UserMessages& messages,
                                   ConsolePortView& console)
    : supervisor_(supervisor), messages_(messages), console_(console) {}

std::optional<std::vector<RunItem>> AnswerStationRun::parse(const QStringList& values,
                                                            const std::vector<RunItem>& calling,
                                                            QStringList& errors) {
    if (values.isEmpty()) {
        return std::vector<RunItem>{};
    }
    auto items = parseRunItems(values, errors);
    if (!items) {
        return std::nullopt;
    }
    std::set<int> callingPorts;
    for (const RunItem& c : calling) {
        callingPorts.insert(c.port);
    }
    for (const RunItem& item : *items) {
        if (!item.report.isEmpty()) {
            errors.append(
                txt(str::RunAnswerBadItem).arg(item.scenario + QLatin1Char(':') + item.report));
        } else if (callingPorts.count(item.port) != 0) {
            errors.append(txt(str::RunPortTwice).arg(item.port));
        }
    }
    if (!errors.isEmpty()) {
        return std::nullopt;
    }
    return items;
}

bool AnswerStationRun::start(const std::vector<RunItem>& stations, std::function<void()> started) {
    started_ = std::move(started);
    QObject::connect(&supervisor_, &PortSupervisor::answerStationStarted, &supervisor_,
                     [this](int port, int code) { stationStarted(port, code); });
    QObject::connect(&supervisor_, &PortSupervisor::answerStationEnded, &supervisor_,
                     [this](int /*port*/, int code) {
                         // Ended by itself, or by an error: the run has failed.
                         failed_ = failed_ || code != 0 || !stopRequested_;
                     });
    for (const RunItem& item : stations) {
        const QString path = resolveScenario(item.scenario);
        if (path.isEmpty()) {
            messages_.error(txt(str::RunNoScenario).arg(item.scenario));
            failed_ = true;
            return false;
        }
        TScenarClass scenario(messages_, QDateTime::currentDateTime());
        if (!scenario.LoadFromFile(path)) {
            failed_ = true;
            return false;
        }
        console_.setAnswerSettings(item.port, AnswerSettings::fromHeader(scenario.header()));
        const int code = supervisor_.startAnswerStation(item.port, AnswerMode::Answer);
        if (code != 0) {
            stationStarted(item.port, code);
            return false;
        }
        ports_.push_back(item.port);
        ++waiting_;
    }
    if (waiting_ == 0 && started_) {
        started_();
    }
    return true;
}

void AnswerStationRun::stationStarted(int port, int code) {
    if (code != 0) {
        messages_.show(MessageIcon::Warning, txt(str::CaptionError),
                       txt(str::RunAnswerNotStarted).arg(port).arg(code));
        failed_ = true;
        // The calling ports are not started; the stations already there are stopped.
        started_ = nullptr;
        requestStop();
        supervisor_.stopAll();
        return;
    }
    if (--waiting_ == 0 && started_) {
        started_();
    }
}

bool AnswerStationRun::running() const {
    for (const int port : ports_) {
        if (supervisor_.answerStationRunning(port)) {
            return true;
        }
    }
    return false;
}

void AnswerStationRun::requestStop() {
    stopRequested_ = true;
    for (const int port : ports_) {
        supervisor_.stopAnswerStation(port);
    }
}

}  // namespace zev7
