#pragma once

// Single owners for the SDL objects of a player's picture output. The deleters do not take
// the render lock: whoever resets them holds it (see VideoOutput).

#include <SDL.h>

#include <memory>

namespace tolvex {

struct SdlWindowDestroyer {
    // For a window adopted with SDL_CreateWindowFrom SDL lets go of the native window and
    // leaves it standing: it belongs to the video area.
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};

struct SdlRendererDestroyer {
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};

struct SdlTextureDestroyer {
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};

using SdlWindowPtr = std::unique_ptr<SDL_Window, SdlWindowDestroyer>;
using SdlRendererPtr = std::unique_ptr<SDL_Renderer, SdlRendererDestroyer>;
using SdlTexturePtr = std::unique_ptr<SDL_Texture, SdlTextureDestroyer>;

}  // namespace tolvex
