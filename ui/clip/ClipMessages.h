#pragma once

// The messages of the clip dialogs besides the timeline's own: the player's position,
// posted every 100 ms by the position poll, and the end of the file, posted by the
// player's read thread.

#include "app/PostedMessage.h"

namespace tolvex {

constexpr int WM_PLAYER_POSITION = 1744;
// The player reached the end of the file (the read thread cannot touch the buttons).
constexpr int WM_PLAYER_FINISHED = 1745;

// The record of WM_PLAYER_POSITION, in seconds.
struct PlayerPositionRecord : MessageRecord {
    PlayerPositionRecord(double p, double d) : position(p), duration(d) {}
    double position;
    double duration;
};

}  // namespace tolvex
