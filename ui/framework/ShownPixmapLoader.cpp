#include "ui/framework/ShownPixmapLoader.h"

#include <QEvent>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

namespace tolvex {

namespace {
// A label without a minimum size shows the picture at the size of a list thumbnail.
constexpr QSize kDefaultBox(120, 70);
}  // namespace

ShownPixmapLoader::ShownPixmapLoader(QLabel* label, QString path)
    : QObject(label), m_label(label), m_path(std::move(path))
{
    label->installEventFilter(this);
}

ShownPixmapLoader* ShownPixmapLoader::attach(QLabel* label, const QString& path)
{
    if (!label)
        return nullptr;
    delete of(label);
    auto* loader = new ShownPixmapLoader(label, path);
    if (label->isVisible())
        loader->load();
    return loader;
}

ShownPixmapLoader* ShownPixmapLoader::of(const QLabel* label)
{
    return label ? label->findChild<ShownPixmapLoader*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

bool ShownPixmapLoader::load()
{
    QImageReader reader(m_path);
    const QImage image = reader.read();
    if (image.isNull()) {
        drop();
        return false;
    }
    const QSize box = m_label->minimumSize().isEmpty() ? kDefaultBox : m_label->minimumSize();
    m_label->setPixmap(QPixmap::fromImage(image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    return true;
}

void ShownPixmapLoader::drop()
{
    if (!m_label->pixmap().isNull())
        m_label->setPixmap(QPixmap());
}

bool ShownPixmapLoader::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_label) {
        if (event->type() == QEvent::Show)
            load();
        else if (event->type() == QEvent::Hide)
            drop();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tolvex
