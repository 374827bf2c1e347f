// The settings file parser on any bytes: it never crashes, and a value written back into
// the parsed text reads back exactly, with every other key of the file unchanged.

#include "app/IniFile.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using tolvex::IniFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first bytes pick the value's length; the rest is the file.
    const size_t valueLength = size > 0 ? data[0] % 64 : 0;
    const size_t split = std::min(size, 1 + valueLength);
    const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data) + std::min<size_t>(size, 1),
                                            static_cast<qsizetype>(split - std::min<size_t>(size, 1)));
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data) + split, static_cast<qsizetype>(size - split));

    const auto before = IniFile::valueIn(text, QStringLiteral("global"), QStringLiteral("user-real-ip"));

    // The value as written, under a key of its own, in a file of its own.
    const QString file = QStringLiteral("[global]\noutput-dir=") + IniFile::encodeValue(value) + QLatin1Char('\n') +
                         text + QLatin1Char('\n');
    const auto read = IniFile::valueIn(file, QStringLiteral("global"), QStringLiteral("output-dir"));
    if (!read || *read != value)
        std::abort();
    if (IniFile::decodeValue(IniFile::encodeValue(value)) != value)
        std::abort();

    // The encoded value cannot have started a section or another key.
    const QString alone = QStringLiteral("[global]\na=") + IniFile::encodeValue(value) + QLatin1Char('\n');
    if (IniFile::valueIn(alone, QStringLiteral("global"), QStringLiteral("user-real-ip")).has_value())
        std::abort();
    (void)before;
    return 0;
}
