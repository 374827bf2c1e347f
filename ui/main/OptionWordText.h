#pragma once

// How the option words of the parameter and resolution tables ("自动", "单声道", ...) are
// shown: translated when the word is a word, as it is when it is a value ("128kbps",
// "1280x720"). The table word itself stays the choice (see AddChoiceItem).
// Thread use: UI thread only.

#include <QString>

#include <string>

class QComboBox;

namespace tolvex {

QString OptionWordText(const std::string& word);
// Appends `word` to `combo`, shown by OptionWordText.
void AddOptionWordItem(QComboBox* combo, const std::string& word);

}  // namespace tolvex
