#include "ui/framework/SkinLoader.h"

#include "ui/framework/CListUI.h"
#include "ui/framework/SkinComboBox.h"
#include "ui/framework/SkinResources.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <vector>

namespace tolvex {

SkinLoader::SkinLoader(Builder builder) : m_builder(std::move(builder))
{
    showPluginFolders();
    setTranslationEnabled(true);
    setLanguageChangeEnabled(false);
    setWorkingDirectory(QDir(SkinResources::skinFolder()));
}

QWidget* SkinLoader::loadFile(const QString& path, QWidget* parent)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    QWidget* root = load(&file, parent);
    if (root)
        markComboSources(root, comboItemsOf(path));
    return root;
}

const SkinLoader::ComboItemTexts& SkinLoader::comboItemsOf(const QString& path)
{
    // List items load the same few files hundreds of times: each is read once.
    static QHash<QString, ComboItemTexts> cache;
    const auto cached = cache.constFind(path);
    if (cached != cache.constEnd())
        return *cached;

    ComboItemTexts items;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QXmlStreamReader xml(&file);
        // The widgets the reader is inside; a combo box's items are its direct <item>s.
        std::vector<QString> comboNames;
        int itemDepth = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                const QStringView element = xml.name();
                if (element == QLatin1String("widget")) {
                    const bool combo = xml.attributes().value(QLatin1String("class")) == QLatin1String("QComboBox");
                    comboNames.push_back(combo ? xml.attributes().value(QLatin1String("name")).toString() : QString());
                } else if (element == QLatin1String("item") && !comboNames.empty() && !comboNames.back().isEmpty()) {
                    ++itemDepth;
                    items[comboNames.back()].append(QString());
                } else if (element == QLatin1String("string") && itemDepth > 0) {
                    items[comboNames.back()].back() = xml.readElementText();
                }
            } else if (xml.isEndElement()) {
                if (xml.name() == QLatin1String("widget") && !comboNames.empty())
                    comboNames.pop_back();
                else if (xml.name() == QLatin1String("item") && itemDepth > 0)
                    --itemDepth;
            }
        }
    }
    return *cache.insert(path, items);
}

void SkinLoader::markComboSources(QWidget* root, const ComboItemTexts& items)
{
    for (const auto& [name, texts] : items) {
        auto* combo = root->objectName() == name ? qobject_cast<QComboBox*>(root) : nullptr;
        if (!combo)
            combo = root->findChild<QComboBox*>(name);
        if (!combo || combo->count() != texts.size())
            continue;
        for (int i = 0; i < texts.size(); ++i)
            combo->setItemData(i, texts[i], kSourceTextRole);
    }
}

QWidget* SkinLoader::createWidget(const QString& className, QWidget* parent, const QString& name)
{
    QWidget* widget = m_builder ? m_builder(className, parent) : nullptr;
    if (!widget && className == QLatin1String("CListUI"))
        widget = new CListUI(parent);
    if (!widget && className == QLatin1String("QComboBox"))
        widget = new SkinComboBox(parent);
    if (!widget)
        return QUiLoader::createWidget(className, parent, name);
    widget->setObjectName(name);
    return widget;
}

}  // namespace tolvex
