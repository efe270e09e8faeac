#include "db/db_records.h"

namespace zev7 {

DbCycleResults DbCycleResults::fromCounts(
    int calls, int successes, const std::array<int, kLossCategoryCount>& categoryCounts) {
    DbCycleResults r;
    int losses = 0;
    for (int c : categoryCounts) {
        losses += c;
    }
    const auto percent = [calls](int count) { return calls > 0 ? count * 100.0 / calls : 0.0; };
    r[ResAttempts] = {ResAttempts, static_cast<double>(calls), 100.0};
    r[ResSuccesses] = {ResSuccesses, static_cast<double>(successes), percent(successes)};
    r[ResLosses] = {ResLosses, static_cast<double>(losses), percent(losses)};
    for (std::size_t i = 0; i < categoryCounts.size(); ++i) {
        const int id = ResNoDialTone + static_cast<int>(i);
        r[id] = {id, static_cast<double>(categoryCounts[i]), percent(categoryCounts[i])};
    }
    return r;
}

}  // namespace zev7
