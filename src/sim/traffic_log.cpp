#include "sim/traffic_log.h"

#include <QMutexLocker>

namespace zev7 {

namespace {

constexpr int kTimeWidth = 10;
constexpr int kTimeDecimals = 3;
constexpr char kFirstPrintable = 0x20;
constexpr char kDelete = 0x7F;

}  // namespace

QString visibleBytes(const QByteArray& bytes) {
    QString out;
    for (char c : bytes) {
        if (c == '\r') {
            out += QStringLiteral("<CR>");
        } else if (c == '\n') {
            out += QStringLiteral("<LF>");
        } else if ((c >= 0 && c < kFirstPrintable) || c == kDelete || c < 0) {
            const QString hex = QString::number(static_cast<unsigned char>(c), 16).toUpper();
            out += QStringLiteral("<0x%1>").arg(hex.rightJustified(2, QLatin1Char('0')));
        } else {
            out += QLatin1Char(c);
        }
    }
    return out;
}

QString formatTrafficEntry(const TrafficEntry& entry) {
    return QStringLiteral("%1 COM%2 %3 %4")
        .arg(usToSeconds(entry.timeUs), kTimeWidth, 'f', kTimeDecimals)
        .arg(entry.port)
        .arg(entry.toModem ? QLatin1Char('>') : QLatin1Char('<'))
        .arg(visibleBytes(entry.bytes));
}

bool TrafficLogFile::open(const QString& path, QString* error) {
    QMutexLocker lock(&mutex_);
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error != nullptr) {
            *error = file_.errorString();
        }
        return false;
    }
    return true;
}

void TrafficLogFile::write(const TrafficEntry& entry) {
    QMutexLocker lock(&mutex_);
    if (!file_.isOpen()) {
        return;
    }
    file_.write(formatTrafficEntry(entry).toUtf8() + '\n');
    file_.flush();
}

}  // namespace zev7
