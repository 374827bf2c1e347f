#include "ui/framework/UiLanguage.h"

#include "ui/framework/SkinResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

namespace tolvex {

namespace {

struct InstalledLanguage {
    UiLanguage::Language language = UiLanguage::Language::Chinese;
    std::vector<std::unique_ptr<QTranslator>> translators;
};

InstalledLanguage& Installed()
{
    static InstalledLanguage installed;
    return installed;
}

// Loads `file` from `folder` and installs it; the translator stays with the application.
bool AddTranslator(const QString& file, const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file, folder))
        return false;
    QCoreApplication::installTranslator(translator.get());
    Installed().translators.push_back(std::move(translator));
    return true;
}

}  // namespace

std::optional<UiLanguage::Language> UiLanguage::fromCode(const QString& code)
{
    const QString word = code.trimmed().toLower();
    if (word == QLatin1String("zh"))
        return Language::Chinese;
    if (word == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

QString UiLanguage::code(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

UiLanguage::Language UiLanguage::forLocale(const QLocale& locale)
{
    // uiLanguages() lists the desktop's choices in order ("de-DE", "en-US", ...): the first
    // one this program has texts for decides.
    const QStringList languages = locale.uiLanguages();
    for (const QString& name : languages) {
        const QLocale::Language language = QLocale(name).language();
        if (language == QLocale::English)
            return Language::English;
        if (language == QLocale::Chinese)
            return Language::Chinese;
    }
    return locale.language() == QLocale::English ? Language::English : Language::Chinese;
}

QString UiLanguage::translationsFolder()
{
    return QDir::cleanPath(SkinResources::skinFolder() + QStringLiteral("/../translations"));
}

bool UiLanguage::install(Language language)
{
    InstalledLanguage& installed = Installed();
    for (const auto& translator : installed.translators)
        QCoreApplication::removeTranslator(translator.get());
    installed.translators.clear();
    installed.language = Language::Chinese;

    if (language == Language::Chinese) {
        // Qt's own texts (the file pickers' buttons) in Chinese too, when Qt's translations
        // are installed.
        AddTranslator(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        return true;
    }
    if (!AddTranslator(QStringLiteral("tolvex_") + code(language), translationsFolder()))
        return false;
    installed.language = language;
    return true;
}

UiLanguage::Language UiLanguage::current()
{
    return Installed().language;
}

}  // namespace tolvex
