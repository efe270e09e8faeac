#include "ui/model/port_run_model.h"

#include "core/strings.h"
#include "ui/model/port_graph_data.h"

#include <QTimer>

namespace zev7 {

PortRunModel::PortRunModel(QObject* parent)
    : QObject(parent), repaintTimer_(new QTimer(this)), graphs_(new PortGraphData(this)) {
    graphs_->holdAnnouncements();
    repaintTimer_->setSingleShot(true);
    repaintTimer_->setInterval(kRepaintIntervalMs);
    connect(repaintTimer_, &QTimer::timeout, this, &PortRunModel::repaintNow);
}

PortRunModel::~PortRunModel() = default;

void PortRunModel::cycleStarted(const CycleStartInfo& info) {
    cycle_ = info;
    rows_.clear();
    statusCall_ = 0;
    statusText_.clear();
    summary_ = SummaryTexts{};
    meetsNorm_ = true;
    confidence_ = LossConfidence(0, 0, 0);
    pending_ = {true, -1, true};
    graphs_->cycleStarted(info);
    scheduleRepaint();
}

void PortRunModel::callStatus(int callNumber, CallStatus status) {
    if (callNumber < 1) {
        return;
    }
    statusCall_ = callNumber;
    statusText_ = callStatusText(status);
    reachRow(callNumber);
    rowChanged(callNumber - 1);
}

void PortRunModel::runEnded() {
    if (statusCall_ < 1) {
        return;
    }
    statusText_ = txt(str::CallStatusStopped);
    rowChanged(statusCall_ - 1);
}

void PortRunModel::callAccounted(const CallRefresh& refresh) {
    if (refresh.callNumber >= 1) {
        reachRow(refresh.callNumber);
        rows_[static_cast<std::size_t>(refresh.callNumber - 1)] = refresh.row;
        if (statusCall_ == refresh.callNumber) {
            statusCall_ = 0;
        }
        rowChanged(refresh.callNumber - 1);
    }
    summary_ = refresh.summary;
    meetsNorm_ = refresh.meetsNorm;
    confidence_ = refresh.confidence;
    pending_.summary = true;
    graphs_->callAccounted(refresh);
    scheduleRepaint();
}

void PortRunModel::reachRow(int callNumber) {
    if (callCount() < callNumber) {
        rows_.resize(static_cast<std::size_t>(callNumber));
    }
}

void PortRunModel::rowChanged(int row) {
    pending_.firstRow = pending_.firstRow < 0 ? row : qMin(pending_.firstRow, row);
    scheduleRepaint();
}

CallRowTexts PortRunModel::callRow(int row) const {
    CallRowTexts cells{};
    if (row < 0 || row >= callCount()) {
        return cells;
    }
    if (const auto& accounted = rows_[static_cast<std::size_t>(row)]) {
        return *accounted;
    }
    if (row + 1 == statusCall_) {
        cells[0] = QString::number(statusCall_);
        cells[1] = statusText_;
    }
    return cells;
}

void PortRunModel::scheduleRepaint() {
    if (!repaintTimer_->isActive()) {
        repaintTimer_->start();
    }
}

void PortRunModel::repaintNow() {
    repaintTimer_->stop();
    const RunRepaint what = pending_;
    pending_ = {};
    emit repaintDue(what);
    graphs_->announce();
}

}  // namespace zev7
