// The SDL driver variables. The settings "dxaudio" and "dxvideo" chose
// between SDL's own driver choice and a forced driver on the game's first
// platform; the forced drivers do not exist here, so on this platform the
// settings are kept but set nothing, and a variable the user set is never
// overridden.
#pragma once

namespace vell {

// Called once before SDL starts.
void setSdlDrivers(bool dxAudio, bool dxVideo);

} // namespace vell
