// Stores a window's normal rectangle and show state in a settings file, and
// reads them back only when they still fit the primary screen, so a settings
// file from another screen never places a window off screen.
#pragma once

#include "common/SpProfile.h"

// Show commands, as the window layer understands them.
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;

// Placement of a window at creation: position and size.
struct TWindowAttr {
    int X = 0;
    int Y = 0;
    int W = 0;
    int H = 0;
};

// What SProfileTools needs to know of a window; the window layer implements it.
struct SWindowPlacement {
    int left = 0, top = 0, right = 0, bottom = 0;  // normal (restored) rectangle
    int showCmd = SW_SHOWNORMAL;
};

class SPlacedWindow {
public:
    virtual ~SPlacedWindow() = default;
    virtual bool GetWindowPlacement(SWindowPlacement& placement) const = 0;
};

class SProfileTools : public SpProfile {
public:
    SProfileTools(const char* section, const char* fileName, const SPlacedWindow* window)
        : SpProfile(section, fileName), window_(window) {}

    bool ReadWindowRect(TWindowAttr* attr, const char* key = "LastWindow") const;
    bool WriteWindowRect(const char* key = "LastWindow") const;
    int ReadShow(const char* key = "LastShow") const;
    bool WriteShow(const char* key = "LastShow") const;

protected:
    const SPlacedWindow* window_;
};
