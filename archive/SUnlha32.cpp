#include "archive/SUnlha32.h"

#include <dlfcn.h>

#include <string>

#include "platform/OutsideLibrary.h"

namespace qimarchive {

namespace {

template <typename F>
void Find(void* library, const char* name, F& to) {
    to = reinterpret_cast<F>(dlsym(library, name));
}

}  // namespace

const SUnlhaEntryPoints* LoadUnlha32() {
    static SUnlhaEntryPoints points;
    static void* library = nullptr;
    if (library) return &points;
    library = platform::OpenOutsideLibrary(platform::OutsideLibraryFileName(kUnlhaDllName).c_str());
    if (!library) return nullptr;
    Find(library, UNLHA_GET_VERSION_NAME, points.getVersion);
    Find(library, UNLHA_GET_RUNNING_NAME, points.getRunning);
    Find(library, UNLHA_SET_OWNER_WINDOW_EX_NAME, points.setOwnerWindowEx);
    Find(library, UNLHA_SET_BACKGROUND_MODE_NAME, points.setBackGroundMode);
    Find(library, UNLHA_NAME, points.unlha);
    Find(library, UNLHA_KILL_OWNER_WINDOW_EX_NAME, points.killOwnerWindowEx);
    Find(library, UNLHA_OPEN_ARCHIVE_NAME, points.openArchive);
    Find(library, UNLHA_FIND_FIRST_NAME, points.findFirst);
    Find(library, UNLHA_FIND_NEXT_NAME, points.findNext);
    Find(library, UNLHA_CLOSE_ARCHIVE_NAME, points.closeArchive);
    Find(library, UNLHA_EXTRACT_CURRENT_NAME, points.extractCurrent);
    return &points;
}

}  // namespace qimarchive
