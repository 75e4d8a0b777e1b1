#include "platform/PasswordKeeper.h"

namespace platform {

namespace {
PasswordKeeper* g_keeper = nullptr;
}

PasswordKeeper* GetPasswordKeeper() { return g_keeper; }

void SetPasswordKeeper(PasswordKeeper* keeper) { g_keeper = keeper; }

}  // namespace platform
