#include "app/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvex {

namespace {

std::mutex& WriteLock()
{
    static std::mutex lock;
    return lock;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// What reading the file found: missing (nothing there yet), its text, or a file that is
// there but cannot be read (no permission, no descriptor left, not a plain file).
struct FileText {
    enum class State { Missing, Read, Unreadable } state = State::Missing;
    QString text;
};

FileText ReadFileText(const QString& path)
{
    FileText result;
    // Non-blocking, so a pipe in the file's place cannot hold the caller.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.state = errno == ENOENT ? FileText::State::Missing : FileText::State::Unreadable;
        return result;
    }
    result.state = FileText::State::Unreadable;
    struct stat info {};
    QByteArray bytes;
    bool complete = false;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        char buffer[8192];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                complete = n == 0;
                break;
            }
            bytes.append(buffer, n);
        }
    }
    ::close(fd);
    if (complete) {
        result.state = FileText::State::Read;
        result.text = QString::fromUtf8(bytes);
    }
    return result;
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
    *value = IniFile::decodeValue(trimmed.mid(eq + 1).trimmed());
    return true;
}

bool HasLineBreakOrControl(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return true;
    }
    return false;
}

// Names a line can hold: a section name without "]" (and blanks at its ends, which the
// reader trims), a key without "=" that does not read as a comment or a section.
bool IsUsableName(const QString& name, QChar forbidden)
{
    if (name.isEmpty() || name.trimmed() != name || HasLineBreakOrControl(name) || name.contains(forbidden))
        return false;
    return true;
}

bool IsUsableKey(const QString& key)
{
    return IsUsableName(key, QLatin1Char('=')) && !key.startsWith(QLatin1Char(';')) &&
           !key.startsWith(QLatin1Char('#')) && !key.startsWith(QLatin1Char('['));
}

bool NeedsQuotes(const QString& value)
{
    if (value.isEmpty())
        return false;
    return HasLineBreakOrControl(value) || value.front().isSpace() || value.back().isSpace() ||
           value.front() == QLatin1Char('"') || value.back() == QLatin1Char('"');
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

}  // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

std::optional<QString> IniFile::valueIn(const QString& text, const QString& section, const QString& key)
{
    bool inSection = false;
    for (const QString& line : SplitLines(text)) {
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

QString IniFile::encodeValue(const QString& value)
{
    if (!NeedsQuotes(value))
        return value;
    QString out = QStringLiteral("\"");
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString IniFile::decodeValue(const QString& stored)
{
    // Plain values are taken as they stand; only a value in double quotes has escapes.
    if (stored.size() < 2 || !stored.startsWith(QLatin1Char('"')) || !stored.endsWith(QLatin1Char('"')))
        return stored;
    const QString inner = stored.mid(1, stored.size() - 2);
    QString out;
    out.reserve(inner.size());
    for (int i = 0; i < inner.size(); ++i) {
        const QChar c = inner[i];
        if (c != QLatin1Char('\\') || i + 1 >= inner.size()) {
            out += c;
            continue;
        }
        const QChar next = inner[i + 1];
        const int digits = next == QLatin1Char('x') ? 2 : next == QLatin1Char('u') ? 4 : 0;
        if (digits > 0) {
            int code = 0;
            bool valid = i + 1 + digits < inner.size();
            for (int d = 0; valid && d < digits; ++d) {
                const int h = HexDigit(inner[i + 2 + d]);
                valid = h >= 0;
                code = code * 16 + h;
            }
            if (valid) {
                out += QChar(static_cast<char16_t>(code));
                i += 1 + digits;
                continue;
            }
            out += c;  // not an escape: the backslash stands for itself
            continue;
        }
        switch (next.unicode()) {
        case '\\':
            out += QLatin1Char('\\');
            break;
        case '"':
            out += QLatin1Char('"');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        default:
            out += c;  // an unknown escape keeps its backslash
            continue;
        }
        ++i;
    }
    return out;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const FileText file = ReadFileText(m_path);
    if (file.state != FileText::State::Read)
        return std::nullopt;
    return valueIn(file.text, section, key);
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value) const
{
    if (!IsUsableName(section, QLatin1Char(']')) || !IsUsableKey(key))
        return false;
    std::lock_guard<std::mutex> guard(WriteLock());
    const FileText file = ReadFileText(m_path);
    // A file that is there but could not be read is left as it is: writing the one key
    // would replace every other setting it holds.
    if (file.state == FileText::State::Unreadable)
        return false;
    QStringList lines = SplitLines(file.text);
    const QString entry = key + QLatin1Char('=') + encodeValue(value);

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

    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(lines.join(QLatin1Char('\n')).toUtf8());
    out.write("\n");
    return out.commit();
}

}  // namespace tolvex
