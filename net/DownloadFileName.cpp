#include "net/DownloadFileName.h"

#include <QRegularExpression>
#include <QUrl>

namespace tolvex {

namespace {

// Longest name kept, in UTF-8 bytes (file systems take 255).
constexpr int kMaxNameBytes = 200;

bool IsSafeName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control ||
            c.category() == QChar::Other_Format || c.isNull())
            return false;
    }
    return true;
}

}  // namespace

QString DownloadFileName(const std::string& url)
{
    QString raw = QString::fromStdString(url);
    // Query and fragment never belong to the name, also in a URL QUrl cannot read.
    const qsizetype cut = raw.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (cut >= 0)
        raw.truncate(cut);
    // With a scheme, only the path counts ("http://host" has no file name).
    const QUrl parsed(raw);
    const QString path = parsed.isValid() && !parsed.scheme().isEmpty() ? parsed.path(QUrl::FullyEncoded) : raw;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString segment = slash >= 0 ? path.mid(slash + 1) : path;

    QString name = QUrl::fromPercentEncoding(segment.toUtf8()).trimmed();
    while (name.toUtf8().size() > kMaxNameBytes)
        name.chop(1);
    return IsSafeName(name) ? name : QString::fromLatin1(kFallbackDownloadName);
}

}  // namespace tolvex
