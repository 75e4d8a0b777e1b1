// Outside libraries loaded by name, as the program finds them: the Windows
// name "NAME.DLL" stands for lib<name in lower case>.so, looked for in the
// program's own folder (the build folder), then in the private library folder
// of an installed program (bin/../lib/qim), then on the library path.
#pragma once

#include <string>
#include <vector>

namespace platform {

// "unlha32.dll" -> "libunlha32.so"; a name without ".dll" keeps its end.
std::string OutsideLibraryFileName(const char* dllName);
// The folder of the running program, with a trailing slash; empty when unknown.
std::string ProgramFolder();

// Where `fileName` is looked for, in order, for a program in `programFolder`
// (with its trailing slash; empty: only the library path). The last entry is
// the bare name, which dlopen looks up on the library path.
std::vector<std::string> OutsideLibraryPlaces(const std::string& programFolder, const char* fileName);

// dlopen (RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE, plus `extraFlags`) of the
// first place that loads; null when none does. The library stays mapped
// after dlclose (it may have threads or atexit handlers of its own).
void* OpenOutsideLibrary(const char* fileName, int extraFlags = 0);

}  // namespace platform
