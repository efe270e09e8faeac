// What the windows of one cycle show above their grids: the numbers, the cycle's state, its
// attempts and when it started, as the cycle list shows them.
#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QTime>

namespace zev7 {

struct CycleHeader {
    int cycleId = -1;  // -1: no such cycle
    QString outNumber;
    QString inNumber;
    QString state;
    int attempts = 0;
    QDate dateOn;
    QTime timeOn;
    bool isValid() const { return cycleId >= 0; }
};

// Reads the cycle's heading; an invalid heading when the cycle is not stored (or the read fails,
// with the engine's text in *error).
CycleHeader readCycleHeader(QSqlDatabase db, int cycleId, QString* error = nullptr);

}  // namespace zev7
