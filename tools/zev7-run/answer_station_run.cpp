#include "answer_station_run.h"

#include "console_port_view.h"
#include "core/strings.h"
#include "engine/port/port_services.h"
#include "engine/registry/port_registry.h"
#include "scenario/scenar_class.h"
#include "scenario/user_messages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <set>

namespace zev7 {

namespace {
// While the stations end, the event loop is served this often (real milliseconds).
constexpr unsigned long kStationWaitSliceMs = 10;
}  // namespace

AnswerStationRun::AnswerStationRun(PortRegistry& registry, UserMessages& messages,
                                   ConsolePortView& console)
    : registry_(registry), messages_(messages), console_(console) {}

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

bool AnswerStationRun::start(const std::vector<RunItem>& stations, const PortServices& services) {
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
        QPointer<TModemAA_Ring> thread;
        const int code = StartAnswerThread(item.port, AnswerMode::Answer, services, &thread);
        threads_.append(thread);
        ports_.push_back(item.port);
        if (code != 0) {
            messages_.show(MessageIcon::Warning, txt(str::CaptionError),
                           txt(str::RunAnswerNotStarted).arg(item.port).arg(code));
            failed_ = true;
            return false;
        }
    }
    return true;
}

bool AnswerStationRun::running() const {
    for (const int port : ports_) {
        if (registry_.answerThread(port) != nullptr) {
            return true;
        }
    }
    return false;
}

void AnswerStationRun::requestStop() {
    for (const int port : ports_) {
        if (!stopRequested_ && registry_.answerThread(port) == nullptr) {
            failed_ = true;  // it ended by itself
        }
    }
    stopRequested_ = true;
    for (const int port : ports_) {
        StopAnswerThread(registry_, messages_, port, false);
    }
}

void AnswerStationRun::stopAndWait() {
    requestStop();
    // The stations' last window calls run here; then their queued deleteLater.
    for (;;) {
        bool alive = false;
        for (const QPointer<TModemAA_Ring>& t : threads_) {
            alive = alive || !t.isNull();
        }
        if (!alive) {
            return;
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(kStationWaitSliceMs);
    }
}

}  // namespace zev7
