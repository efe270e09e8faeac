#include "app/command_line.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "engine/serial/serial_port_names.h"

#include <QDir>
#include <QFileInfo>

namespace zev7 {

namespace {

std::optional<PortWindowRequest> parseRequest(const QString& value, bool answer) {
    const qsizetype colon = value.indexOf(QLatin1Char(':'));
    bool ok = false;
    const int port = (colon < 0 ? value : value.left(colon)).toInt(&ok);
    if (!ok || port < kFirstPort || port > kLastPort) {
        return std::nullopt;
    }
    PortWindowRequest request;
    request.port = port;
    request.answer = answer;
    if (colon >= 0) {
        request.scenario = value.mid(colon + 1);
        if (request.scenario.isEmpty()) {
            return std::nullopt;
        }
    }
    return request;
}

}  // namespace

QString batchListArgument(const QStringList& plainArguments) {
    QString found;
    for (const QString& argument : plainArguments) {
        if (!argument.toUpper().endsWith(QStringLiteral(".LST"))) {
            continue;
        }
        const QString path = QDir(programDir()).filePath(argument);
        if (QFileInfo(path).isFile()) {
            found = path;
        }
    }
    return found;
}

std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QStringList& errors) {
    CommandLine line;
    QStringList plain;
    const QString openOption = QStringLiteral("--open");
    const QString answerOption = QStringLiteral("--answer");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool open = argument == openOption || argument.startsWith(openOption + u'=');
        const bool answer = argument == answerOption || argument.startsWith(answerOption + u'=');
        if (!open && !answer) {
            plain.append(argument);
            continue;
        }
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        }
        const auto request = parseRequest(value, answer);
        if (!request) {
            errors.append(txt(str::AppBadOpenItem).arg(argument + u' ' + value));
            continue;
        }
        line.windows.push_back(*request);
    }
    line.batchList = batchListArgument(plain);
    if (!errors.isEmpty()) {
        return std::nullopt;
    }
    return line;
}

}  // namespace zev7
