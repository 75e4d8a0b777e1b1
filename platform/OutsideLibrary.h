// The outside libraries (PGP, archiver, bitmaps) are loaded by name from the
// program's own folder (the build folder), then from the private library folder
// of an installed program (bin/../lib/qim), then from the library path.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The folder of the running program, with a trailing slash; empty when unknown.
std::string ProgramFolder();

// Where `fileName` is looked for, in order, for a program in `programFolder`
// (with its trailing slash; empty: only the library path). The last entry is
// the bare name, which dlopen looks up on the library path.
std::vector<std::string> OutsideLibraryPlaces(const std::string& programFolder, const char* fileName);

// dlopen (RTLD_NOW | RTLD_LOCAL, plus `extraFlags`) of the first place that
// loads; null when none does.
void* OpenOutsideLibrary(const char* fileName, int extraFlags = 0);

}  // namespace platform
