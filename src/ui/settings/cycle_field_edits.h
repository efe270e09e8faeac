// Spin edits bound to numeric fields of a cycle: each takes its range from the scenario's table
// of field ranges (the one the file reader checks), so no edit can hold a value a scenario file
// would be refused for. They load from a cycle, tell whether they differ from it and store into
// it; a value the user left alone is stored exactly as it was, even where the edit shows it
// rounded.
#pragma once

#include "scenario/records.h"

#include <QList>
#include <QObject>

class QDoubleSpinBox;

namespace zev7 {

struct NumericField;

struct CycleFieldSpec {
    const char* control;  // the edit's object name
    const char* field;    // the cycle field's record name
    int decimals;
    double step;
    // The rules of the field judge the value the user settled on, not every keystroke.
    bool settled = false;
};

class CycleFieldEdits : public QObject {
    Q_OBJECT

public:
    explicit CycleFieldEdits(QObject* parent = nullptr) : QObject(parent) {}

    // A new edit for the field; its hint shows while the mouse rests on it and goes as soon
    // as its value changes.
    QDoubleSpinBox* add(const CycleFieldSpec& spec, const QString& hint = {});
    // The edit of a field by its record name; nullptr when none was added.
    QDoubleSpinBox* edit(const char* field) const;

    void load(const CycleRecord& cycle);
    bool differs(const CycleRecord& cycle) const;
    void store(CycleRecord& cycle) const;

signals:
    void edited();

private:
    struct Bound {
        const CycleFieldSpec* spec;
        const NumericField* field;
        QDoubleSpinBox* edit;
    };
    bool shows(const Bound& b, double value) const;

    QList<Bound> bound_;
    bool loading_ = false;
};

}  // namespace zev7
