#include "scenario/scenario_scheme.h"

#include "core/strings.h"
#include "scenario/ole_date.h"
#include "scenario/tel_number.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>

namespace zev7 {

namespace {

// A page count is a ratio of two date-time differences: noise in the last digits must not add
// an empty page.
constexpr double kPageRatioTolerance = 1e-9;

// One bar in a clash search; `owner` tells whose bars may clash with it (each other owner's).
struct Span {
    double start;
    double end;
    int owner;
    bool* clash;
};

// The largest value offered so far by some owner other than a given one: the best two values
// of two different owners are enough to answer for any owner.
class BestOfOthers {
public:
    void offer(double value, int owner) {
        if (owner == first_.owner) {
            first_.value = std::max(first_.value, value);
        } else if (value > first_.value) {
            second_ = first_;
            first_ = {value, owner};
        } else if (owner == second_.owner) {
            second_.value = std::max(second_.value, value);
        } else if (value > second_.value) {
            second_ = {value, owner};
        }
    }
    double except(int owner) const { return owner != first_.owner ? first_.value : second_.value; }

private:
    struct Entry {
        double value = -std::numeric_limits<double>::infinity();
        int owner = std::numeric_limits<int>::min();
    };
    Entry first_;
    Entry second_;
};

// Marks every span that overlaps a span of another owner. Sorted by start, a span overlaps an
// earlier one exactly when some earlier end reaches its start, and a later one exactly when
// some later start lies before its end: two sweeps instead of comparing every pair.
void markOverlapsWithOthers(std::vector<Span>& spans) {
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.start < b.start; });
    BestOfOthers latestEnd;
    for (Span& s : spans) {
        if (latestEnd.except(s.owner) >= s.start) {
            *s.clash = true;
        }
        latestEnd.offer(s.end, s.owner);
    }
    BestOfOthers earliestStart;  // negated starts: the largest is the earliest
    for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
        if (-earliestStart.except(it->owner) <= it->end) {
            *it->clash = true;
        }
        earliestStart.offer(-it->start, it->owner);
    }
}

double wholeMinutes(double days) {
    return std::round(days * kMinutesPerDay) / kMinutesPerDay;
}

}  // namespace

void ScenarioScheme::build(std::span<const SchemeSource> sources) {
    drag_.reset();
    rows_.clear();
    std::vector<const SchemeSource*> ordered;
    for (const SchemeSource& s : sources) {
        if (s.header != nullptr) {
            ordered.push_back(&s);
        }
    }
    std::sort(ordered.begin(), ordered.end(),
              [](const SchemeSource* a, const SchemeSource* b) { return a->port < b->port; });
    for (const SchemeSource* s : ordered) {
        addRow(*s);
    }
    groupNumbers();
    markClashes();
}

