#include "ui/settings/cycle_field_edits.h"

#include "scenario/scenario_ranges.h"

#include <QDoubleSpinBox>
#include <QToolTip>
#include <cmath>

namespace zev7 {

namespace {

const NumericField& rangeOf(const char* field) {
    const NumericField* f = findNumericField(kCycleFields, field);
    Q_ASSERT(f != nullptr);
    return *f;
}

qint64 scaled(double value, int decimals) {
    return std::llround(value * std::pow(10.0, decimals));
}

}  // namespace

QDoubleSpinBox* CycleFieldEdits::add(const CycleFieldSpec& spec, const QString& hint) {
    const NumericField& field = rangeOf(spec.field);
    auto* e = new QDoubleSpinBox;
    e->setObjectName(QLatin1String(spec.control));
    e->setDecimals(spec.decimals);
    e->setRange(field.min, field.max);
    e->setSingleStep(spec.step);
    e->setKeyboardTracking(!spec.settled);
    e->setToolTip(hint);
    connect(e, &QDoubleSpinBox::valueChanged, this, [this] {
        QToolTip::hideText();
        if (!loading_) {
            emit edited();
        }
    });
    bound_.append({&spec, &field, e});
    return e;
}

QDoubleSpinBox* CycleFieldEdits::edit(const char* field) const {
    for (const Bound& b : bound_) {
        if (qstrcmp(b.spec->field, field) == 0) {
            return b.edit;
        }
    }
    return nullptr;
}

bool CycleFieldEdits::shows(const Bound& b, double value) const {
    return scaled(b.edit->value(), b.spec->decimals) == scaled(value, b.spec->decimals);
}

void CycleFieldEdits::load(const CycleRecord& cycle) {
    loading_ = true;
    for (const Bound& b : bound_) {
        b.edit->setValue(numericValue(&cycle, *b.field));
    }
    loading_ = false;
}

bool CycleFieldEdits::differs(const CycleRecord& cycle) const {
    for (const Bound& b : bound_) {
        if (!shows(b, numericValue(&cycle, *b.field))) {
            return true;
        }
    }
    return false;
}

void CycleFieldEdits::store(CycleRecord& cycle) const {
    for (const Bound& b : bound_) {
        const auto& field = *b.field;
        if (!shows(b, numericValue(&cycle, field))) {
            setNumericValue(&cycle, field, b.edit->value());
        }
    }
}

}  // namespace zev7
