#include "engine/serial/serial_port_names.h"

#include "core/ini_file.h"
#include "core/program_dir.h"

#include <QFileInfo>

namespace zev7 {

namespace {
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
    // Read as the windows read the file: sections and keys in any case ("[ports]", "com3").
    IniFile ini(programPath(QString::fromLatin1(kConfigFileName)));
    if (ini.load()) {
        const QString mapped = ini.readString(QString::fromLatin1(kPortsSection), com).trimmed();
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
