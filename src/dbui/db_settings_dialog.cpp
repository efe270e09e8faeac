#include "dbui/db_settings_dialog.h"

#include "core/strings.h"
#include "db/db_probe.h"
#include "scenario/user_messages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zev7 {

namespace {
// Wide enough for the hint to wrap into a few readable lines and a server's version to fit.
constexpr int kDialogWidthChars = 84;
// Room for the driver's longest usual reason (a refused connection with its hint), so that the
// fields above are never squeezed when it appears.
constexpr int kOutcomeLines = 4;
}  // namespace

DbSettingsDialog::DbSettingsDialog(const DbLocation& current, UserMessages& messages,
                                   QWidget* parent)
    : MaintenanceDialog(kHelpContext, parent), messages_(messages) {
    setObjectName(QStringLiteral("DbSettingsDialog"));
    setWindowTitle(txt(str::DbSetCaption));

    driver_ = new QComboBox(this);
    driver_->addItem(txt(str::DbSetDriverSqlite));
    driver_->addItem(txt(str::DbSetDriverPostgres));
    host_ = new QLineEdit(this);
    host_->setMaxLength(DbLocation::kHostMaxChars);
    host_->setPlaceholderText(txt(str::DbSetDefault));
    port_ = new QSpinBox(this);
    port_->setRange(0, DbLocation::kMaxPort);
    // 0: libpq's own port (PGPORT, else 5432).
    port_->setSpecialValueText(txt(str::DbSetDefault));
    name_ = new QLineEdit(this);
    name_->setPlaceholderText(txt(str::DbSetDefault));
    user_ = new QLineEdit(this);
    user_->setPlaceholderText(txt(str::DbSetDefault));
    station_ = new QLineEdit(this);
    station_->setMaxLength(DbLocation::kStationMaxChars);

    auto* form = new QFormLayout;
    form->addRow(txt(str::DbSetDriver), driver_);
    form->addRow(txt(str::DbSetHost), host_);
    form->addRow(txt(str::DbSetPort), port_);
    form->addRow(txt(str::DbSetName), name_);
    form->addRow(txt(str::DbSetUser), user_);
    form->addRow(txt(str::DbSetStation), station_);

    auto* hint = new QLabel(txt(str::DbSetHint), this);
    hint->setWordWrap(true);

    check_ = new QPushButton(txt(str::DbSetCheck), this);
    outcome_ = new QLabel(this);
    outcome_->setObjectName(QStringLiteral("checkOutcome"));
    outcome_->setWordWrap(true);
    outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    outcome_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    outcome_->setMinimumHeight(fontMetrics().lineSpacing() * kOutcomeLines);
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(check_, 0, Qt::AlignTop);
    checkRow->addWidget(outcome_, 1);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addLayout(checkRow);
    layout->addStretch(1);
    layout->addWidget(buttons_);
    // A longer reason makes the window taller rather than the fields thinner.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    setMinimumWidth(fontMetrics().averageCharWidth() * kDialogWidthChars);

    connect(driver_, &QComboBox::currentIndexChanged, this, [this] {
        outcome_->clear();
        updateWidgets();
    });
    connect(check_, &QPushButton::clicked, this, &DbSettingsDialog::startCheck);
    connect(buttons_, &QDialogButtonBox::accepted, this, &DbSettingsDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &DbSettingsDialog::reject);
    setLocation(current);
}

DbSettingsDialog::~DbSettingsDialog() {
    // The thread waits for its check in its own destructor, before the dialog's widgets go.
    delete probe_;
}

DbLocation DbSettingsDialog::location() const {
    DbLocation loc;
    loc.driver =
        driver_->currentIndex() == 1 ? DbLocation::Driver::Postgres : DbLocation::Driver::Sqlite;
    loc.host = host_->text().trimmed();
    loc.port = port_->value();
    loc.name = name_->text().trimmed();
    loc.user = user_->text().trimmed();
    loc.station = station_->text().trimmed();
    return loc;
}

void DbSettingsDialog::setLocation(const DbLocation& location) {
    driver_->setCurrentIndex(location.onServer() ? 1 : 0);
    host_->setText(location.host);
    port_->setValue(location.port);
    name_->setText(location.name);
    user_->setText(location.user);
    station_->setText(location.station);
    outcome_->clear();
    updateWidgets();
}

QString DbSettingsDialog::checkOutcome() const {
    return outcome_->text();
}

void DbSettingsDialog::updateWidgets() {
    const bool server = driver_->currentIndex() == 1;
    const bool idle = !checking();
    for (QWidget* w : std::initializer_list<QWidget*>{host_, port_, name_, user_}) {
        w->setEnabled(server && idle);
    }
    driver_->setEnabled(idle);
    station_->setEnabled(idle);
    check_->setEnabled(idle);
    buttons_->setEnabled(idle);
}

std::optional<DbLocation> DbSettingsDialog::checkedLocation() {
    const DbLocation loc = location();
    const QString problem = loc.problem();
    if (!problem.isEmpty()) {
        messages_.error(problem);
        return std::nullopt;
    }
    return loc;
}

void DbSettingsDialog::startCheck() {
    if (checking()) {
        return;
    }
    const std::optional<DbLocation> loc = checkedLocation();
    if (!loc) {
        return;
    }
    const QString where =
        loc->onServer() ? loc->url() : QDir::toNativeSeparators(DbConnection::filePath());
    outcome_->setText(txt(str::DbSetChecking).arg(where));
    probe_ = new DbProbeThread(loc->toOptions(DbConnection::options()));
    connect(probe_, &QThread::finished, this, [this] {
        const DbProbeResult result = probe_->result();
        delete probe_;
        probe_ = nullptr;
        setRunningFlag(false);
        outcome_->setText(
            txt(result.ok ? str::DbSetCheckOk : str::DbSetCheckFailed).arg(result.text));
        updateWidgets();
        emit checkFinished(result.ok);
    });
    setRunningFlag(true);
    updateWidgets();
    probe_->start();
}

void DbSettingsDialog::accept() {
    if (checking()) {
        return;
    }
    const std::optional<DbLocation> loc = checkedLocation();
    if (!loc || (onApply && !onApply(*loc))) {
        return;
    }
    QDialog::accept();
}

}  // namespace zev7
