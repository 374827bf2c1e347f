#pragma once

// A plain INI file read fresh from disk on every lookup and written at once.
// Lines "[section]" and "key=value"; ';' and '#' start comments. Writes go through a
// temporary file and a rename, so a reader never sees half a file. Writes within the
// process are serialised; a read may run from any thread.

#include <QString>

#include <optional>

namespace tolvex {

class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }
    // The stored value, or nothing when the file, the section or the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Sets (adds or replaces) one key; creates the file. False when it cannot be written.
    bool setValue(const QString& section, const QString& key, const QString& value) const;

private:
    QString m_path;
};

}  // namespace tolvex
