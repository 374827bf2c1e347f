#include "player/SdlSubsystem.h"

#include "app/ConsoleLog.h"
#include "player/RenderLock.h"

#include <mutex>

namespace tolvex {

SdlSubsystem::~SdlSubsystem()
{
    release();
}

bool SdlSubsystem::start(Uint32 subsystem)
{
    release();
    // The program's own signal handling stays in place.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The video area's native window is an X11 window.
    if (subsystem & SDL_INIT_VIDEO)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    int result = 0;
    {
        std::lock_guard lock(RenderLock());
        result = SDL_InitSubSystem(subsystem);
    }
    if (result != 0) {
        ConsoleLog("Window could not be created! SDL_Error: %s\n", SDL_GetError());
        return false;
    }
    m_subsystem = subsystem;
    return true;
}

void SdlSubsystem::release()
{
    if (m_subsystem == 0)
        return;
    std::lock_guard lock(RenderLock());
    SDL_QuitSubSystem(m_subsystem);
    m_subsystem = 0;
}

}  // namespace tolvex
