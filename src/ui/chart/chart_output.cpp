#include "ui/chart/chart_output.h"

#include "core/file_writes.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "scenario/user_messages.h"

#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QClipboard>
#include <QColorDialog>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QSvgGenerator>
#include <QtEndian>
#include <array>

namespace zev7 {

namespace {

// The printed picture is at most this share of the page width (proportional scale).
constexpr double kPrintWidthShare = 0.8;
// The header line's height in font heights.
constexpr double kPrintLineFactor = 1.4;

// The sixteen colours of a 4-bit Windows bitmap, in the order Windows keeps them.
constexpr std::array<QRgb, 16> kBitmapColours = {
    0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
    0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};

QImage pictureOf(QWidget* view) {
    return view->grab().toImage();
}

// The drawing is made in memory and written whole, so a full disk leaves no half a file.
bool svgOf(QWidget* view, QByteArray* bytes) {
    QBuffer buffer(bytes);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(view->size());
    svg.setViewBox(QRect(QPoint(0, 0), view->size()));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    view->render(&painter);
    return painter.end();
}

bool pictureFileOf(QWidget* view, const char* format, QByteArray* bytes) {
    QBuffer buffer(bytes);
    return buffer.open(QIODevice::WriteOnly) && pictureOf(view).save(&buffer, format);
}

}  // namespace

ChartDialogs& ChartDialogs::instance() {
    static ChartDialogs dialogs{
        [](QWidget* parent, const QString& proposed, const QString& filter) {
            // The program asks its own question about a file that exists, once.
            return QFileDialog::getSaveFileName(parent, QString(), proposed, filter, nullptr,
                                                QFileDialog::DontConfirmOverwrite);
        },
        [](QWidget* parent, const QColor& current) {
            return QColorDialog::getColor(current, parent);
        },
        [](QWidget* parent, QPrinter& printer) {
            QPrintDialog dialog(&printer, parent);
            return dialog.exec() == QDialog::Accepted;
        }};
    return dialogs;
}

bool writeChartFile(QWidget* view, const QString& path, UserMessages& messages) {
    const QString ext = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    bool made = false;
    if (ext == QLatin1String("svg")) {
        made = svgOf(view, &bytes);
    } else if (ext == QLatin1String("bmp") || ext == QLatin1String("png")) {
        made = pictureFileOf(view, ext == QLatin1String("bmp") ? "BMP" : "PNG", &bytes);
    } else {
        messages.error(txt(str::ChartFormatUnsupported).arg(QFileInfo(path).fileName()));
        return false;
    }
    if (!made) {
        messages.error(txt(str::ChartSaveFailed).arg(QDir::toNativeSeparators(path), QString()));
        return false;
    }
    return writePictureFile(path, bytes, messages);
}

bool writePictureFile(const QString& path, const QByteArray& bytes, UserMessages& messages) {
    const QString error = replaceFileContent(path, bytes);
    if (!error.isEmpty()) {
        messages.error(txt(str::ChartSaveFailed).arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    return true;
}

bool SaveChartToFile(QWidget* window, QWidget* view, UserMessages& messages) {
    QDir().mkpath(programPath(QStringLiteral("Picture")));
    QString proposed = programPath(QStringLiteral("Picture/")) + txt(str::ChartDefaultName) +
                       QStringLiteral(".bmp");
    for (;;) {
        QString name =
            ChartDialogs::instance().saveName(window, proposed, txt(str::ChartSaveFilter));
        if (name.isEmpty()) {
            return false;
        }
        if (QFileInfo(name).suffix().isEmpty()) {
            name += QStringLiteral(".bmp");
        }
        if (QFileInfo::exists(name)) {
            if (!messages.askYesNo(txt(str::ScenarioExistsName) + QStringLiteral(" '") +
                                   QFileInfo(name).fileName() + QStringLiteral("' ") +
                                   txt(str::ScenarioExistsOverwrite))) {
                proposed = name;
                continue;
            }
            QFile::remove(name);
        }
        return writeChartFile(view, name, messages);
    }
}

void CopyChartToClipboard(QWidget* view) {
    QApplication::clipboard()->setImage(pictureOf(view));
}

void printPicture(QPrinter& printer, const QImage& picture, const QString& caption,
                  PrintScale scale) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return;
    }
    const QRect page = painter.viewport();
    const int line = static_cast<int>(painter.fontMetrics().height() * kPrintLineFactor);
    const int x = page.width() / 10;
    const QDateTime now = QDateTime::currentDateTime();
    painter.drawText(x, 4 * line, now.toString(QStringLiteral(" dd.MM.yyyy  hh:mm:ss ")) + caption);
    const int top = 5 * line;
    QSizeF size = picture.size();
    const QSizeF room(page.width() - x, page.height() - top);
    switch (scale) {
        case PrintScale::Proportional: {
            const QScreen* screen = QGuiApplication::primaryScreen();
            const double screenDpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
            size *= printer.resolution() / screenDpi;
            const QSizeF most(page.width() * kPrintWidthShare, room.height());
            if (size.width() > most.width() || size.height() > most.height()) {
                size.scale(most, Qt::KeepAspectRatio);
            }
            break;
        }
        case PrintScale::FitToPage:
            size.scale(room, Qt::KeepAspectRatio);
            break;
        case PrintScale::OneToOne:
            break;
    }
    painter.drawImage(QRectF(QPointF(x, top), size), picture);
    painter.end();
}

bool PrintChart(QWidget* window, QWidget* view, PrintScale scale) {
    QPrinter printer(QPrinter::HighResolution);
    if (!ChartDialogs::instance().print(window, printer)) {
        return false;
    }
    const QString caption = window->windowTitle();
    QWidget* top = QApplication::activeWindow();
    printer.setDocName(
        txt(str::ChartPrintJob)
            .arg(top != nullptr ? top->windowTitle() : txt(str::ProgramName), caption));
    printPicture(printer, pictureOf(view), caption, scale);
    return true;
}

void setChartBackColour(QChart* chart, const QColor& colour) {
    chart->setBackgroundBrush(colour);
}

bool ChooseChartBackColour(QWidget* window, QChart* chart) {
    const QColor chosen = ChartDialogs::instance().colour(window, chart->backgroundBrush().color());
    if (!chosen.isValid()) {
        return false;
    }
    setChartBackColour(chart, chosen);
    return true;
}

QMenu* makeChartMenu(QWidget* window, QChart* chart, QWidget* view, UserMessages* messages,
                     const std::function<void()>& backgroundChosen) {
    auto* menu = new QMenu(window);
    menu->setObjectName(QStringLiteral("PopupMenu_Chart"));
    menu->addAction(txt(str::ChartBackground), window, [=] {
        if (ChooseChartBackColour(window, chart) && backgroundChosen) {
            backgroundChosen();
        }
    });
    menu->addAction(txt(str::ChartToClipboard), window, [view] { CopyChartToClipboard(view); });
    menu->addAction(txt(str::ChartToFile), window, [=] {
        if (messages != nullptr) {
            SaveChartToFile(window, view, *messages);
        }
    });
    menu->addAction(txt(str::ChartPrint), window, [=] { PrintChart(window, view); });
    return menu;
}

bool HandleWindowKeys(QKeyEvent* event, QWidget* window) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        return false;
    }
    if (event->key() == Qt::Key_C) {
        CopyChartToClipboard(window);
        return true;
    }
    if (event->key() == Qt::Key_P) {
        PrintChart(window, window);
        return true;
    }
    return false;
}

