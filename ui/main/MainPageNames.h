#pragma once

// Control names of the nine pages, in page order (PageKind).

#include "tasks/TaskTypes.h"

namespace tolvex {

struct MainPageNames {
    const char* selector;  // page selector option ("selectchanged")
    const char* list;      // the page list
};

constexpr MainPageNames kMainPageNames[kPageCount] = {
    {"video-convert-page", "video-convert-list"}, {"video-split-page", "video-split-list"},
    {"video-merge-page", "video-merge-list"},     {"video-compress-page", "video-compress-list"},
    {"video-rotate-page", "video-rotate-list"},   {"video-gif-page", "video-gif-list"},
    {"video-extract-page", "video-extract-list"}, {"video-mute-page", "video-mute-list"},
    {"video-music-page", "video-music-list"},
};

}  // namespace tolvex
