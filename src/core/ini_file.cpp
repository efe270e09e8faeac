#include "core/ini_file.h"

#include "core/file_writes.h"
#include "core/text_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace zev7 {

namespace {

// Section and key names compare without regard to case.
QString nameKey(const QString& name) {
    return name.toCaseFolded();
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

void IniFile::clear() {
    sections_.clear();
    sectionIndex_.clear();
}

bool IniFile::load() {
    clear();
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
    clear();
    Section* current = nullptr;
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
    }
    // Our own files are UTF-8 throughout and are decoded in one go; only a file with other
    // bytes in it is decoded line by line.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString whole = utf8.decode(body);
    if (!utf8.hasError()) {
        for (QStringView raw : QStringView(whole).split(u'\n')) {
            parseLine(raw, current);
        }
        return;
    }
    for (const QByteArray& rawBytes : body.split('\n')) {
        parseLine(decodeLine(rawBytes), current);
    }
}

void IniFile::parseLine(QStringView raw, Section*& current) {
    const QStringView line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) {
        return;
    }
    if (line.startsWith(u'[')) {
        const qsizetype close = line.lastIndexOf(u']');
        // A broken header: its keys belong to nobody.
        current = close <= 1 ? nullptr : &sectionFor(line.mid(1, close - 1).trimmed().toString());
        return;
    }
    const qsizetype eq = line.indexOf(u'=');
    if (current == nullptr || eq <= 0 || line.contains(QChar(0))) {
        return;
    }
    setValue(*current, line.left(eq).trimmed().toString(), line.mid(eq + 1).trimmed().toString());
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
    lastError_ = replaceFileContent(path_, toText());
    if (lastError_.isEmpty()) {
        failureTold_ = false;
        return true;
    }
    if (!failureTold_ && saveFailed) {
        failureTold_ = true;
        saveFailed(path_, lastError_);
    }
    return false;
}

const IniFile::Section* IniFile::findSection(const QString& name) const {
    const auto it = sectionIndex_.constFind(nameKey(name));
    return it == sectionIndex_.constEnd() ? nullptr : &sections_[it.value()];
}

IniFile::Section& IniFile::sectionFor(const QString& name) {
    const QString key = nameKey(name);
    const auto it = sectionIndex_.constFind(key);
    if (it != sectionIndex_.constEnd()) {
        return sections_[it.value()];
    }
    sectionIndex_.insert(key, sections_.size());
    sections_.push_back({name, {}, {}});
    return sections_.back();
}

const IniFile::Entry* IniFile::findEntry(const Section& section, const QString& key) {
    if (section.keyIndex.isEmpty()) {
        // A window's section holds a handful of keys: looked through, no index.
        for (const Entry& e : section.entries) {
            if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
                return &e;
            }
        }
        return nullptr;
    }
    const auto it = section.keyIndex.constFind(nameKey(key));
    return it == section.keyIndex.constEnd() ? nullptr : &section.entries[it.value()];
}

void IniFile::setValue(Section& section, const QString& key, const QString& value) {
    if (const Entry* found = findEntry(section, key)) {
        section.entries[static_cast<std::size_t>(found - section.entries.data())].value = value;
        return;
    }
    section.entries.push_back({key, value});
    if (!section.keyIndex.isEmpty()) {
        section.keyIndex.insert(nameKey(key), section.entries.size() - 1);
    } else if (section.entries.size() > kKeysWithoutIndex) {
        for (std::size_t i = 0; i < section.entries.size(); ++i) {
            section.keyIndex.insert(nameKey(section.entries[i].key), i);
        }
    }
}

const QString* IniFile::findValue(const QString& section, const QString& key) const {
    if (path_.isEmpty()) {
        return nullptr;
    }
    const Section* s = findSection(section);
    if (s == nullptr) {
        return nullptr;
    }
    const Entry* e = findEntry(*s, key);
    return e == nullptr ? nullptr : &e->value;
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
    setValue(sectionFor(section), key, clean);
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
    const auto it = sectionIndex_.constFind(nameKey(section));
    if (it == sectionIndex_.constEnd()) {
        return;
    }
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(it.value()));
    sectionIndex_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        sectionIndex_.insert(nameKey(sections_[i].name), i);
    }
}

}  // namespace zev7
