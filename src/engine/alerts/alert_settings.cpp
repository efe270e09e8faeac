#include "engine/alerts/alert_settings.h"

#include "core/ini_file.h"
#include "core/strings.h"

#include <QProcess>

namespace zev7 {

namespace {

int readThreshold(const IniFile& ini, const char* key, QStringList& problems) {
    const QString section = QString::fromUtf8(kAlertSection);
    const QString name = QString::fromLatin1(key);
    const QString text = ini.readString(section, name).trimmed();
    if (text.isEmpty()) {
        return 0;
    }
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < 0 || value > kMaxAlertThreshold) {
        problems.append(
            txt(str::AlertBadThreshold).arg(name, text, QString::number(kMaxAlertThreshold)));
        return 0;
    }
    return value;
}

QString readCommand(const IniFile& ini, QStringList& problems) {
    const QString text =
        ini.readString(QString::fromUtf8(kAlertSection), QStringLiteral("Command")).trimmed();
    if (text.isEmpty()) {
        return {};
    }
    const QStringList parts = QProcess::splitCommand(text);
    if (text.size() > kMaxAlertCommandLength || parts.isEmpty() || parts.first().isEmpty()) {
        problems.append(txt(str::AlertBadCommand).arg(text.left(kMaxAlertCommandLength)));
        return {};
    }
    return text;
}

}  // namespace

AlertSettings readAlertSettings(const IniFile& ini, QStringList& problems) {
    AlertSettings s;
    s.enabled = ini.hasSection(QString::fromUtf8(kAlertSection));
    s.lossStreak = readThreshold(ini, "LossStreak", problems);
    s.categoryStreak = readThreshold(ini, "CategoryStreak", problems);
    s.failedCycles = readThreshold(ini, "FailedCycles", problems);
    s.command = readCommand(ini, problems);
    return s;
}

}  // namespace zev7
