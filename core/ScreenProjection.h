// The 2-D projection of the game's screens: the viewport covers the window
// and GL coordinates run from (0, 0) at the bottom left to (width, height),
// with identity projection and model-view matrices (model-view current
// afterwards). Needs a current GL context.
#pragma once

// The size of the game's own screen coordinates, whatever the window's size.
constexpr int kScreenDesignWidth = 1024;
constexpr int kScreenDesignHeight = 768;

void setScreenProjection(int viewportWidth, int viewportHeight, int width = kScreenDesignWidth,
                         int height = kScreenDesignHeight);
