#include "platform/OutsideLibrary.h"

#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <cctype>

#ifndef QIM_PRIVATE_LIBDIR_FROM_BIN
#define QIM_PRIVATE_LIBDIR_FROM_BIN "../lib/qim"
#endif

namespace platform {

std::string OutsideLibraryFileName(const char* dllName) {
    std::string base(dllName ? dllName : "");
    if (base.size() > 4 && strcasecmp(base.c_str() + base.size() - 4, ".dll") == 0) base.resize(base.size() - 4);
    std::string name("lib");
    for (char c : base) name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    name.append(".so");
    return name;
}

std::string ProgramFolder() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    const std::string path(buffer, static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::vector<std::string> OutsideLibraryPlaces(const std::string& programFolder, const char* fileName) {
    std::vector<std::string> places;
    // A name with a folder in it is taken as it is; only plain names are searched.
    const std::string name(fileName);
    if (!programFolder.empty() && name.find('/') == std::string::npos) {
        places.push_back(programFolder + name);
        std::string installed = programFolder;
        installed.append(QIM_PRIVATE_LIBDIR_FROM_BIN).append("/").append(name);
        places.push_back(std::move(installed));
    }
    places.push_back(name);
    return places;
}

void* OpenOutsideLibrary(const char* fileName, int extraFlags) {
    for (const std::string& place : OutsideLibraryPlaces(ProgramFolder(), fileName))
        if (void* library = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE | extraFlags)) return library;
    return nullptr;
}

}  // namespace platform
