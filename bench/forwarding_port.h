// A port that hands every call on to another one: a benchmark overrides the call it watches.
#pragma once

#include "core/comm_port.h"

#include <memory>

namespace zev7 {

class ForwardingPort : public CommPort {
public:
    explicit ForwardingPort(std::unique_ptr<CommPort> inner) : inner_(std::move(inner)) {}
    bool open(const LineSettings& s) override { return inner_->open(s); }
    OpenFailure openFailure() const override { return inner_->openFailure(); }
    bool isOpen() const override { return inner_->isOpen(); }
    bool purge() override { return inner_->purge(); }
    std::int64_t write(const QByteArray& data) override { return inner_->write(data); }
    bool flush() override { return inner_->flush(); }
    QByteArray read(std::int64_t n, int timeoutMs) override { return inner_->read(n, timeoutMs); }
    std::int64_t bytesPending() override { return inner_->bytesPending(); }
    ModemStatus modemStatus() override { return inner_->modemStatus(); }
    void close() override { inner_->close(); }
    QString errorString() const override { return inner_->errorString(); }

private:
    std::unique_ptr<CommPort> inner_;
};

}  // namespace zev7
