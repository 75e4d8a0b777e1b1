// Outside libraries loaded by name, as the program finds them: the Windows
// name "NAME.DLL" stands for lib<name in lower case>.so, looked for in the
// program's own folder first, then on the library path.
#pragma once

#include <string>

namespace platform {

// "unlha32.dll" -> "libunlha32.so"; a name without ".dll" keeps its end.
std::string OutsideLibraryFileName(const char* dllName);
// The folder of the running program, with a trailing slash; empty when unknown.
std::string ProgramFolder();
// dlopen of `fileName` (a file name, not a path) from the program's folder,
// then by the library path. The library stays mapped after dlclose (it may
// have threads or atexit handlers of its own). Null when neither finds it.
void* OpenOutsideLibrary(const char* fileName);

}  // namespace platform
