#include "run_items.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "engine/serial/serial_port_names.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_file.h"
#include "scenario/tel_number.h"
#include "scenario/user_messages.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <set>

namespace zev7 {

std::optional<std::vector<RunItem>> parseRunItems(const QStringList& arguments,
                                                  QStringList& errors) {
    std::vector<RunItem> items;
    std::set<int> ports;
    for (const QString& a : arguments) {
        // PORT:SCENARIO[:REPORT]; a scenario's own path cannot hold a colon.
        const QStringList parts = a.split(QLatin1Char(':'));
        bool ok = false;
        const int port = parts.size() >= 2 ? parts[0].toInt(&ok) : 0;
        const QString scenario = parts.size() >= 2 ? parts[1] : QString();
        const QString report = parts.size() == 3 ? parts[2] : QString();
        if (!ok || scenario.isEmpty() || parts.size() > 3 ||
            (parts.size() == 3 && report.isEmpty())) {
            errors.append(txt(str::RunBadItem).arg(a));
            continue;
        }
        if (port < kFirstPort || port > kLastPort) {
            errors.append(txt(str::RunBadPort).arg(port));
            continue;
        }
        if (!ports.insert(port).second) {
            errors.append(txt(str::RunPortTwice).arg(port));
            continue;
        }
        items.push_back({port, scenario, report});
    }
    if (items.empty() && errors.isEmpty()) {
        errors.append(txt(str::RunNoItems));
    }
    if (!errors.isEmpty()) {
        return std::nullopt;
    }
    return items;
}

QString resolveScenario(const QString& scenario) {
    if (QFileInfo(scenario).isFile()) {
        return scenario;
    }
    if (QDir::isRelativePath(scenario)) {
        const QString inScenar = programPath(QStringLiteral("Scenar\\") + scenario);
        if (QFileInfo(inScenar).isFile()) {
            return inScenar;
        }
    }
    return {};
}

bool prepareWorkingCopy(const RunItem& item, bool restart, UserMessages& messages) {
    const QString path = resolveScenario(item.scenario);
    if (path.isEmpty()) {
        messages.error(txt(str::RunNoScenario).arg(item.scenario));
        return false;
    }
    TScenarClass scenario(messages, QDateTime::currentDateTime());
    if (!scenario.LoadFromFile(path) ||
        !CheckNumber(scenario.header().outNumber, NumberRole::Outgoing, messages)) {
        return false;
    }
    if (!restart) {
        scenario.prepareStart();
    } else if (!scenario.canRestart()) {
        const ScenarHeader& h = scenario.header();
        messages.error(txt(str::RunCannotRestart)
                           .arg(item.port)
                           .arg(h.finishedCycles)
                           .arg(h.cycleCount - scenario.excludedCycles()));
        return false;
    }
    const QString target = workingCopyPath(item.port);
    // The working copy may be the given file itself; it is then rewritten in place.
    if (!scenario.SaveToFile(target)) {
        messages.error(txt(str::RunCannotPrepare).arg(item.port));
        return false;
    }
    return true;
}

}  // namespace zev7
