// The batch schedule reader on any bytes: a schedule written by another program, truncated or
// damaged, is read or refused as malformed, never a crash; what it accepts can run.
#include "scenario/batch_schedule.h"

#include <QRegularExpression>
#include <cstddef>
#include <cstdint>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zev7;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const BatchSchedule schedule = parseBatchSchedule(bytes);
    if (schedule.items.size() > static_cast<std::size_t>(kMaxBatchItems)) {
        __builtin_trap();
    }
    if (schedule.malformed()) {
        return 0;
    }
    // An accepted schedule runs something: a run of nothing would be reported as a success.
    if (schedule.items.empty()) {
        __builtin_trap();
    }
    // An accepted name is there, within its length, and does not climb out of its folder.
    const auto sound = [](const QString& name) {
        static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
        return !name.isEmpty() && name.size() <= kMaxBatchWordLength &&
               !name.split(separators).contains(QStringLiteral(".."));
    };
    std::set<int> ports;
    for (const BatchItem& item : schedule.items) {
        if (item.port < kFirstBatchPort || item.port > kLastBatchPort || !sound(item.scenario) ||
            !sound(item.report) || !ports.insert(item.port).second) {
            __builtin_trap();
        }
    }
    firstWord(bytes);
    return 0;
}