int colourToIni(const QColor& colour) {
    return (colour.blue() << 16) | (colour.green() << 8) | colour.red();
}

QColor colourFromIni(int value, const QColor& fallback) {
    if (value < 0 || value > 0xffffff) {
        return fallback;
    }
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

bool saveBitmap16(const QImage& picture, const QString& path) {
    const QList<QRgb> table(kBitmapColours.begin(), kBitmapColours.end());
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, table,
                                                   Qt::ThresholdDither | Qt::AvoidDither);
    const int width = indexed.width();
    const int height = indexed.height();
    if (width <= 0 || height <= 0) {
        return false;
    }
    const int rowBytes = ((width + 1) / 2 + 3) & ~3;  // two pixels a byte, rows of whole words
    constexpr int kHeaderBytes = 14 + 40 + 16 * 4;
    QByteArray data(kHeaderBytes + rowBytes * height, '\0');
    auto* bytes = reinterpret_cast<uchar*>(data.data());
    const auto put16 = [bytes](int at, quint16 v) { qToLittleEndian(v, bytes + at); };
    const auto put32 = [bytes](int at, quint32 v) { qToLittleEndian(v, bytes + at); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<quint32>(data.size()));
    put32(10, kHeaderBytes);
    put32(14, 40);
    put32(18, static_cast<quint32>(width));
    put32(22, static_cast<quint32>(height));  // positive: rows bottom-up
    put16(26, 1);
    put16(28, 4);
    put32(34, static_cast<quint32>(rowBytes * height));
    put32(46, 16);
    for (int i = 0; i < 16; ++i) {
        const QRgb c = kBitmapColours[i];
        bytes[54 + 4 * i] = static_cast<uchar>(qBlue(c));
        bytes[55 + 4 * i] = static_cast<uchar>(qGreen(c));
        bytes[56 + 4 * i] = static_cast<uchar>(qRed(c));
    }
    for (int y = 0; y < height; ++y) {
        const uchar* src = indexed.constScanLine(y);
        uchar* row = bytes + kHeaderBytes + (height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const uchar index = src[x] & 0x0f;
            row[x / 2] |= (x % 2 == 0) ? static_cast<uchar>(index << 4) : index;
        }
    }
    return replaceFileContent(path, data).isEmpty();
}

QImage renderChartAt(QChart* chart, QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    if (chart == nullptr || chart->scene() == nullptr) {
        return picture;
    }
    const QSizeF before = chart->size();
    const auto layOut = [chart](QSizeF to) {
        chart->resize(to);
        if (chart->layout() != nullptr) {
            chart->layout()->activate();
        }
    };
    layOut(QSizeF(size));
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        chart->scene()->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)),
                               QRectF(chart->pos(), QSizeF(size)));
    }
    layOut(before);
    return picture;
}

}  // namespace zev7
