// The size of the primary screen in pixels, as the window layer last reported
// it (tests set it directly). Code that checks stored window rectangles asks here
// instead of a GUI toolkit, so the common library stays free of Qt.
#pragma once

namespace platform {

struct ScreenSize {
    int width;
    int height;
};

ScreenSize PrimaryScreenSize();
void SetPrimaryScreenSize(int width, int height);

}  // namespace platform
