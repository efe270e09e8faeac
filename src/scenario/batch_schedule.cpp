#include "scenario/batch_schedule.h"

#include "core/strings.h"
#include "core/text_codec.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <optional>
#include <set>

namespace zev7 {

namespace {

QString decode(const QByteArray& bytes) {
    // Notepad saves "Unicode" as UTF-16 with a byte-order mark, and may put one before UTF-8.
    if (const std::optional<QStringConverter::Encoding> marked =
            QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*marked, QStringDecoder::Flag::Stateless);
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return fromCp1251(bytes);
}

// The white-space separated words of the text, in order.
class Words {
public:
    explicit Words(const QString& text) : text_(text) {}

    bool next(QString& word) {
        while (at_ < text_.size() && isSpace(text_.at(at_))) {
            ++at_;
        }
        const qsizetype start = at_;
        while (at_ < text_.size() && !isSpace(text_.at(at_))) {
            ++at_;
        }
        word = text_.mid(start, at_ - start);
        return !word.isEmpty();
    }

private:
    // Control characters count as white space, as they did for the text files of the Windows
    // programs that write schedules.
    static bool isSpace(QChar c) { return c.unicode() <= u' ' || c.isSpace(); }

    const QString& text_;
    qsizetype at_ = 0;
};

// A COM port number 1..64, in decimal digits.
bool readPort(const QString& word, int& port) {
    static const QRegularExpression integer(QStringLiteral("^[+]?[0-9]+$"));
    if (!integer.match(word).hasMatch()) {
        return false;
    }
    bool ok = false;
    port = word.toInt(&ok);
    return ok && port >= kFirstBatchPort && port <= kLastBatchPort;
}

// A word of a damaged schedule as the log shows it: its beginning only.
QString quoted(const QString& word) {
    constexpr int kShownLength = 32;
    return word.size() <= kShownLength ? word : word.left(kShownLength) + QStringLiteral("...");
}

// A name must stay inside its folder: the report is written there, and a schedule is no place
// to overwrite files elsewhere on the machine.
bool staysInside(const QString& name) {
    if (name.startsWith(u'/') || name.startsWith(u'\\') ||
        (name.size() >= 2 && name.at(1) == u':')) {
        return false;
    }
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    for (const QString& part : name.split(separators)) {
        if (part == QStringLiteral("..")) {
            return false;
        }
    }
    return true;
}

// Checks one name of item `index`; empty when it is fine, else the problem.
QString nameProblem(int index, int port, const QString& name, const char* folder) {
    if (name.size() > kMaxBatchWordLength) {
        return txt(str::BatchNameTooLong).arg(index).arg(port).arg(kMaxBatchWordLength);
    }
    if (!staysInside(name)) {
        return txt(str::BatchNameOutside).arg(index).arg(port).arg(name, QLatin1String(folder));
    }
    return {};
}

}  // namespace

BatchSchedule parseBatchSchedule(const QByteArray& bytes) {
    BatchSchedule schedule;
    const QString text = decode(bytes);
    Words words(text);
    QString word;
    if (!words.next(word)) {
        schedule.problem = txt(str::BatchNoCloseWord);
        return schedule;
    }
    schedule.closeAtEnd = word.toUpper() != QStringLiteral("NOCLOSE");

    // Every word after the close word belongs to an item: a word that should be a port number
    // and is not one would otherwise end the reading there, and the items after it would
    // silently not run.
    std::set<int> ports;
    while (words.next(word)) {
        const int index = static_cast<int>(schedule.items.size()) + 1;
        if (index > kMaxBatchItems) {
            schedule.problem = txt(str::BatchTooManyItems).arg(kMaxBatchItems);
            break;
        }
        BatchItem item;
        if (!readPort(word, item.port)) {
            schedule.problem = txt(str::BatchItemBadPort).arg(index).arg(quoted(word));
            break;
        }
        if (!words.next(item.scenario)) {
            schedule.problem = txt(str::BatchItemNoScenario).arg(index).arg(item.port);
            break;
        }
        if (!words.next(item.report)) {
            // The item counts, though it cannot run.
            schedule.items.push_back(item);
            schedule.problem = txt(str::BatchItemNoReport).arg(index).arg(item.port);
            break;
        }
        schedule.problem = nameProblem(index, item.port, item.scenario, "Scenar");
        if (schedule.problem.isEmpty()) {
            schedule.problem = nameProblem(index, item.port, item.report, "Result");
        }
        // One port runs one scenario at a time: a second item for it would load its scenario
        // into the window of the running one.
        if (schedule.problem.isEmpty() && !ports.insert(item.port).second) {
            schedule.problem = txt(str::BatchDuplicatePort).arg(index).arg(item.port);
        }
        schedule.items.push_back(item);
        if (schedule.malformed()) {
            break;
        }
    }
    // A run of nothing would end "Успешно завершен." with no call made.
    if (!schedule.malformed() && schedule.items.empty()) {
        schedule.problem = txt(str::BatchNoItems);
    }
    return schedule;
}

BatchSchedule readBatchSchedule(const QString& path) {
    BatchSchedule schedule;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        schedule.problem = txt(str::BatchScheduleUnreadable).arg(path, file.errorString());
        return schedule;
    }
    const QByteArray bytes = file.read(kMaxScheduleBytes + 1);
    if (bytes.size() > kMaxScheduleBytes) {
        schedule.problem = txt(str::BatchScheduleTooLarge).arg(path).arg(kMaxScheduleBytes);
        return schedule;
    }
    if (file.error() != QFileDevice::NoError) {
        schedule.problem = txt(str::BatchScheduleUnreadable).arg(path, file.errorString());
        return schedule;
    }
    return parseBatchSchedule(bytes);
}

QString firstWord(const QByteArray& bytes) {
    const QString text = decode(bytes);
    Words words(text);
    QString word;
    words.next(word);
    return word;
}

}  // namespace zev7
