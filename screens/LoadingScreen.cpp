#include "screens/LoadingScreen.h"

#include "core/ImageLoad.h"
#include "core/ScreenProjection.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kLoadingPicture = "pics/intro/loading.dat";
constexpr int kPicWidth = 1024;
constexpr int kPicHeight = 768;
constexpr int kTexSize = 1024;

void fillBlack() {
    glDisable(GL_TEXTURE_2D);
    glColor4f(0, 0, 0, 1);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(1024, 0);
    glVertex2i(1024, 768);
    glVertex2i(0, 768);
    glEnd();
}

} // namespace

int showLoadingScreen(SDL_Surface* screen) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    setScreenProjection(screen ? screen->w : kScreenDesignWidth, screen ? screen->h : kScreenDesignHeight);

    fillBlack();
    SDL_GL_SwapBuffers();

    RGBImage_S image;
    std::string error;
    if (!decodeJPEGFile(kLoadingPicture, image, error)) {
        std::fprintf(stderr, "ERROR: Could not show the loading picture (%s): %s\n", kLoadingPicture, error.c_str());
        return 0;
    }
    if (image.width < kPicWidth || image.height < kPicHeight) {
        std::fprintf(stderr, "ERROR: The loading picture (%s) is %dx%d, smaller than %dx%d\n", kLoadingPicture,
                     image.width, image.height, kPicWidth, kPicHeight);
        return 0;
    }

    // The picture's top 768 rows into the start of a 1024 x 1024 texture,
    // row by row, whatever the picture's own width.
    std::vector<unsigned char> buffer(static_cast<size_t>(kTexSize) * kTexSize * 3, 0);
    for (int row = 0; row < kPicHeight; ++row)
        std::memcpy(&buffer[static_cast<size_t>(row) * kTexSize * 3],
                    &image.rgb[static_cast<size_t>(row) * image.width * 3], static_cast<size_t>(kPicWidth) * 3);

    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTexSize, kTexSize, 0, GL_RGB, GL_UNSIGNED_BYTE, buffer.data());

    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0.75f);
    glVertex2i(0, 0);
    glTexCoord2f(1, 0.75f);
    glVertex2i(1024, 0);
    glTexCoord2f(1, 0);
    glVertex2i(1024, 768);
    glTexCoord2f(0, 0);
    glVertex2i(0, 768);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    SDL_GL_SwapBuffers();

    glDeleteTextures(1, &tex);
    return 0;
}
