// The heading of the windows that show one cycle: its numbers on the first line, its state,
// attempts and start on the second, as the cycle list shows them.
#pragma once

#include "dbquery/cycle_header.h"

#include <QWidget>

class QLabel;

namespace zev7 {

// The cycle's start as the heading shows it: "dd.MM.yyyy hh:mm:ss".
QString cycleStartText(const CycleHeader& header);

class CycleHeading : public QWidget {
    Q_OBJECT

public:
    explicit CycleHeading(QWidget* parent = nullptr);

    // An invalid header says that no cycle is chosen.
    void display(const CycleHeader& header);

private:
    QLabel* numbers_;
    QLabel* state_;
    QLabel* attempts_;
    QLabel* start_;
};

}  // namespace zev7
