#pragma once

// A plain INI file read fresh from disk on every lookup and written at once.
// Lines "[section]" and "key=value"; ';' and '#' start comments. A value that a plain line
// could not carry exactly (a line break or another control character, blanks at either
// end, a double quote at either end) is written in double quotes with backslash escapes
// (\\ \" \n \r \t \xHH), so it reads back exactly and can never start a key or section of
// its own. Writes go through a temporary file and a rename, so a reader never sees half a
// file. Writes within the process are serialised; a read may run from any thread.

#include <QString>

#include <optional>

namespace tolvex {

class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }
    // The stored value, or nothing when the file, the section or the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Sets (adds or replaces) one key; creates the file when there is none. False when it
    // cannot be written, when a file is there but cannot be read (no permission, no
    // descriptor left, not a plain file: it is never replaced by one holding only this
    // key), and for a section or key name that a line could not hold (empty, a line break, "]"
    // in a section, "=" in a key, a key starting a comment or a section).
    bool setValue(const QString& section, const QString& key, const QString& value) const;

    // The parser on a file's text, for the lookups above and the fuzz target.
    static std::optional<QString> valueIn(const QString& text, const QString& section, const QString& key);
    // A value as it stands after "key=", and back.
    static QString encodeValue(const QString& value);
    static QString decodeValue(const QString& stored);

private:
    QString m_path;
};

}  // namespace tolvex
