#include "app/Settings.h"

#include "app/Folders.h"
#include "app/IniFile.h"

#include <atomic>
#include <mutex>

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
    // Created once, under a lock with a second test inside it, and never destroyed:
    // worker threads may still read settings while the process winds down.
    static std::atomic<SettingsFile*> instance{nullptr};
    static std::mutex lock;
    SettingsFile* current = instance.load(std::memory_order_acquire);
    if (!current) {
        std::lock_guard<std::mutex> guard(lock);
        current = instance.load(std::memory_order_relaxed);
        if (!current) {
            current = new SettingsFile();
            instance.store(current, std::memory_order_release);
        }
    }
    return *current;
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
