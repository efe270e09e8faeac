// What a port's five graphs show, kept by the port's run model as the port thread reports: the
// two pies of the running cycle's outcomes, one bar per test call for the attenuation and the two
// tone levels, and the status texts the graph windows repeat. Graph windows come and go; the
// data stays with the run model, so a window opened mid-cycle shows every call so far.
#pragma once

#include "engine/view/port_view.h"

#include <QObject>
#include <QPointF>
#include <QString>
#include <array>
#include <vector>

namespace zev7 {

// The five graphs of a port, in their fixed order (the graph window slots).
enum GraphKind {
    CallsPie = 0,
    LossesPie = 1,
    AttenuationBars = 2,
    DialToneBars = 3,
    RingbackBars = 4
};
inline constexpr int kGraphKinds = 5;

class PortGraphData : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    void cycleStarted(const CycleStartInfo& info);
    void callAccounted(const CallRefresh& refresh);

    const PieValues& pies() const { return pies_; }
    // The bars of a bar graph (kinds 2..4): x the call number, y the value, in call order.
    const std::vector<QPointF>& bars(int kind) const;
    const QString& outNumberText() const { return outNumber_; }
    const QString& cycleStartText() const { return cycleStart_; }
    const QString& inNumberText() const { return inNumber_; }

    // While held, a change is announced only by announce(): the run model's repaint throttle
    // decides when the graph windows redraw, so they need no timer of their own.
    void holdAnnouncements() { held_ = true; }
    bool announcementsHeld() const { return held_; }
    void announce();

signals:
    // Something to show changed (at once, or at announce() while held).
    void changed();

private:
    void changedNow();

    bool held_ = false;
    bool unannounced_ = false;
    PieValues pies_{};
    std::array<std::vector<QPointF>, 3> bars_;
    QString outNumber_;
    QString cycleStart_;
    QString inNumber_;
};

}  // namespace zev7
