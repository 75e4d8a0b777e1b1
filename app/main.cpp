// Entry of the qim program. The windows arrive with the start-up work; until
// then qim checks that the common library loads and says so.
#include <cstdio>

#include "common/QimCmmnsVersion.h"

int main() {
    std::printf("Qim: common library %d.%02d loaded; the main window is not built yet.\n", QimCmmnsVersionMajor(),
                QimCmmnsVersionMinor());
    return 0;
}
