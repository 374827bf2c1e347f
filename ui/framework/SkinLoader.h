#pragma once

// Builds a widget tree from a skin file (Qt Designer XML). Every widget of the file is
// first offered to the builder callback, which creates the program's own controls by
// class name; the framework's own controls (CListUI) come next, then Qt's.
// Thread use: UI thread only.

#include "ui/framework/DesignerPluginsHidden.h"

#include <QString>
#include <QUiLoader>

#include <functional>
#include <map>

namespace tolvex {

class SkinLoader : private DesignerPluginsHidden, public QUiLoader {
public:
    // Item data role of a combo box item's untranslated text.
    static constexpr int kSourceTextRole = Qt::UserRole + 0x5e;

    // Returns a new control for `className`, or null to let the loader create it.
    using Builder = std::function<QWidget*(const QString& className, QWidget* parent)>;

    // Relative image paths of the skin files resolve against the skin folder.
    explicit SkinLoader(Builder builder = {});

    // Loads `path` as a child of `parent`; null when the file is missing or malformed
    // (errorString() says why).
    QWidget* loadFile(const QString& path, QWidget* parent);

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override;

private:
    // Item source texts of the combo boxes of a skin file, by combo box name.
    using ComboItemTexts = std::map<QString, QStringList>;
    static const ComboItemTexts& comboItemsOf(const QString& path);
    static void markComboSources(QWidget* root, const ComboItemTexts& items);

    Builder m_builder;
};

}  // namespace tolvex
