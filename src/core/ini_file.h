// "ZEV7.ini" and the configuration sets "CFG\*.cfg": a plain INI text the user can read and edit
// in any text editor. Sections carry the window captions as they stand ("[Порт:3]", "[ВЕРСА-ТЛ]"),
// so we keep our own small reader and writer instead of QSettings, whose INI format escapes
// non-Latin section names. Section and key names compare without regard to case, as the users'
// INI files always did.
//
// The file is read into memory once; reads never fail (a missing key, a value that does not
// parse, a missing or damaged file: the caller's default); save() writes a temporary file next
// to the target and renames it over, so a failed write (a full disk) leaves the previous good
// file in place, and the failure is told to the user.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace zev7 {

// The program's settings file in the program directory: the windows' places and looks, the
// configuration sets' main section, the serial devices of the ports.
inline constexpr char kConfigFileName[] = "ZEV7.ini";

class IniFile {
public:
    // A configuration file is a few kilobytes; anything far larger is not ours and is not read.
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

    // With an empty path the file is "switched off": every read gives its default and save()
    // writes nothing (the default arrangement of the windows).
    explicit IniFile(const QString& path = {});

    const QString& path() const { return path_; }
    void setPath(const QString& path) { path_ = path; }

    // Reads the file; false when it is missing or unreadable (the contents are then empty).
    // Lines that are neither a section, a key=value pair, a comment nor blank are skipped.
    bool load();
    // Writes the contents; false (and the previous file kept) when any step fails, with the
    // system's reason in lastError().
    bool save() const;
    const QString& lastError() const { return lastError_; }

    // Told of a failed save with the file's path and the reason: once, until a save succeeds
    // again (every window writes its section when it closes; one message is enough).
    std::function<void(const QString& path, const QString& error)> saveFailed;

    // The text as it would be written (UTF-8).
    QByteArray toText() const;
    void parse(const QByteArray& text);
    void clear();

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
    // Names are looked up by their case-folded form, so that reading and writing a file of any
    // size takes time in proportion to it (a file grown to 100 000 sections by a faulty tool
    // still opens at once).
    struct Section {
        QString name;
        std::vector<Entry> entries;
        QHash<QString, std::size_t> keyIndex;  // only once the section has many keys
    };
    static constexpr std::size_t kKeysWithoutIndex = 16;

    // One line of the file; `current` is the section its keys go to.
    void parseLine(QStringView raw, Section*& current);
    const Section* findSection(const QString& name) const;
    Section& sectionFor(const QString& name);
    const QString* findValue(const QString& section, const QString& key) const;
    static const Entry* findEntry(const Section& section, const QString& key);
    static void setValue(Section& section, const QString& key, const QString& value);

    QString path_;
    std::vector<Section> sections_;
    QHash<QString, std::size_t> sectionIndex_;
    mutable QString lastError_;
    mutable bool failureTold_ = false;
};

}  // namespace zev7
