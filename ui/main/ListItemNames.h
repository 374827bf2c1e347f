#pragma once

// The list item of each page: its skin file and the controls inside it that show a job's
// state. Every item's progress bar, percentage label and failure mark are named here, so
// the code that builds items and the code that shows progress agree.

#include "tasks/TaskTypes.h"

namespace tolvex {

struct ListItemNames {
    const char* skinFile;     // the item template
    const char* progressBar;  // null for merge: its bar belongs to the page
    const char* progressLabel;
    const char* failureMark;  // hidden until the item's job fails
    const char* removeButton;
};

constexpr ListItemNames kListItemNames[kPageCount] = {
    {"VideoListContainerElement.xml", "video-convert-progress", "video-progress-label", "video-progress-error",
     "video-remove-btn"},
    {"VideSplitContainerElement.xml", "video-split-progress", "video-split-progress-label",
     "video-split-progress-error", "video-split-remove-btn"},
    {"VideoMergeListContainerElement.xml", nullptr, nullptr, nullptr, "video-merge-remove-btn"},
    {"CompressListContainerElement.xml", "compress-progress", "progress-label", "compress-progress-error",
     "video-compress-remove-btn"},
    {"RotateListContainerElement.xml", "video-rotate-progress", "video-rotate-progress-label",
     "video-rotate-progress-error", "video-rotate-remove-btn"},
    {"VideoGifContainerElement.xml", "video-gif-progress", "video-gif-progress-label", "video-gif-progress-error",
     "video-gif-remove-btn"},
    {"VideoExtractListContainerElement.xml", "video-extract-progress", "video-extract-progress-label",
     "video-extract-progress-error", "video-extract-remove-btn"},
    {"VideoMuteListContainerElement.xml", "video-mute-progress", "video-mute-progress-label",
     "video-mute-progress-error", "video-mute-remove-btn"},
    {"VideoMusicListContainerElement.xml", "video-music-progress", "video-music-progress-label",
     "video-music-progress-error", "video-music-remove-btn"},
};

// The second layout of convert items ("add-convert-file"): same progress controls.
constexpr const char* kConvertFileItemSkin = "ConvertListContainerElement.xml";

inline const ListItemNames& ListItemNamesFor(PageKind page)
{
    return kListItemNames[static_cast<int>(page)];
}

}  // namespace tolvex
