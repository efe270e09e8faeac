// ZEV7.ini as a user may have edited it: the [Ports] section that maps COM<N> to a device is
// read for every port number, whatever else the file holds.
#include "core/program_dir.h"
#include "engine/serial/serial_port_names.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zev7;
    static QTemporaryDir home;
    static const bool ready = [] {
        setProgramDir(home.path());
        return home.isValid();
    }();
    if (!ready) {
        return 0;
    }
    {
        QFile ini(QDir(home.path()).filePath(QStringLiteral("ZEV7.ini")));
        if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        ini.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    for (const int port : {0, 1, 2, 9, 10, 64, 65}) {
        const QString device = serialDeviceName(port);
        if ((port < kFirstPort || port > kLastPort) != device.isEmpty()) {
            __builtin_trap();
        }
    }
    return 0;
}