void ScenarioScheme::addRow(const SchemeSource& source) {
    const ScenarHeader& h = *source.header;
    SchemeRow row;
    row.port = source.port;
    row.free = source.free;
    row.draggable = source.free && !source.running;
    row.baseTime = h.baseTime;
    // The records are packed: their fields are read by value, never bound to a reference.
    const int runs = std::clamp(std::int32_t{h.runCount}, 1, kMaxRuns);
    const double interval = std::max(0, std::int32_t{h.repeatInterval}) / kMinutesPerDay;
    double base = h.baseTime;
    bool anyCycle = false;
    for (int run = 1; run <= runs && row.bars.size() + source.cycles.size() <= kMaxBarsPerRow;
         ++run) {
        double earliestFrom = std::numeric_limits<double>::infinity();
        for (std::size_t k = 0; k < source.cycles.size(); ++k) {
            const CycleRecord& c = source.cycles[k];
            // An excluded cycle is never executed: it takes no time and clashes with nothing.
            if (c.state == static_cast<std::int32_t>(CycleState::Excluded)) {
                continue;
            }
            anyCycle = true;
            SchemeBar bar;
            bar.cycle = static_cast<int>(k);
            bar.run = run;
            bar.complex = c.anyEnum != 0;
            const QString prefix = QString::number(k + 1) + QStringLiteral(". ");
            bar.label =
                prefix + (bar.complex ? txt(str::SchemeComplexCycle) : numberText(c.inNumber));
            bar.numberKey = DialledKey(c.inNumber);
            bar.start = base + c.startFrom;
            bar.end = bar.start + std::max(0.0, double{c.estimatedDuration}) / kSecondsPerDay;
            bar.windowDays = c.startUntil - c.startFrom;
            if (run > 1 && !(bar.complex && !source.free)) {
                bar.colour = BarColour::Repeat;
            } else if (bar.complex && source.free) {
                bar.colour = BarColour::Enumerated;
            }
            earliestFrom = std::min(earliestFrom, double{c.startFrom});
            row.bars.push_back(std::move(bar));
        }
        if (!std::isfinite(earliestFrom)) {
            break;  // nothing to repeat
        }
        if (h.repeatMode == 1) {
            double latestEnd = base;
            for (const SchemeBar& b : row.bars) {
                latestEnd = std::max(latestEnd, b.end);
            }
            base = latestEnd + kRepeatGapDays - earliestFrom + interval;
        } else {
            base += interval;
        }
    }
    if (anyCycle) {
        row.legend = txt(str::SchemeChannel) + QLatin1Char(' ') + QString::number(source.port) +
                     QStringLiteral(". ") + numberText(h.outNumber);
    }
    rows_.push_back(std::move(row));
}

int ScenarioScheme::lastPort() const {
    return rows_.empty() ? 0 : rows_.back().port;
}

void ScenarioScheme::groupNumbers() {
    numberGroups_.clear();
    QHash<QString, int> groupOfKey;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        for (std::size_t b = 0; b < rows_[r].bars.size(); ++b) {
            SchemeBar& bar = rows_[r].bars[b];
            if (bar.complex) {
                continue;
            }
            auto found = groupOfKey.find(bar.numberKey);
            if (found == groupOfKey.end()) {
                found = groupOfKey.insert(bar.numberKey, static_cast<int>(numberGroups_.size()));
                numberGroups_.emplace_back();
            }
            bar.numberGroup = *found;
            numberGroups_[static_cast<std::size_t>(*found)].push_back({r, b});
        }
    }
}

void ScenarioScheme::markOwnClashes(std::size_t row) {
    std::vector<SchemeBar>& bars = rows_[row].bars;
    std::vector<Span> spans;
    spans.reserve(bars.size());
    for (std::size_t i = 0; i < bars.size(); ++i) {
        bars[i].ownClash = false;
        spans.push_back({bars[i].start, bars[i].end, static_cast<int>(i), &bars[i].ownClash});
    }
    markOverlapsWithOthers(spans);
}

void ScenarioScheme::markNumberClashes(int group) {
    if (group < 0) {
        return;
    }
    const std::vector<BarRef>& refs = numberGroups_[static_cast<std::size_t>(group)];
    std::vector<Span> spans;
    spans.reserve(refs.size());
    for (const BarRef& ref : refs) {
        SchemeBar& b = barOf(ref);
        b.numberClash = false;
        spans.push_back({b.start, b.end, rows_[ref.row].port, &b.numberClash});
    }
    markOverlapsWithOthers(spans);
}

void ScenarioScheme::markClashes() {
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        markOwnClashes(r);
    }
    for (std::size_t g = 0; g < numberGroups_.size(); ++g) {
        markNumberClashes(static_cast<int>(g));
    }
    for (SchemeRow& row : rows_) {
        for (SchemeBar& b : row.bars) {
            b.clash = b.ownClash || b.numberClash;
        }
    }
}

// A moved bar changes only its own port's clashes and those of the ports calling its number:
// a drag over thousands of bars recolours at the pace of the mouse.
void ScenarioScheme::markClashesAround(std::size_t row, int group) {
    markOwnClashes(row);
    markNumberClashes(group);
    for (SchemeBar& b : rows_[row].bars) {
        b.clash = b.ownClash || b.numberClash;
    }
    if (group >= 0) {
        for (const BarRef& ref : numberGroups_[static_cast<std::size_t>(group)]) {
            SchemeBar& b = barOf(ref);
            b.clash = b.ownClash || b.numberClash;
        }
    }
}

