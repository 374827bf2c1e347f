#pragma once

// Where skin files are found, and the theme style sheet that gives every window the
// program's look. The skin folder is "skin" beside the executable; an installed program
// finds it under <prefix>/share/tolvex-video-converter/skin. Tests point it elsewhere.
// Thread use: UI thread only.

#include <QString>

namespace tolvex {

class SkinResources {
public:
    // The folder skin files are loaded from (no trailing separator).
    static QString skinFolder();
    // Overrides the skin folder (an empty path returns to the default search).
    static void setSkinFolder(const QString& folder);
    // Full path of a skin file in the skin folder.
    static QString skinPath(const QString& fileName);

    // Applies "theme.qss" of the skin folder with the page list items' "ListItems.qss",
    // and the UI font, to the application once; later calls do nothing. Returns whether a style sheet is in force.
    static bool applyTheme();
};

}  // namespace tolvex
