#include "dbui/cycle_heading.h"

#include "core/strings.h"

#include <QBoxLayout>
#include <QLabel>

namespace zev7 {

namespace {

QLabel* headingLabel(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

}  // namespace

QString cycleStartText(const CycleHeader& header) {
    return header.dateOn.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char(' ') +
           header.timeOn.toString(QStringLiteral("hh:mm:ss"));
}

CycleHeading::CycleHeading(QWidget* parent) : QWidget(parent) {
    numbers_ = headingLabel(this, "Numbers");
    state_ = headingLabel(this, "State");
    attempts_ = headingLabel(this, "Attempts");
    start_ = headingLabel(this, "Start");
    auto* lines = new QVBoxLayout(this);
    lines->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(state_);
    row->addSpacing(16);
    row->addWidget(attempts_);
    row->addSpacing(16);
    row->addWidget(start_);
    row->addStretch(1);
    lines->addWidget(numbers_);
    lines->addLayout(row);
    display(CycleHeader{});
}

void CycleHeading::display(const CycleHeader& header) {
    if (!header.isValid()) {
        numbers_->setText(txt(str::StatHeadNoCycle));
        state_->clear();
        attempts_->clear();
        start_->clear();
        return;
    }
    numbers_->setText(QStringLiteral("%1 %2    %3 %4")
                          .arg(txt(str::ReportOutgoing), header.outNumber, txt(str::ReportIncoming),
                               header.inNumber));
    state_->setText(QStringLiteral("%1: %2").arg(txt(str::DbColState), header.state));
    attempts_->setText(
        QStringLiteral("%1: %2").arg(txt(str::StatHeadAttempts)).arg(header.attempts));
    start_->setText(QStringLiteral("%1: %2").arg(txt(str::DbColStart), cycleStartText(header)));
}

}  // namespace zev7
