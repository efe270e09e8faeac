#include "engine/serial/serial_port_names.h"

#include "core/program_dir.h"

#include <QFileInfo>
#include <QSettings>

namespace zev7 {

namespace {
constexpr char kIniFileName[] = "ZEV7.ini";
constexpr char kPortsSection[] = "Ports";
constexpr char kSimulatorLinkDir[] = "dev";
}  // namespace

QString serialDeviceName(int portNumber) {
    if (portNumber < kFirstPort || portNumber > kLastPort) {
        return {};
    }
    const QString com = QStringLiteral("COM%1").arg(portNumber);
#ifdef Q_OS_WIN
    // From COM10 on, the device is only reachable through the device namespace.
    return portNumber > 9 ? QStringLiteral("\\\\.\\") + com : com;
#else
    const QString ini = programPath(QString::fromLatin1(kIniFileName));
    if (QFileInfo::exists(ini)) {
        const QSettings settings(ini, QSettings::IniFormat);
        const QString mapped =
            settings.value(QString::fromLatin1(kPortsSection) + QLatin1Char('/') + com)
                .toString()
                .trimmed();
        if (!mapped.isEmpty()) {
            return programPath(mapped);
        }
    }
    // A link that points nowhere still names the port: its modem is gone, and another
    // device standing in for it would be a surprise.
    const QString link =
        programPath(QString::fromLatin1(kSimulatorLinkDir) + QLatin1Char('/') + com);
    const QFileInfo linkInfo(link);
    if (linkInfo.exists() || linkInfo.isSymLink()) {
        return link;
    }
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

}  // namespace zev7
