// "ZEV7.ini" and the configuration sets "CFG\*.cfg": a plain INI text the user can read and edit
// in any text editor. Sections carry the window captions as they stand ("[Порт:3]", "[ВЕРСА-ТЛ]"),
// so we keep our own small reader and writer instead of QSettings, whose INI format escapes
// non-Latin section names. Section and key names compare without regard to case, as the users'
// INI files always did.
//
// The file is read into memory once; reads never fail (a missing key, a value that does not
// parse, a missing or damaged file: the caller's default); save() writes a temporary file next
// to the target and renames it over, so a failed write leaves the previous good file in place.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zev7 {

class IniFile {
public:
    // With an empty path the file is "switched off": every read gives its default and save()
    // writes nothing (the default arrangement of the windows).
    explicit IniFile(const QString& path = {});

    const QString& path() const { return path_; }
    void setPath(const QString& path) { path_ = path; }

    // Reads the file; false when it is missing or unreadable (the contents are then empty).
    // Lines that are neither a section, a key=value pair, a comment nor blank are skipped.
    bool load();
    // Writes the contents; false (and the previous file kept) when any step fails.
    bool save() const;

    // The text as it would be written (UTF-8).
    QByteArray toText() const;
    void parse(const QByteArray& text);
    void clear() { sections_.clear(); }

    QString readString(const QString& section, const QString& key, const QString& def = {}) const;
    int readInt(const QString& section, const QString& key, int def = 0) const;
    double readDouble(const QString& section, const QString& key, double def = 0.0) const;
    bool readBool(const QString& section, const QString& key, bool def = false) const;
    bool hasKey(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const;
    QStringList sectionNames() const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInt(const QString& section, const QString& key, int value);
    void writeDouble(const QString& section, const QString& key, double value);
    void writeBool(const QString& section, const QString& key, bool value);
    void eraseSection(const QString& section);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };

    const Section* findSection(const QString& name) const;
    Section& sectionFor(const QString& name);
    const QString* findValue(const QString& section, const QString& key) const;

    QString path_;
    std::vector<Section> sections_;
};

}  // namespace zev7
