#include "player/RenderLock.h"

namespace tolvex {

std::recursive_mutex& RenderLock()
{
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace tolvex
