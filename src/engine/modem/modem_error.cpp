#include "engine/modem/modem_error.h"

#include "core/strings.h"

namespace zev7 {

QString modemErrorMessage(ModemErrorCode code) {
    switch (code) {
        case ModemErrorCode::PortBusy:
            return txt(str::ModemErrorPortBusy);
        case ModemErrorCode::NoAnswer:
            return txt(str::ModemErrorNoAnswer);
        case ModemErrorCode::SystemError:
            return txt(str::ModemErrorSystem);
        case ModemErrorCode::WrongPort:
            return txt(str::ModemErrorWrongPort);
        case ModemErrorCode::ModemFailure:
            return txt(str::ModemErrorModemFailure);
        case ModemErrorCode::NoMemory:
            return txt(str::ModemErrorNoMemory);
        case ModemErrorCode::NoCycles:
            return txt(str::ModemErrorNoCycles);
        case ModemErrorCode::NoScenarioMemory:
            return txt(str::ModemErrorNoScenarioMemory);
        case ModemErrorCode::NoScenarioFile:
            return txt(str::ModemErrorNoScenarioFile);
        case ModemErrorCode::WrongModel:
            return txt(str::ModemErrorWrongModel);
        case ModemErrorCode::FrequencyOutOfRange:
            return txt(str::ModemErrorFrequency);
        case ModemErrorCode::None:
        case ModemErrorCode::Terminating:
            break;
    }
    return {};
}

ModemErrorCode modemErrorOf(ScenarioLoad load) {
    switch (load) {
        case ScenarioLoad::NoCycle:
            return ModemErrorCode::NoCycles;
        case ScenarioLoad::NoMemory:
            return ModemErrorCode::NoScenarioMemory;
        case ScenarioLoad::NoFile:
            return ModemErrorCode::NoScenarioFile;
        case ScenarioLoad::Loaded:
        case ScenarioLoad::Refused:
            break;
    }
    return ModemErrorCode::None;
}

}  // namespace zev7
