// What a simulated modem says about itself: the model line of "ATI3" and the version line of
// "ATI5". The program accepts only a model line with "Teliq LX-3310", and takes the extra
// answering registers (S55..S57) from a version line that begins "Teliq LX Vers".
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zev7 {

enum class SimModel {
    Lx,         // the accepted LX model with the answering registers S55..S57
    Plain3310,  // accepted, but without S55..S57
    Other,      // a model the program refuses
};

struct ModemIdentity {
    QByteArray productCode;  // "ATI0"
    QByteArray modelLine;    // "ATI3"
    QByteArray versionLine;  // "ATI5"
    bool hasAnswerRegisters = false;
};

const ModemIdentity& identityOf(SimModel model);
// "lx", "3310", "other" as configuration files name the models.
QString modelName(SimModel model);
std::optional<SimModel> modelFromName(const QString& name);

}  // namespace zev7
