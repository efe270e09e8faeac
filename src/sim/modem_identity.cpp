#include "sim/modem_identity.h"

namespace zev7 {

namespace {

// The "ATI5" line is read in two parts: 13 characters with the echo, then the rest with the
// result code. The LX line leaves 9 characters (12 bytes with "\r0\r"), the others 22 (25).
const ModemIdentity kLx{"3310", "Teliq LX-3310", "Teliq LX Version 3.1.0", true};
const ModemIdentity kPlain3310{"3310", "Teliq LX-3310", "Teliq 3310 Firmware Version 2.05.01",
                               false};
const ModemIdentity kOther{"2400", "Teliq ST-2400", "Teliq ST-2400 Firmware Version 1.90", false};

}  // namespace

const ModemIdentity& identityOf(SimModel model) {
    switch (model) {
        case SimModel::Lx:
            return kLx;
        case SimModel::Plain3310:
            return kPlain3310;
        case SimModel::Other:
            return kOther;
    }
    return kLx;
}

QString modelName(SimModel model) {
    switch (model) {
        case SimModel::Lx:
            return QStringLiteral("lx");
        case SimModel::Plain3310:
            return QStringLiteral("3310");
        case SimModel::Other:
            return QStringLiteral("other");
    }
    return {};
}

std::optional<SimModel> modelFromName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("lx")) {
        return SimModel::Lx;
    }
    if (n == QLatin1String("3310")) {
        return SimModel::Plain3310;
    }
    if (n == QLatin1String("other")) {
        return SimModel::Other;
    }
    return std::nullopt;
}

}  // namespace zev7
