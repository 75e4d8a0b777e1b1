#include "platform/Screen.h"

namespace platform {
namespace {
// Until a window layer reports the real screen: a common desktop size.
ScreenSize g_screen{1920, 1080};
}  // namespace

ScreenSize PrimaryScreenSize() { return g_screen; }

void SetPrimaryScreenSize(int width, int height) { g_screen = {width, height}; }

}  // namespace platform
