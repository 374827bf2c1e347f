#pragma once

#include <SDL.h>

namespace tolvex {

// One started SDL subsystem (video or audio), quit again when the owner releases it or goes
// away. SDL counts the starts of each subsystem, so players that come and go each pair their
// own start with their own quit instead of shutting SDL down for the whole process.
//
// Used on the owner's UI thread only; the start and the quit take the process-wide render
// lock, because SDL's window-system connection is shared with the other players' render
// threads.
class SdlSubsystem {
public:
    SdlSubsystem() = default;
    ~SdlSubsystem();
    SdlSubsystem(const SdlSubsystem&) = delete;
    SdlSubsystem& operator=(const SdlSubsystem&) = delete;

    // Starts `subsystem` (SDL_INIT_VIDEO on X11, or SDL_INIT_AUDIO). False after printing
    // SDL's error.
    bool start(Uint32 subsystem);
    void release();
    bool started() const { return m_subsystem != 0; }

private:
    Uint32 m_subsystem = 0;
};

}  // namespace tolvex
