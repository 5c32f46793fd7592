#include "core/ScreenProjection.h"

#include <GL/gl.h>
#include <GL/glu.h>

void setScreenProjection(int viewportWidth, int viewportHeight, int width, int height)
{
    glViewport(0, 0, viewportWidth, viewportHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, width, 0, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
