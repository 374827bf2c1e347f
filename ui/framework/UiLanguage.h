#pragma once

// The language of the windows. The Chinese texts of the skins and of the code are the
// source texts; other languages come from translation files "tolvex_<code>.qm" in the
// folder "translations" beside the skin folder. Skins are translated while they load
// (context: the form's class name), code texts through tr() and
// QCoreApplication::translate().
// Thread use: Install on the UI thread before the first window is built; the rest anywhere.

#include <QLocale>
#include <QString>

#include <optional>

namespace tolvex {

class UiLanguage {
public:
    enum class Language { Chinese, English };

    // "zh" or "en" (as given to --lang, any case); nothing for other words.
    static std::optional<Language> fromCode(const QString& code);
    static QString code(Language language);
    // The language for a desktop locale: English when the first of its interface languages
    // that has texts here is English; Chinese for Chinese and for languages without a
    // translation.
    static Language forLocale(const QLocale& locale);

    // Where the translation files are: "translations" beside the skin folder.
    static QString translationsFolder();

    // Makes `language` the language of the windows built from now on. Chinese needs no
    // file; English needs tolvex_en.qm and is false (Chinese stays) when it is missing.
    static bool install(Language language);
    // The language installed last (Chinese before any Install).
    static Language current();
};

}  // namespace tolvex
