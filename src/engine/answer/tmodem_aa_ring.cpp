#include "engine/answer/tmodem_aa_ring.h"

#include "core/strings.h"
#include "engine/modem/modem_error.h"
#include "engine/registry/port_registry.h"
#include "engine/view/port_view.h"

#include <exception>

namespace zev7 {

TModemAA_Ring::TModemAA_Ring(std::unique_ptr<AnswerStation> station, PortRegistry& registry,
                             PortView& view)
    : station_(std::move(station)), registry_(registry), view_(view), port_(station_->port()) {}

TModemAA_Ring::~TModemAA_Ring() = default;

void TModemAA_Ring::requestStop() {
    station_->requestStop();
}

void TModemAA_Ring::postCommand(AnswerCommand command) {
    station_->postCommand(command);
}

AnswerCommand TModemAA_Ring::pendingCommand() const {
    return station_->pendingCommand();
}

void TModemAA_Ring::run() {
    bool reported = false;
    QString fault;
    try {
        const int code = errorNumber(station_->construct());
        reported = true;
        emit constructed(code);
        station_->Execute();
        errorCode_.store(errorNumber(station_->errorCode()));
    } catch (const std::exception& e) {
        fault = QString::fromLocal8Bit(e.what());
    } catch (...) {
        fault = txt(str::ThreadFaultUnknown);
    }
    if (!fault.isNull()) {
        errorCode_.store(errorNumber(ModemErrorCode::SystemError));
        try {
            station_->endAfterFault(fault);
        } catch (...) {
            // The slot below is emptied all the same.
        }
        if (!reported) {
            emit constructed(errorNumber(ModemErrorCode::SystemError));
        }
    }
    registry_.clearAnswerThread(port_, this);
    view_.answerThreadEnded(port_);
}

}  // namespace zev7
