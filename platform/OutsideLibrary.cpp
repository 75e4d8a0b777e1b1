#include "platform/OutsideLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <cstring>

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
    std::string path(buffer, static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void* OpenOutsideLibrary(const char* fileName) {
    const std::string own = ProgramFolder() + fileName;
    void* library = dlopen(own.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!library) library = dlopen(fileName, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    return library;
}

}  // namespace platform
