#include "dbui/tform_reservbd.h"

#include "core/ini_file.h"
#include "core/strings.h"
#include "dbtransfer/import_thread.h"
#include "scenario/user_messages.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace zev7 {

namespace {
// The folder of the last import, in the program's configuration file.
const QString kSection = QStringLiteral("Form_ReservBD");
const QString kSourceKey = QStringLiteral("Source");
}  // namespace

TForm_ReservBD::TForm_ReservBD(QSqlDatabase db, UserMessages& messages, QWidget* parent,
                               IniFile* ini)
    : MaintenanceDialog(kHelpContext, parent), messages_(messages), ini_(ini) {
    // The import opens a connection of its own on its thread; this one names the database only.
    Q_UNUSED(db);
    setObjectName(QStringLiteral("Form_ReservBD"));
    setWindowTitle(txt(str::ImportCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(txt(str::ImportSourceLabel), this));

    drives_ = new QComboBox(this);
    for (const QFileInfo& drive : QDir::drives()) {
        drives_->addItem(QDir::toNativeSeparators(drive.absoluteFilePath()),
                         drive.absoluteFilePath());
    }
    layout->addWidget(drives_);

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_->setRootPath(QString());
    DirLB1 = new QTreeView(this);
    DirLB1->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c) {
        DirLB1->hideColumn(c);
    }
    DirLB1->header()->hide();
    DirLB1->setMinimumSize(420, 300);
    layout->addWidget(DirLB1);
    connect(drives_, &QComboBox::currentIndexChanged, this,
            [this] { DirLB1->setRootIndex(folders_->index(drives_->currentData().toString())); });
    DirLB1->setRootIndex(folders_->index(drives_->currentData().toString()));

    stage_ = new QLabel(this);
    layout->addWidget(stage_);
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    gauge_ = new QProgressBar(this);
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    layout->addWidget(gauge_);

    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton(txt(str::ImportStart), this);
    BitBtn2 = new QPushButton(txt(str::ImportBreak), this);
    BitBtn2->setEnabled(false);
    BitBtn1 = new QPushButton(txt(str::ImportClose), this);
    for (QPushButton* b : {Button1, BitBtn2, BitBtn1}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &TForm_ReservBD::Button1Click);
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        if (thread_ != nullptr) {
            thread_->requestStop();
        }
    });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    // A backup is usually brought from the same place again: the list opens there.
    const QString last = ini_ != nullptr ? ini_->readString(kSection, kSourceKey) : QString();
    if (!last.isEmpty() && QDir(last).exists()) {
        setSourceDirectory(last);
    }
}

void TForm_ReservBD::rememberSource(const QString& path) {
    if (ini_ == nullptr || ini_->readString(kSection, kSourceKey) == path) {
        return;
    }
    ini_->writeString(kSection, kSourceKey, path);
    if (!ini_->path().isEmpty()) {
        ini_->save();
    }
}

QString TForm_ReservBD::sourceDirectory() const {
    const QModelIndex current = DirLB1->currentIndex();
    return current.isValid() ? folders_->filePath(current) : QString();
}

void TForm_ReservBD::setSourceDirectory(const QString& path) {
    const QModelIndex index = folders_->index(path);
    DirLB1->setCurrentIndex(index);
    DirLB1->scrollTo(index);
}

void TForm_ReservBD::setRunning(bool running) {
    setRunningFlag(running);
    Button1->setEnabled(!running);
    BitBtn1->setEnabled(!running);
    BitBtn2->setEnabled(running);
    drives_->setEnabled(!running);
    DirLB1->setEnabled(!running);
}

void TForm_ReservBD::Button1Click() {
    if (thread_ != nullptr) {
        return;
    }
    // What the last import brought does not stand under a new attempt, started or not.
    gauge_->setValue(0);
    stage_->clear();
    summary_->clear();
    const QString source = sourceDirectory();
    if (source.isEmpty() || isOwnDatabaseDirectory(source) || !portsIdleForMaintenance(messages_)) {
        return;
    }
    rememberSource(source);
    setRunning(true);
    thread_ = new ImportThread(source, this);
    connect(thread_, &ImportThread::progressed, this, [this](int gauge, const QString& stage) {
        gauge_->setValue(gauge);
        stage_->setText(stage);
    });
    connect(thread_, &QThread::finished, this, [this] {
        const ImportResult result = thread_->result();
        thread_->deleteLater();
        thread_ = nullptr;
        setRunning(false);
        showResult(result);
        emit importFinished();
    });
    thread_->start();
}

void TForm_ReservBD::showResult(const ImportResult& result) {
    stage_->setText(result.interrupted ? txt(str::ImportInterrupted) : QString());
    switch (result.outcome) {
        case ImportOutcome::Refused:
            // Nothing was brought: no gauge part-way and no count stand under the refusal.
            gauge_->setValue(0);
            summary_->clear();
            messages_.show(MessageIcon::Warning, txt(str::CaptionError), result.message);
            return;
        case ImportOutcome::Failed:
            messages_.error(txt(str::ImportCannotWrite).arg(result.error));
            break;
        default:
            break;
    }
    summary_->setText(
        txt(str::ImportSummary).arg(result.sourceCycles).arg(result.imported).arg(result.present));
    if (result.failed > 0) {
        messages_.warning(txt(str::ImportSomeFailed).arg(result.failed).arg(result.error));
    }
}

}  // namespace zev7
