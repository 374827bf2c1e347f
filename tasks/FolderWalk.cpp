#include "tasks/FolderWalk.h"

#include "media/MediaImportRules.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <set>

namespace tolvex {

namespace {

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// -1, 0 or 1 for the digit runs starting at a[i] and b[j]; advances both past them.
int CompareNumbers(const QString& a, qsizetype& i, const QString& b, qsizetype& j)
{
    // Leading zeros do not count toward the value.
    while (i < a.size() && a[i] == QLatin1Char('0') && i + 1 < a.size() && IsDigit(a[i + 1]))
        ++i;
    while (j < b.size() && b[j] == QLatin1Char('0') && j + 1 < b.size() && IsDigit(b[j + 1]))
        ++j;
    qsizetype endA = i;
    qsizetype endB = j;
    while (endA < a.size() && IsDigit(a[endA]))
        ++endA;
    while (endB < b.size() && IsDigit(b[endB]))
        ++endB;
    int result = 0;
    if (endA - i != endB - j) {
        result = endA - i < endB - j ? -1 : 1;
    } else {
        for (qsizetype k = 0; k < endA - i && result == 0; ++k) {
            if (a[i + k] != b[j + k])
                result = a[i + k] < b[j + k] ? -1 : 1;
        }
    }
    i = endA;
    j = endB;
    return result;
}

struct Walk {
    const FolderWalkRules& rules;
    std::set<QString> skipped;
    std::set<QString> entered;  // real paths of the folders walked, so a link loop ends
    QStringList found;

    bool stopped() const { return rules.abort && rules.abort->load(); }

    void folder(const QString& path, bool takeFiles)
    {
        const QString real = QFileInfo(path).canonicalFilePath();
        if (real.isEmpty() || stopped() || skipped.count(real) != 0 || !entered.insert(real).second)
            return;
        const QDir dir(path);
        QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
        QFileInfoList subfolders = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
        const auto byName = [](const QFileInfo& x, const QFileInfo& y) {
            return NaturalLess(x.fileName(), y.fileName());
        };
        if (takeFiles) {
            std::sort(files.begin(), files.end(), byName);
            for (const QFileInfo& file : files) {
                if (IsScannableVideoName(file.fileName()))
                    found << dir.filePath(file.fileName());
            }
        }
        std::sort(subfolders.begin(), subfolders.end(), byName);
        for (const QFileInfo& sub : subfolders)
            folder(dir.filePath(sub.fileName()), true);
    }
};

}  // namespace

bool NaturalLess(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const int numbers = CompareNumbers(a, i, b, j);
            if (numbers != 0)
                return numbers < 0;
            continue;
        }
        const QChar x = a[i].toCaseFolded();
        const QChar y = b[j].toCaseFolded();
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return j < b.size();
    return a < b;
}

QStringList WalkVideoFolder(const QString& folder, const FolderWalkRules& rules)
{
    Walk walk{rules, {}, {}, {}};
    for (const QString& skip : rules.skipped) {
        const QString real = QFileInfo(skip).canonicalFilePath();
        if (!real.isEmpty())
            walk.skipped.insert(real);
    }
    // The chosen folder itself is walked even when it is one of the skipped ones' parents;
    // only folders below it are checked against them.
    const QString root = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (folder.isEmpty() || !QFileInfo(root).isDir())
        return {};
    walk.skipped.erase(QFileInfo(root).canonicalFilePath());
    walk.folder(root, rules.withTopLevel);
    return walk.found;
}

}  // namespace tolvex
