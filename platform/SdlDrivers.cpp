#include "platform/SdlDrivers.h"

#include <cstdlib>

namespace vell {

void setSdlDrivers(bool dxAudio, bool dxVideo) {
#ifdef _WIN32
    // Forced drivers, unless the settings leave the choice to SDL or the
    // user set the variable already.
    if (!dxAudio && !std::getenv("SDL_AUDIODRIVER"))
        _putenv("SDL_AUDIODRIVER=waveout");
    if (!dxVideo && !std::getenv("SDL_VIDEODRIVER"))
        _putenv("SDL_VIDEODRIVER=windib");
#else
    (void)dxAudio;
    (void)dxVideo;
#endif
}

} // namespace vell
