#include "dbui/tform_process.h"

#include "core/strings.h"
#include "dbui/maintenance_dialog.h"
#include "dbui/wait_cursor.h"
#include "scenario/user_messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace zev7 {

namespace {
constexpr int kGaugeMax = 100;
constexpr int kMinimumWidth = 360;
}  // namespace

TForm_Process::TForm_Process(UserMessages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setObjectName(QStringLiteral("TForm_Process"));
    setWindowTitle(txt(str::CompactCaption));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setMinimumWidth(kMinimumWidth);

    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(txt(str::CompactStart), this);
    gauge_ = new QProgressBar(this);
    gauge_->setRange(0, kGaugeMax);
    gauge_->setValue(0);
    layout->addWidget(label_);
    layout->addWidget(gauge_);
    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton(txt(str::CompactStart), this);
    start_->setObjectName(QStringLiteral("Start_Button"));
    interrupt_ = new QPushButton(txt(str::CompactInterrupt), this);
    interrupt_->setObjectName(QStringLiteral("Break_Button"));
    close_ = new QPushButton(txt(str::CompactClose), this);
    close_->setObjectName(QStringLiteral("Close_Button"));
    buttons->addWidget(start_);
    buttons->addWidget(interrupt_);
    buttons->addStretch(1);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    connect(start_, &QPushButton::clicked, this, &TForm_Process::startCompaction);
    connect(interrupt_, &QPushButton::clicked, this, [this] { interrupted_ = true; });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    setRunning(false);
}

void TForm_Process::startCompaction() {
    if (!portsIdleForMaintenance(messages_)) {
        return;
    }
    gauge_->setValue(0);
    interrupted_ = false;
    setRunning(true);
    {
        const WaitCursor wait;
        CompactionCallbacks callbacks;
        callbacks.progress = [this](int gauge, const QString& text) {
            gauge_->setValue(gauge);
            label_->setText(text);
        };
        callbacks.processEvents = [] { QApplication::processEvents(); };
        callbacks.interrupted = [this] { return interrupted_; };
        result_ = compactDatabase(callbacks);
    }
    setRunning(false);
    // A table another program held was not packed: the run is not reported as a clean one.
    QStringList skipped;
    for (int i = 0; i < result_.tables.size(); ++i) {
        if (result_.codes.value(i) != 0) {
            skipped
                << txt(str::CompactTableSkipped).arg(result_.tables[i]).arg(result_.codes.value(i));
        }
    }
    if (!skipped.isEmpty()) {
        messages_.warning(skipped.join(QLatin1Char('\n')));
    }
}

int TForm_Process::gauge() const {
    return gauge_->value();
}

QString TForm_Process::label() const {
    return label_->text();
}

void TForm_Process::setRunning(bool running) {
    start_->setEnabled(!running);
    close_->setEnabled(!running);
    interrupt_->setEnabled(running);
}

void TForm_Process::reject() {
    if (close_->isEnabled()) {
        QDialog::reject();
    }
}

void TForm_Process::closeEvent(QCloseEvent* event) {
    if (!close_->isEnabled()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace zev7
