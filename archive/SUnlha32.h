// The outside archiver library as the program sees it: its entry points,
// looked up by name in libunlha32.so (loaded once, from the program's folder
// or the library path). Tests hand the archiving command a table of their own.
#pragma once

#include "outside/unlha32/UnlhaApi.h"

struct SUnlhaEntryPoints {
    UnlhaGetVersionFunction getVersion = nullptr;
    UnlhaGetRunningFunction getRunning = nullptr;
    UnlhaSetOwnerWindowExFunction setOwnerWindowEx = nullptr;
    UnlhaSetBackGroundModeFunction setBackGroundMode = nullptr;
    UnlhaFunction unlha = nullptr;
    UnlhaKillOwnerWindowExFunction killOwnerWindowEx = nullptr;
    UnlhaOpenArchiveFunction openArchive = nullptr;
    UnlhaFindFirstFunction findFirst = nullptr;
    UnlhaFindNextFunction findNext = nullptr;
    UnlhaCloseArchiveFunction closeArchive = nullptr;
    UnlhaExtractCurrentFunction extractCurrent = nullptr;

    // The six the run needs.
    bool CanRun() const {
        return getVersion && getRunning && setOwnerWindowEx && setBackGroundMode && unlha && killOwnerWindowEx;
    }
    // The ones that read the finished archive back.
    bool CanWalk() const { return openArchive && findFirst && findNext && closeArchive && extractCurrent; }
};

namespace qimarchive {

// The library's name as the program knows it, for its messages.
constexpr char kUnlhaDllName[] = "unlha32.dll";
// The lowest version (x 100) the command works with.
constexpr unsigned kUnlhaMinimumVersion = 50;
// How the finished archive is opened for its walk.
constexpr unsigned kUnlhaOpenMode = 0x802202;
// Room for the library's answer to a run.
constexpr unsigned kUnlhaOutputSize = 128;

// The entry points of libunlha32.so; null when the library cannot be found.
// Entry points it lacks stay null.
const SUnlhaEntryPoints* LoadUnlha32();

}  // namespace qimarchive
