// The results database grown to years of measuring for the benchmarks: the generated cycles
// repeated, each repetition moved whole weeks later, by the engine itself (a writer that
// stores ten million calls one at a time would take hours on a server).
#pragma once

#include <QString>
#include <functional>

namespace zev7 {

struct DemoCopiesReport {
    int cycles = 0;    // cycles in the database afterwards
    qint64 calls = 0;  // test calls in the database afterwards
    QString error;     // what the engine refused; empty when every copy was stored
};

// Repeats every cycle of the database set up (DbConnection::setup) until it holds `copies`
// times as many: every result table's rows of a cycle, with the cycle's key moved past the
// highest one and its dates by whole weeks past the last day measured, so that the days of
// the week and the selections by period stay sound. One transaction per repetition;
// progress gets the repetitions done.
DemoCopiesReport repeatDemoCycles(int copies, const std::function<void(int done)>& progress = {});

}  // namespace zev7
