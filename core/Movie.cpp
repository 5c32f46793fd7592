#include "core/Movie.h"

#include "core/ModalLoop.h"
#include "core/ScreenProjection.h"
#include "platform/Files.h"

#include <GL/gl.h>
#include <SDL_mixer.h>
#include <smpeg.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

std::atomic<int> movieFrameReady{0};

void movieFrameUpdate(SDL_Surface* surface, int x, int y, unsigned int w, unsigned int h) {
    if (movieFrameReady.load())
        return;
    SDL_UpdateRect(surface, x, y, w, h);
    movieFrameReady.store(1);
}

namespace {

constexpr int kSurfaceSize = 512;
constexpr int kShownRows = 384; // the rows of the surface that fill the screen

std::function<void()> frameHook;

// The quad over the design space with the four texture coordinates given
// from the bottom left, counter-clockwise.
void drawQuad(float t0, float t1) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, t0);
    glVertex2i(0, 0);
    glTexCoord2f(1, t0);
    glVertex2i(1024, 0);
    glTexCoord2f(1, t1);
    glVertex2i(1024, 768);
    glTexCoord2f(0, t1);
    glVertex2i(0, 768);
    glEnd();
}

// Polls one event; true when it asks the movie to stop. The quit event
// (window closed, Ctrl-C, SIGTERM) stops it and ends the game.
bool stopRequested() {
    if (vell::quitRequested())
        return true;
    SDL_Event ev;
    if (!SDL_PollEvent(&ev))
        return false;
    if (ev.type == SDL_QUIT) {
        vell::requestQuit();
        return true;
    }
    if (ev.type == SDL_KEYDOWN)
        return ev.key.keysym.sym == SDLK_ESCAPE || ev.key.keysym.sym == SDLK_SPACE;
    return false;
}

} // namespace

bool playMovie(const char* file, int screenWidth, int screenHeight, bool sound, bool credits) {
    const std::string path = vell::resolvePath(file);
    SMPEG_Info info;
    std::memset(&info, 0, sizeof info);
    SMPEG* movie = SMPEG_new(path.c_str(), &info, 0);
    if (!movie || SMPEG_error(movie)) {
        std::fprintf(stderr, "ERROR: Could not play movie '%s': %s\n", file,
                     movie && SMPEG_error(movie) ? SMPEG_error(movie) : "cannot open");
        if (movie)
            SMPEG_delete(movie);
        return false;
    }
    // smpeg draws into our 512 x 512 surface: a larger picture would be
    // written past its end. (A credits movie moved down is lower than 384.)
    if (info.width < 1 || info.height < 1 || info.width > kSurfaceSize || info.height > kSurfaceSize) {
        std::fprintf(stderr, "ERROR: Could not play movie '%s': its picture of %dx%d is larger than %dx%d\n", file,
                     info.width, info.height, kSurfaceSize, kSurfaceSize);
        SMPEG_delete(movie);
        return false;
    }

    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, kSurfaceSize, kSurfaceSize, 24, 0xff, 0xff00, 0xff0000, 0);
    if (!surface) {
        SMPEG_delete(movie);
        return false;
    }
    SDL_FillRect(surface, nullptr, 0);

    setScreenProjection(screenWidth, screenHeight);

    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kSurfaceSize, kSurfaceSize, 0, GL_RGB, GL_UNSIGNED_BYTE, surface->pixels);
    glEnable(GL_TEXTURE_2D);

    // Both buffers start black.
    glColor4f(0, 0, 0, 1);
    drawQuad(0, 0.75f);
    SDL_GL_SwapBuffers();
    drawQuad(0, 0.75f);

    SMPEG_scale(movie, 1);
    // The credits movie is lower than the screen: centred on it, with a
    // black band above and one below.
    if (credits && info.height > 0 && info.height < kShownRows)
        SMPEG_move(movie, 0, (kShownRows - info.height) / 2);
    SMPEG_enablevideo(movie, 1);

    // A stream without sound would crash the mixer hook.
    bool hooked = false;
    if (sound && info.has_audio) {
        SDL_AudioSpec mixerFormat;
        std::memset(&mixerFormat, 0, sizeof mixerFormat);
        int freq = 0, channels = 0;
        Uint16 format = 0;
        Mix_QuerySpec(&freq, &format, &channels);
        mixerFormat.freq = freq;
        mixerFormat.format = format;
        mixerFormat.channels = static_cast<Uint8>(channels);
        SMPEG_actualSpec(movie, &mixerFormat);
        Mix_HookMusic(SMPEG_playAudioSDL, movie);
        SMPEG_enableaudio(movie, 1);
        hooked = true;
    } else {
        SMPEG_enableaudio(movie, 0);
    }

    movieFrameReady.store(0);
    SMPEG_setdisplay(movie, surface, nullptr, movieFrameUpdate);
    SMPEG_play(movie);

    glColor4f(1, 1, 1, 1);
    for (;;) {
        if (stopRequested())
            SMPEG_stop(movie);
        if (movieFrameReady.load()) {
            glBindTexture(GL_TEXTURE_2D, tex);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kSurfaceSize, kSurfaceSize, GL_RGB, GL_UNSIGNED_BYTE,
                            surface->pixels);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
            drawQuad(0.75f, 0);
            if (frameHook)
                frameHook();
            SDL_GL_SwapBuffers();
            movieFrameReady.store(0);
        } else if (SMPEG_status(movie) != SMPEG_PLAYING) {
            break;
        } else {
            SDL_Delay(2); // wait for the decoder without spinning a core
        }
    }

    SDL_Delay(200);
    glDeleteTextures(1, &tex);
    glDisable(GL_TEXTURE_2D);
    if (hooked)
        Mix_HookMusic(nullptr, nullptr);
    SMPEG_delete(movie);
    SDL_FreeSurface(surface);
    return true;
}

void setMovieFrameHook(std::function<void()> hook) { frameHook = std::move(hook); }