std::optional<TimeSpan> ScenarioScheme::dataSpan() const {
    std::optional<TimeSpan> span;
    for (const SchemeRow& row : rows_) {
        for (const SchemeBar& b : row.bars) {
            if (!span) {
                span = TimeSpan{b.start, b.end};
            } else {
                span->first = std::min(span->first, b.start);
                span->last = std::max(span->last, b.end);
            }
        }
    }
    return span;
}

SchemePage ScenarioScheme::page(const TimeSpan& data, const TimeSpan& visible) {
    const double seen = visible.length();
    if (seen <= 0.0 || data.length() <= seen) {
        return {1, 1};
    }
    SchemePage p;
    p.count = static_cast<int>(std::ceil(data.length() / seen - kPageRatioTolerance));
    if (visible.first > data.first) {
        // The page whose start is nearest the visible start; an exact half goes to the earlier.
        const double pagesBefore = (visible.first - data.first) / seen;
        p.page = 1 + static_cast<int>(std::ceil(pagesBefore - 0.5 - kPageRatioTolerance));
    }
    p.page = std::clamp(p.page, 1, p.count);
    return p;
}

TimeSpan ScenarioScheme::pageWindow(const TimeSpan& data, double visibleLength, int page) {
    const double first = data.first + (page - 1) * visibleLength;
    return {first, first + visibleLength};
}

int ScenarioScheme::barAt(int row, double time) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return -1;
    }
    const std::vector<SchemeBar>& bars = rows_[static_cast<std::size_t>(row)].bars;
    for (int i = static_cast<int>(bars.size()) - 1; i >= 0; --i) {
        const SchemeBar& b = bars[static_cast<std::size_t>(i)];
        if (time >= b.start && time <= b.end) {
            return i;
        }
    }
    return -1;
}

bool ScenarioScheme::beginDrag(int row, int bar, double mouseTime) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return false;
    }
    const SchemeRow& r = rows_[static_cast<std::size_t>(row)];
    if (!r.draggable || bar < 0 || bar >= static_cast<int>(r.bars.size())) {
        return false;
    }
    const SchemeBar& b = r.bars[static_cast<std::size_t>(bar)];
    if (b.run != 1) {
        return false;
    }
    drag_ = Drag{row, bar, b.end - b.start, b.start - mouseTime};
    return true;
}

void ScenarioScheme::dragTo(double mouseTime) {
    if (!drag_) {
        return;
    }
    SchemeRow& row = rows_[static_cast<std::size_t>(drag_->row)];
    SchemeBar& b = row.bars[static_cast<std::size_t>(drag_->bar)];
    b.start = std::max(row.baseTime, mouseTime + drag_->offset);
    b.end = b.start + drag_->duration;
    if (b.end <= b.start) {
        b.end = b.start + kMinDraggedBarDays;
    }
    markClashesAround(static_cast<std::size_t>(drag_->row), b.numberGroup);
}

std::optional<CycleMove> ScenarioScheme::endDrag() {
    if (!drag_) {
        return std::nullopt;
    }
    const Drag d = *drag_;
    drag_.reset();
    SchemeRow& row = rows_[static_cast<std::size_t>(d.row)];
    SchemeBar& b = row.bars[static_cast<std::size_t>(d.bar)];
    CycleMove move;
    move.port = row.port;
    move.cycle = b.cycle;
    move.startFrom = wholeMinutes(std::max(0.0, b.start - row.baseTime));
    move.startUntil = move.startFrom + b.windowDays;
    const double length = b.end - b.start;
    b.start = row.baseTime + move.startFrom;
    b.end = b.start + length;
    markClashesAround(static_cast<std::size_t>(d.row), b.numberGroup);
    return move;
}

}  // namespace zev7
