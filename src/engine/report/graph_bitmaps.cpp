#include "engine/report/graph_bitmaps.h"

#include "core/program_dir.h"

#include <QFile>
#include <atomic>

namespace zev7 {

namespace {
std::atomic<int> graphNumber{0};
}  // namespace

int nextGraphNumber() {
    return ++graphNumber;
}

int GraphCounter() {
    return graphNumber.load();
}

QString graphBitmapFileName(int port, int number) {
    return QStringLiteral("ResultComPort%1_Graphic%2.bmp").arg(port).arg(number);
}

QString graphBitmapPath(int port, int number) {
    return programPath(QStringLiteral("Result\\") + graphBitmapFileName(port, number));
}

QString graphImageLine(const QString& bitmapFileName) {
    return QStringLiteral("<p><IMG SRC=\".\\") + bitmapFileName +
           QStringLiteral("\" align=\"center\"></P>");
}

QStringList SaveGraphBitmaps(int port, GraphBitmapSource* source) {
    QStringList lines;
    if (source == nullptr) {
        return lines;
    }
    for (const GraphWindowInfo& graph : source->openGraphWindows(port)) {
        const int number = nextGraphNumber();
        if (!source->saveGraphBitmap(port, graph.kind, graphBitmapPath(port, number))) {
            // A reference to a picture that is not there would only show a broken image.
            continue;
        }
        lines << QStringLiteral("<p><align=center>") + graph.caption;
        lines << graphImageLine(graphBitmapFileName(port, number));
    }
    return lines;
}

int removeOldGraphBitmaps(int port) {
    int removed = 0;
    for (int number = 1;; ++number) {
        const QString path = graphBitmapPath(port, number);
        if (!QFile::exists(path)) {
            break;
        }
        removed += QFile::remove(path) ? 1 : 0;
    }
    return removed;
}

}  // namespace zev7
