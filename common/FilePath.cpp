#include "common/FilePath.h"

#include <cstdint>

#include "common/JString.h"
#include "common/MbChar.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"

void MergeFilePath(std::string& out, const std::string& dir, const std::string& name) {
    std::string merged;
    merged.reserve(dir.size() + 1 + name.size());
    merged = dir;
    if (IsNeedMergeYen(dir.c_str())) merged += '/';
    merged += name;
    out.swap(merged);
}

bool SplitFilePath(const std::string& path, std::string& dir, std::string& name) {
    const char* text = path.c_str();
    const char* slash = jstrrchr(text, '/');
    if (!slash) {
        dir.clear();
        name = path;
        return true;
    }
    const std::size_t at = static_cast<std::size_t>(slash - text);
    std::string d = path.substr(0, at == 0 ? 1 : at);
    name = path.substr(at + 1);
    dir.swap(d);
    return true;
}

void MakeFullPath(std::string& out, const std::string& base, const std::string& rel) {
    if (rel == ".") {
        out = base;
    } else if (rel.size() >= 2 && rel[0] == '.' && rel[1] == '/') {
        MergeFilePath(out, base, rel.substr(2));
    } else {
        MergeFilePath(out, base, rel);
    }
}

bool IsSameDir(const std::string& a, const std::string& b) {
    std::string ma, mb;
    MergeFilePath(ma, a, ".");
    MergeFilePath(mb, b, ".");
    return ma == mb;
}

bool IsSubfolder(const std::string& folder, const std::string& candidate, bool deep) {
    if (IsSameDir(folder, candidate)) return true;
    if (!deep) return false;
    std::string f, c;
    MergeFilePath(f, folder, "");
    MergeFilePath(c, candidate, "");
    return c.compare(0, f.size(), f) == 0;
}

bool DoesFileExist(const char* path) { return path && platform::PathExists(path); }

bool DoesDirectoryExist(const char* path) { return path && platform::IsDirectory(path); }

bool GetFileSize(const char* path, unsigned long* low, unsigned long* high) {
    std::uint64_t size;
    if (!path || !low || !platform::FileSize(path, &size)) return false;
    *low = static_cast<unsigned long>(size & 0xFFFFFFFFu);
    if (high) *high = static_cast<unsigned long>(size >> 32);
    return true;
}

bool DeleteDirectory(const char* path) { return path && platform::RemoveTree(path); }

bool MoveFileKeepAttrib(const char* from, const char* to) {
    using namespace platform;
    if (!from || !to) return false;
    const std::uint32_t before = GetFileAttributes(from);
    if (!MoveFile(from, to)) return false;
    if (before != INVALID_FILE_ATTRIBUTES) {
        constexpr std::uint32_t kKept =
            FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
        const std::uint32_t now = GetFileAttributes(to);
        if (now != INVALID_FILE_ATTRIBUTES) SetFileAttributes(to, (now & ~kKept) | (before & kKept));
    }
    return true;
}
