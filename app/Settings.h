#pragma once

// The per-user settings file "configure.ini" in TolvexVideoConverter/Config.
// Nothing is cached: every read goes to the file, so a value written by one part of the
// program is seen by the next reader, on any thread.

#include <QString>

namespace tolvex {

class IniFile;

// The one process-wide settings file, created on first use (thread-safe).
class SettingsFile {
public:
    static SettingsFile& instance();
    const QString& path() const;
    const IniFile& ini() const;

private:
    SettingsFile();
    struct Impl;
    Impl* m_impl;  // lives until the process ends
};

// Reads a value into `out` (the default when missing), cut to bufferChars - 1 characters;
// bufferChars 0 or less reads the whole value. True when `out` holds at least one
// character, whether it came from the file or from the default.
bool ReadSetting(const QString& section, const QString& key, const QString& defaultValue, QString& out,
                 int bufferChars);
bool WriteSetting(const QString& section, const QString& key, const QString& value);

}  // namespace tolvex
