#pragma once

// Builds the list item of one added file or clip from its page's template: names it
// "item-%d" with the task id, tags it and its buttons and boxes with the id, and fills the
// file's name, size, duration and (convert) format, resolution choices, output name and
// thumbnail. The caller appends the item to the page list.
// UI thread only.

#include "tasks/MediaItem.h"
#include "tasks/TaskTypes.h"

#include <QString>
#include <QTime>

class QWidget;

namespace tolvex {

class WindowImplBase;

enum class ConvertLayout {
    Standard,  // "add-video-convert-btn", folder scan: with thumbnail
    FileRow,   // "add-convert-file": the compact row
};

struct MediaItemContent {
    MediaItem media;
    QString thumbnailPath;  // convert items with a thumbnail
    QTime added;            // the clock time of the add (convert output name)
};

class ListItemBuilder {
public:
    // Null when the template cannot be loaded. `parent`: the widget the item will live in
    // (CListUI::itemParent()); building it there spares re-styling the whole item when the
    // list takes it.
    static QWidget* buildMediaItem(WindowImplBase& window, PageKind page, TaskId id, const MediaItemContent& content,
                                   ConvertLayout layout = ConvertLayout::Standard, QWidget* parent = nullptr);
    // A split or gif item: the clip's output name, "start - end" and the clip's length.
    static QWidget* buildClipItem(WindowImplBase& window, PageKind page, TaskId id, const QString& outputName,
                                  const QString& startText, const QString& endText, QWidget* parent = nullptr);

    // Fills a resolution box with the sizes of `format` in table order, default selected;
    // leaves it alone for a format without a list.
    static void fillResolutionBox(QWidget* box, const QString& format);
    // The thumbnail file scaled into the label whenever the label is shown; false (label
    // left empty) when it cannot be read.
    static bool showThumbnail(QWidget* label, const QString& path);
};

}  // namespace tolvex
