#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/DialogService.h"

namespace qimfuzz {
namespace {

void RemovePrivateDir();

std::string MakePrivateDir() {
    // In memory when the machine offers it: every run writes files, and the
    // settings and caches are synced to disk as they are written.
    const char* base = std::getenv("TMPDIR");
    if (access("/dev/shm", W_OK) == 0) base = "/dev/shm";
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qimfuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    setenv("TMPDIR", pattern.c_str(), 1);
    setenv("HOME", pattern.c_str(), 1);
    std::atexit(RemovePrivateDir);
    return pattern;
}

void RemovePrivateDir() {
    std::error_code ignored;
    std::filesystem::remove_all(PrivateDir(), ignored);
}

class QuietDialogs : public platform::HeadlessDialogService {
public:
    platform::MessageAnswer MessageBox(const platform::MessageBoxRequest& request) override {
        return platform::SafeAnswer(request.buttons);
    }
    bool FileDialog(const platform::FileDialogRequest& request, std::vector<std::string>& paths) override {
        if (request.kind != platform::FileDialogKind::Save) return false;
        paths = {PrivatePath("saved")};
        return true;
    }
};

}  // namespace

const std::string& PrivateDir() {
    // Never destroyed: the removal at exit still needs it.
    static const std::string* dir = new std::string(MakePrivateDir());
    return *dir;
}

std::string PrivatePath(const char* name) { return PrivateDir() + "/" + name; }

std::string WriteInput(const char* name, std::string_view bytes) {
    std::string path = PrivatePath(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort();
    return path;
}

std::string FreshFolder(const char* name) {
    std::string path = PrivatePath(name);
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
    std::filesystem::create_directories(path);
    return path;
}

void InstallQuietDialogs() {
    static QuietDialogs dialogs;
    platform::SetDialogService(&dialogs);
}

}  // namespace qimfuzz
