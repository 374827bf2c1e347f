#include "app/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <mutex>

namespace tolvex {

namespace {

std::mutex& WriteLock()
{
    static std::mutex lock;
    return lock;
}

QStringList ReadLines(const QString& path, bool* exists)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *exists = false;
        return {};
    }
    *exists = true;
    const QString text = QString::fromUtf8(file.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool IsSectionLine(const QString& trimmed, QString* name)
{
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
        *name = trimmed.mid(1, trimmed.size() - 2).trimmed();
        return true;
    }
    return false;
}

bool IsKeyLine(const QString& trimmed, const QString& key, QString* value)
{
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return false;
    const int eq = trimmed.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    if (trimmed.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    *value = trimmed.mid(eq + 1).trimmed();
    if (value->size() >= 2 && value->startsWith(QLatin1Char('"')) && value->endsWith(QLatin1Char('"')))
        *value = value->mid(1, value->size() - 2);
    return true;
}

}  // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    bool exists = false;
    const QStringList lines = ReadLines(m_path, &exists);
    bool inSection = false;
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        QString name;
        if (IsSectionLine(trimmed, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && IsKeyLine(trimmed, key, &value))
            return value;
    }
    return std::nullopt;
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value) const
{
    std::lock_guard<std::mutex> guard(WriteLock());
    bool exists = false;
    QStringList lines = ReadLines(m_path, &exists);
    const QString entry = key + QLatin1Char('=') + value;

    int sectionLine = -1;
    int insertAt = -1;
    bool inSection = false;
    bool replaced = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines[i].trimmed();
        QString name;
        if (IsSectionLine(trimmed, &name)) {
            if (inSection)
                break;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection) {
                sectionLine = i;
                insertAt = i + 1;
            }
            continue;
        }
        QString old;
        if (inSection) {
            if (IsKeyLine(trimmed, key, &old)) {
                lines[i] = entry;
                replaced = true;
                break;
            }
            if (!trimmed.isEmpty())
                insertAt = i + 1;
        }
    }
    if (!replaced) {
        if (sectionLine < 0) {
            lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
            lines.append(entry);
        } else {
            lines.insert(insertAt, entry);
        }
    }

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(lines.join(QLatin1Char('\n')).toUtf8());
    file.write("\n");
    return file.commit();
}

}  // namespace tolvex
