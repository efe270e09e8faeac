// Upkeep views of the results database: whether it is sound (the engine's own check of the
// file, every table with the columns the program reads, no measurement left without its cycle
// or number), and how much it holds.
#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace zev7 {

// Step number (1..) and its label, before each step of a long job.
using DbStepProgress = std::function<void(int step, int steps, const QString& label)>;

// Every problem found, one readable line each; empty when the database is sound.
QStringList checkDatabase(QSqlDatabase db, const DbStepProgress& progress = {});

// The cycles of one measuring station and their calls.
struct StationContents {
    QString name;  // as the cycles read (db/station_name.h)
    qint64 cycles = 0;
    qint64 calls = 0;
};

struct DbContents {
    qint64 cycles = 0;
    qint64 calls = 0;
    qint64 outgoingNumbers = 0;
    qint64 incomingNumbers = 0;
    QDate firstDay;                   // the earliest start of a cycle, invalid without cycles
    QDate lastDay;                    // the latest end of a cycle
    QList<StationContents> stations;  // by name; none without cycles
};

// false when the tables cannot be read.
bool readDatabaseContents(QSqlDatabase db, DbContents& contents);

}  // namespace zev7
