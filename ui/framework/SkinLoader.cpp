#include "ui/framework/SkinLoader.h"

#include "ui/framework/CListUI.h"
#include "ui/framework/SkinComboBox.h"
#include "ui/framework/SkinResources.h"

#include <QDir>
#include <QFile>

namespace tolvex {

SkinLoader::SkinLoader(Builder builder) : m_builder(std::move(builder))
{
    setLanguageChangeEnabled(false);
    setWorkingDirectory(QDir(SkinResources::SkinFolder()));
}

QWidget* SkinLoader::loadFile(const QString& path, QWidget* parent)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return load(&file, parent);
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
