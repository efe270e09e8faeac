#include "ui/ini_file.h"

#include "core/text_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace zev7 {

namespace {

// A configuration file is a few kilobytes; anything far larger is not ours.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Files written by us are UTF-8; a file edited on the users' machines may be Windows-1251. The
// choice is made per line, so one damaged line does not spoil the others.
QString decodeLine(const QByteArray& line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(line);
    return utf8.hasError() ? fromCp1251(line) : text;
}

}  // namespace

IniFile::IniFile(const QString& path) : path_(path) {}

bool IniFile::load() {
    sections_.clear();
    if (path_.isEmpty()) {
        return false;
    }
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    parse(bytes);
    return true;
}

void IniFile::parse(const QByteArray& bytes) {
    sections_.clear();
    Section* current = nullptr;
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
    }
    for (const QByteArray& rawBytes : body.split('\n')) {
        const QString raw = decodeLine(rawBytes);
        const QStringView line = QStringView(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) {
            continue;
        }
        if (line.startsWith(u'[')) {
            const qsizetype close = line.lastIndexOf(u']');
            if (close <= 1) {
                current = nullptr;  // a broken header: its keys belong to nobody
                continue;
            }
            current = &sectionFor(line.mid(1, close - 1).trimmed().toString());
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (current == nullptr || eq <= 0 || line.contains(QChar(0))) {
            continue;
        }
        const QString key = line.left(eq).trimmed().toString();
        const QString value = line.mid(eq + 1).trimmed().toString();
        bool replaced = false;
        for (Entry& e : current->entries) {
            if (sameName(e.key, key)) {
                e.value = value;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            current->entries.push_back({key, value});
        }
    }
}

QByteArray IniFile::toText() const {
    QString out;
    bool first = true;
    for (const Section& s : sections_) {
        if (!first) {
            out += u'\n';
        }
        first = false;
        out += QLatin1Char('[') + s.name + QStringLiteral("]\n");
        for (const Entry& e : s.entries) {
            out += e.key + u'=' + e.value + u'\n';
        }
    }
    return out.toUtf8();
}

bool IniFile::save() const {
    if (path_.isEmpty()) {
        return false;
    }
    // QSaveFile writes "<name>.XXXXXX" beside the target and renames it only after every
    // write and the flush succeeded.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray text = toText();
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

const IniFile::Section* IniFile::findSection(const QString& name) const {
    for (const Section& s : sections_) {
        if (sameName(s.name, name)) {
            return &s;
        }
    }
    return nullptr;
}

IniFile::Section& IniFile::sectionFor(const QString& name) {
    for (Section& s : sections_) {
        if (sameName(s.name, name)) {
            return s;
        }
    }
    sections_.push_back({name, {}});
    return sections_.back();
}

const QString* IniFile::findValue(const QString& section, const QString& key) const {
    if (path_.isEmpty()) {
        return nullptr;
    }
    const Section* s = findSection(section);
    if (s == nullptr) {
        return nullptr;
    }
    for (const Entry& e : s->entries) {
        if (sameName(e.key, key)) {
            return &e.value;
        }
    }
    return nullptr;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const QString* v = findValue(section, key);
    return v ? *v : def;
}

int IniFile::readInt(const QString& section, const QString& key, int def) const {
    const QString* v = findValue(section, key);
    if (v == nullptr) {
        return def;
    }
    bool ok = false;
    const int n = v->toInt(&ok);
    return ok ? n : def;
}

double IniFile::readDouble(const QString& section, const QString& key, double def) const {
    const QString* v = findValue(section, key);
    if (v == nullptr) {
        return def;
    }
    bool ok = false;
    QString text = *v;
    text.replace(u',', u'.');
    const double d = text.toDouble(&ok);
    return ok ? d : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    const QString* v = findValue(section, key);
    if (v == nullptr) {
        return def;
    }
    const QString t = v->trimmed().toLower();
    if (t == u"1" || t == u"true") {
        return true;
    }
    if (t == u"0" || t == u"false") {
        return false;
    }
    return def;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    return findValue(section, key) != nullptr;
}

bool IniFile::hasSection(const QString& section) const {
    return !path_.isEmpty() && findSection(section) != nullptr;
}

QStringList IniFile::sectionNames() const {
    QStringList names;
    for (const Section& s : sections_) {
        names << s.name;
    }
    return names;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    if (path_.isEmpty()) {
        return;
    }
    // A value is one line; line breaks would split it into a broken key on reading.
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    Section& s = sectionFor(section);
    for (Entry& e : s.entries) {
        if (sameName(e.key, key)) {
            e.value = clean;
            return;
        }
    }
    s.entries.push_back({key, clean});
}

void IniFile::writeInt(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeDouble(const QString& section, const QString& key, double value) {
    writeString(section, key, QString::number(value, 'g', 15));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::eraseSection(const QString& section) {
    std::erase_if(sections_, [&](const Section& s) { return sameName(s.name, section); });
}

}  // namespace zev7
