#include "ui/main/OptionWordText.h"

#include "app/Helpers.h"
#include "ui/framework/Controls.h"

#include <QCoreApplication>

namespace tolvex {

namespace {

// The words of the tables, for the translation files.
[[maybe_unused]] const char* const kOptionWords[] = {
    QT_TRANSLATE_NOOP("OptionWords", "自动"),
    QT_TRANSLATE_NOOP("OptionWords", "单声道"),
    QT_TRANSLATE_NOOP("OptionWords", "立体声"),
};

}  // namespace

QString OptionWordText(const std::string& word)
{
    const QString text = ToWideAnsi(word);
    return QCoreApplication::translate("OptionWords", text.toUtf8().constData());
}

void AddOptionWordItem(QComboBox* combo, const std::string& word)
{
    AddChoiceItem(combo, ToWideAnsi(word), OptionWordText(word));
}

}  // namespace tolvex
