#include "app/command_line.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "engine/serial/serial_port_names.h"

#include <QDir>
#include <QFileInfo>

namespace zev7 {

namespace {

// zev7 --help: read by people and by help2man, which makes the manual page of it.
constexpr char kHelp[] =
    "Использование: zev7 [ФАЙЛ.LST] [--open ПОРТ[:СЦЕНАРИЙ]]... [--answer ПОРТ[:СЦЕНАРИЙ]]...\n"
    "ВЕРСА-ТЛ: измерение коэффициента потерь вызовов (КПВ) телефонной сети измерительными\n"
    "модемами на COM-портах; окно на каждый порт, протоколы, отчеты и база результатов.\n"
    "\n"
    "Параметры:\n"
    "  ФАЙЛ.LST                  расписание пакетного режима (файл в каталоге программы)\n"
    "  --open ПОРТ[:СЦЕНАРИЙ]    %1\n"
    "  --answer ПОРТ[:СЦЕНАРИЙ]  %2\n"
    "  -h, --help                показать эту справку и выйти\n"
    "  -v, --version             показать версию и выйти\n"
    "\n"
    "Каталог программы (Scenar, Protocol, Result, ZEV7.ini, ZEV7DBASE):\n"
    "  каталог из переменной окружения ZEV7_HOME; без нее у установленной программы -\n"
    "  каталог данных пользователя ~/.local/share/zev7 (страницы помощи - из установки,\n"
    "  share/zev7/help), у программы в каталоге сборки - каталог исполняемого файла.\n"
    "\n"
    "Окружение:\n"
    "  ZEV7_HOME                 каталог программы\n"
    "  ZEV7_TIME_SCALE=K         часы идут в K раз быстрее, как у симулятора zev7-sim";

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

std::optional<QString> informationRequested(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return txt(kHelp).arg(txt(str::AppOptionOpen), txt(str::AppOptionAnswer));
        }
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            return QStringLiteral("zev7 " ZEV7_VERSION);
        }
    }
    return std::nullopt;
}

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
