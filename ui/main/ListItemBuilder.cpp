#include "ui/main/ListItemBuilder.h"

#include "app/Helpers.h"
#include "media/MediaImportRules.h"
#include "media/ResolutionTable.h"
#include "tasks/ConvertCommand.h"
#include "ui/framework/Controls.h"
#include "ui/framework/ShownPixmapLoader.h"
#include "ui/framework/WindowImplBase.h"
#include "ui/main/ListItemNames.h"
#include "ui/main/OptionWordText.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QSignalBlocker>

#include <initializer_list>

namespace tolvex {

namespace {

void TagControls(QWidget* item, TaskId id, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        SetControlTag(FindSubControl(item, QString::fromLatin1(name)), id);
}

void SetText(QWidget* item, const char* name, const QString& text)
{
    SetControlText(FindSubControl(item, QString::fromLatin1(name)), text);
}

// The progress controls start at 0 % with the failure mark hidden.
void ResetProgress(QWidget* item, PageKind page)
{
    const ListItemNames& names = ListItemNamesFor(page);
    if (!names.progressBar)
        return;
    SetText(item, names.progressLabel, QStringLiteral("0%"));
    if (QWidget* mark = FindSubControl(item, QString::fromLatin1(names.failureMark)))
        mark->hide();
}

// The format boxes of convert items all offer the same fixed list from their template:
// they share the list of the first box built (kept by the window) instead of holding a
// copy each, which with a thousand items adds up. Nothing edits that list; a box's own
// choice stays its own.
void ShareFormatList(WindowImplBase& window, const QString& skin, QWidget* item)
{
    auto* box = FindSubControlAs<QComboBox>(item, QStringLiteral("video-convert-format"));
    if (!box)
        return;
    const QString key = QStringLiteral("shared-format-list:") + skin;
    auto* shared = window.findChild<QAbstractItemModel*>(key, Qt::FindDirectChildrenOnly);
    if (!shared) {
        box->model()->setParent(&window);
        box->model()->setObjectName(key);
        return;
    }
    const int current = box->currentIndex();
    const QSignalBlocker quiet(box);
    box->setModel(shared);
    box->setCurrentIndex(current);
}

void FillConvertItem(QWidget* item, const MediaItemContent& content)
{
    const MediaItem& media = content.media;
    auto* formatBox = FindSubControlAs<QComboBox>(item, QStringLiteral("video-convert-format"));
    const QString format = formatBox ? ControlText(formatBox) : QString();
    ListItemBuilder::fillResolutionBox(FindSubControl(item, QStringLiteral("video-convert-ratio")), format);
    SetText(item, "output-filename", ToWideAnsi(ConvertOutputName(media.fileName, content.added, format)));
    SetText(item, "video-format", FileExtension(media.fileName));
    if (!content.thumbnailPath.isEmpty())
        ListItemBuilder::showThumbnail(FindSubControl(item, QStringLiteral("video-thumbnail")), content.thumbnailPath);
}

}  // namespace

QWidget* ListItemBuilder::buildMediaItem(WindowImplBase& window, PageKind page, TaskId id,
                                         const MediaItemContent& content, ConvertLayout layout, QWidget* parent)
{
    const bool fileRow = page == PageKind::Convert && layout == ConvertLayout::FileRow;
    const QString skin = QString::fromLatin1(fileRow ? kConvertFileItemSkin : ListItemNamesFor(page).skinFile);
    QWidget* item = window.buildFromSkin(skin, parent);
    if (!item)
        return nullptr;
    SetControlTag(item, id);
    item->setObjectName(QStringLiteral("item-%1").arg(id));
    if (page == PageKind::Convert)
        ShareFormatList(window, skin, item);

    const MediaItem& media = content.media;
    const QString size = FormatFileSize(media.fileSize);
    const QString duration = DurationText(media.duration);
    switch (page) {
    case PageKind::Convert:
        if (fileRow) {
            SetText(item, "fileNameLabel", media.fileName);
            SetText(item, "fileSizeLabel", size);
            SetText(item, "durationLabel", duration);
            TagControls(item, id,
                        {"convert-btn", "convert-List-menu-btn", "video-convert-format", "video-remove-btn",
                         "video-param-setting-btn"});
        } else {
            SetText(item, "input-filename", media.fileName);
            SetText(item, "video-filesize", size);
            SetText(item, "video-duration", duration);
            TagControls(item, id, {"video-convert-format", "video-remove-btn", "video-param-setting-btn"});
        }
        FillConvertItem(item, content);
        break;
    case PageKind::Compress:
        SetText(item, "fileNameLabel", media.fileName);
        SetText(item, "fileSizeLabel", size);
        SetText(item, "durationLabel", duration);
        SetText(item, "video-compress-label", FormatFileSize(media.fileSize / 2));
        TagControls(item, id, {"video-compress-slider", "video-compress-remove-btn"});
        break;
    case PageKind::Merge:
        SetText(item, "video-filename", media.fileName);
        SetText(item, "video-filesize", size);
        SetText(item, "video-duration", duration);
        TagControls(item, id, {"merge-check-box-item", "move-up-btn", "move-down-btn", "video-merge-remove-btn"});
        break;
    case PageKind::Rotate:
    case PageKind::Extract:
    case PageKind::Mute:
    case PageKind::Music:
        SetText(item, "video-filename", media.fileName);
        SetText(item, "video-filesize", size);
        SetText(item, "video-duration", duration);
        TagControls(item, id, {ListItemNamesFor(page).removeButton});
        break;
    case PageKind::Split:
    case PageKind::Gif:
        // Clip pages list clips, not files (BuildClipItem).
        break;
    }
    // Long names stay readable in the tool tip.
    const char* nameLabel = "video-filename";
    if (fileRow || page == PageKind::Compress)
        nameLabel = "fileNameLabel";
    else if (page == PageKind::Convert)
        nameLabel = "input-filename";
    if (auto* name = FindSubControlAs<QLabel>(item, QString::fromLatin1(nameLabel)))
        name->setToolTip(media.fullPath);
    ResetProgress(item, page);
    return item;
}

QWidget* ListItemBuilder::buildClipItem(WindowImplBase& window, PageKind page, TaskId id, const QString& outputName,
                                        const QString& startText, const QString& endText, QWidget* parent)
{
    QWidget* item = window.buildFromSkin(QString::fromLatin1(ListItemNamesFor(page).skinFile), parent);
    if (!item)
        return nullptr;
    SetControlTag(item, id);
    item->setObjectName(QStringLiteral("item-%1").arg(id));
    SetText(item, "fileNameLabel", outputName);
    SetText(item, "fileSliceLabel", QStringLiteral("%1 - %2").arg(startText, endText));
    const int length = ParseClock(ToNarrowUtf8(endText)) - ParseClock(ToNarrowUtf8(startText));
    SetText(item, "durationLabel", QString::fromStdString(FormatClock(length)));
    TagControls(item, id, {ListItemNamesFor(page).removeButton});
    ResetProgress(item, page);
    return item;
}

void ListItemBuilder::fillResolutionBox(QWidget* box, const QString& format)
{
    auto* combo = qobject_cast<QComboBox*>(box);
    if (!combo)
        return;
    const std::vector<ResolutionOption>& options = ResolutionTable::options(ToNarrowAnsi(format));
    if (options.empty())
        return;
    combo->clear();
    int selected = 0;
    for (size_t i = 0; i < options.size(); ++i) {
        AddOptionWordItem(combo, options[i].text);
        if (options[i].isDefault)
            selected = static_cast<int>(i);
    }
    combo->setCurrentIndex(selected);
}

bool ListItemBuilder::showThumbnail(QWidget* label, const QString& path)
{
    auto* target = qobject_cast<QLabel*>(label);
    if (!target || !QImageReader(path).canRead())
        return false;
    // Read while the item is shown only: a thousand items keep a thousand file names, not
    // a thousand pictures.
    ShownPixmapLoader::attach(target, path);
    return true;
}

}  // namespace tolvex
