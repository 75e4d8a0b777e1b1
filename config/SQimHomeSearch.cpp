#include "config/SQimHomeSearch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/FilePath.h"
#include "config/QimSettingKeys.h"
#include "platform/NativePath.h"

namespace {

constexpr const char* kHomeName = "QimHome";

}  // namespace

std::optional<std::string> SProcessEnvironment::Variable(const char* name) const {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    std::string sjis;
    if (!platform::FromNativePath(value, sjis)) {
        std::fprintf(stderr, "qim: 環境変数 %s の値は Shift_JIS で表せないため使いません。\n", name);
        return std::nullopt;
    }
    return sjis;
}

std::optional<std::string> SProcessEnvironment::WorkingDirectory() const {
    std::vector<char> buffer(4096);
    if (!getcwd(buffer.data(), buffer.size())) return std::nullopt;
    std::string sjis;
    if (!platform::FromNativePath(buffer.data(), sjis)) return std::nullopt;
    return sjis;
}

std::string SearchQimHome(const std::string& argument, const SStartEnvironment& env, const std::string& previous) {
    if (!argument.empty()) return argument;
    if (auto home = env.Variable("QIMHOME")) return *home;
    std::string path;
    if (auto user = env.Variable("HOME")) {
        MergeFilePath(path, *user, kHomeName);
        return path;
    }
    if (auto cwd = env.WorkingDirectory()) {
        MergeFilePath(path, *cwd, kHomeName);
        return path;
    }
    return previous;
}

std::string SearchQimIni(const std::string& home, const SStartEnvironment& env) {
    if (auto ini = env.Variable("QIMINI")) return *ini;
    std::string path;
    if (auto dir = env.Variable("QIMINIHOME")) {
        MergeFilePath(path, *dir, qimini::QimIni);
        return path;
    }
    MergeFilePath(path, home, qimini::QimIni);
    return path;
}
