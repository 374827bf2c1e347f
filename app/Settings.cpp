#include "app/Settings.h"

#include "app/Folders.h"
#include "app/IniFile.h"

namespace tolvex {

struct SettingsFile::Impl {
    explicit Impl(const QString& p) : ini(p) {}
    IniFile ini;
};

SettingsFile::SettingsFile()
    : m_impl(new Impl(AppDataFolder(QStringLiteral("TolvexVideoConverter/Config")) + QStringLiteral("/configure.ini")))
{
}

SettingsFile& SettingsFile::instance()
{
    // Made on first use (the language thread-safe initialisation of a local static) and
    // never destroyed: worker threads may still read settings while the process winds down.
    static SettingsFile* const instance = new SettingsFile();
    return *instance;
}

const QString& SettingsFile::path() const
{
    return m_impl->ini.path();
}

const IniFile& SettingsFile::ini() const
{
    return m_impl->ini;
}

bool ReadSetting(const QString& section, const QString& key, const QString& defaultValue, QString& out, int bufferChars)
{
    const auto stored = SettingsFile::instance().ini().value(section, key);
    out = stored.value_or(defaultValue);
    if (bufferChars > 0 && out.size() > bufferChars - 1)
        out.truncate(bufferChars - 1);
    return !out.isEmpty();
}

bool WriteSetting(const QString& section, const QString& key, const QString& value)
{
    return SettingsFile::instance().ini().setValue(section, key, value);
}

}  // namespace tolvex
