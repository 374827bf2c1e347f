#pragma once

// Gives a label the picture of an image file only while the label is shown: the file is
// read, scaled into the label's minimum size, when the label is shown, and the picture is
// dropped when it is hidden. A long page list then holds the pictures of the items near
// the view only; the others keep just the file name.
// The loader is a child of its label and dies with it.
// Thread use: UI thread only.

#include <QObject>
#include <QString>

class QLabel;

namespace tolvex {

class ShownPixmapLoader : public QObject {
    Q_OBJECT

public:
    // Attaches a loader for `path` to `label`, replacing an earlier one, and gives the
    // label its picture at once when it is shown already.
    static ShownPixmapLoader* attach(QLabel* label, const QString& path);
    // The loader attached to `label`, or null.
    static ShownPixmapLoader* of(const QLabel* label);

    const QString& path() const { return m_path; }
    // Reads the file into the label; false (label left empty) when it cannot be read.
    bool load();
    void drop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ShownPixmapLoader(QLabel* label, QString path);

    QLabel* m_label;
    QString m_path;
};

}  // namespace tolvex
