#include "dbui/word_export.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "dbui/wait_cursor.h"
#include "scenario/user_messages.h"

#include <QAbstractItemModel>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QUrl>

namespace zev7 {

namespace {

// A file name from a window caption: the characters file systems refuse become "_".
QString fileNameFor(const QString& caption) {
    QString name = caption.trimmed();
    for (QChar& c : name) {
        if (QStringLiteral("\\/:*?\"<>|").contains(c)) {
            c = QLatin1Char('_');
        }
    }
    return (name.isEmpty() ? QStringLiteral("table") : name) + QStringLiteral(".docx");
}

QString cellText(const QTableView& view, const QModelIndex& index) {
    const QVariant value = index.data(Qt::DisplayRole);
    if (const auto* d =
            qobject_cast<const QStyledItemDelegate*>(view.itemDelegateForIndex(index))) {
        return d->displayText(value, view.locale());
    }
    return value.toString();
}

}  // namespace

QString periodHeading(const PeriodTexts& period) {
    return QStringList{
        txt(str::ExportPeriodDate), period.dateOn, txt(str::ExportPeriodTo), period.dateOff,
        txt(str::ExportPeriodTime), period.timeOn, txt(str::ExportPeriodTo), period.timeOff}
        .join(QLatin1Char(' '));
}

WordDocument gridDocument(const QTableView& view, const QString& caption, const QString& heading,
                          PageOrientation orientation) {
    WordDocument d;
    d.paragraphs = exportParagraphs(caption, heading);
    d.orientation = orientation;
    QAbstractItemModel* model = view.model();
    if (model == nullptr) {
        return d;
    }
    while (model->canFetchMore(QModelIndex())) {
        model->fetchMore(QModelIndex());
    }
    // Columns in the order the user sees them.
    QList<int> columns;
    const QHeaderView* header = view.horizontalHeader();
    for (int visual = 0; visual < model->columnCount(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical >= 0 && !view.isColumnHidden(logical)) {
            columns << logical;
            d.header << model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString();
        }
    }
    for (int row = 0; row < model->rowCount(); ++row) {
        if (view.isRowHidden(row)) {
            continue;
        }
        QStringList cells;
        for (int c : columns) {
            cells << cellText(view, model->index(row, c));
        }
        d.rows << cells;
    }
    return d;
}

namespace {

// The desktop's opener, watched to its end: QDesktopServices reports success as soon as
// xdg-open has started, also when it then finds no program.
void openWithDesktop(const QString& path, const std::function<void()>& notOpened) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
            notOpened();
        }
        return;
    }
    // Without a parent: the word processor the opener may still be running in outlives the
    // program rather than being ended with it.
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::finished, process,
                     [process, notOpened](int code, QProcess::ExitStatus status) {
                         if (code != 0 || status != QProcess::NormalExit) {
                             notOpened();
                         }
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, notOpened](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             notOpened();
                             process->deleteLater();
                         }
                     });
    process->start(opener, {path});
}

DocumentOpener& documentOpener() {
    static DocumentOpener opener = openWithDesktop;
    return opener;
}

}  // namespace

bool exportGridToWord(QWidget* parent, const QTableView& view, const QString& caption,
                      const QString& heading, PageOrientation orientation, UserMessages& messages,
                      QString path) {
    if (path.isEmpty()) {
        const QString folder = programPath(QStringLiteral("Result"));
        QDir().mkpath(folder);
        path = QFileDialog::getSaveFileName(parent, txt(str::ExportSaveCaption),
                                            QDir(folder).filePath(fileNameFor(caption)),
                                            txt(str::ExportFilter));
        if (path.isEmpty()) {
            return false;
        }
    }
    QString error;
    {
        WaitCursor wait;
        if (!writeDocx(path, gridDocument(view, caption, heading, orientation), &error)) {
            messages.error(txt(str::ExportCannotWrite).arg(QDir::toNativeSeparators(path), error));
            return false;
        }
    }
    // Without a program for the document the user is told where it lies.
    documentOpener()(path, [&messages, path] {
        messages.show(MessageIcon::Information, txt(str::CaptionWarning),
                      txt(str::ExportSaved).arg(QDir::toNativeSeparators(path)));
    });
    return true;
}

void setDocumentOpener(DocumentOpener opener) {
    documentOpener() = opener ? std::move(opener) : DocumentOpener(openWithDesktop);
}

}  // namespace zev7
