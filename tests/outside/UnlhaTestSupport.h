// The archiver library as the tests reach it: loaded from the build's bin/
// folder by its entry points' names, with small helpers to pack a folder,
// list an archive and unpack one entry, and deterministic test data.
#pragma once

#include <gtest/gtest.h>
#include <dlfcn.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "outside/unlha32/UnlhaApi.h"

namespace unlhatest {

struct Library {
    UnlhaGetVersionFunction getVersion;
    UnlhaGetRunningFunction getRunning;
    UnlhaSetOwnerWindowExFunction setOwner;
    UnlhaKillOwnerWindowExFunction killOwner;
    UnlhaSetBackGroundModeFunction setBackground;
    UnlhaFunction unlha;
    UnlhaOpenArchiveFunction open;
    UnlhaCloseArchiveFunction close;
    UnlhaFindFirstFunction findFirst;
    UnlhaFindNextFunction findNext;
    UnlhaExtractCurrentFunction extract;
};

inline const Library& Unlha() {
    static const Library lib = [] {
        void* h = dlopen((std::string(QIM_BIN_DIR) + "/libunlha32.so").c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!h) throw std::runtime_error(dlerror());
        const auto get = [h](const char* name) {
            void* f = dlsym(h, name);
            if (!f) throw std::runtime_error(name);
            return f;
        };
        Library l;
        l.getVersion = reinterpret_cast<UnlhaGetVersionFunction>(get(UNLHA_GET_VERSION_NAME));
        l.getRunning = reinterpret_cast<UnlhaGetRunningFunction>(get(UNLHA_GET_RUNNING_NAME));
        l.setOwner = reinterpret_cast<UnlhaSetOwnerWindowExFunction>(get(UNLHA_SET_OWNER_WINDOW_EX_NAME));
        l.killOwner = reinterpret_cast<UnlhaKillOwnerWindowExFunction>(get(UNLHA_KILL_OWNER_WINDOW_EX_NAME));
        l.setBackground = reinterpret_cast<UnlhaSetBackGroundModeFunction>(get(UNLHA_SET_BACKGROUND_MODE_NAME));
        l.unlha = reinterpret_cast<UnlhaFunction>(get(UNLHA_NAME));
        l.open = reinterpret_cast<UnlhaOpenArchiveFunction>(get(UNLHA_OPEN_ARCHIVE_NAME));
        l.close = reinterpret_cast<UnlhaCloseArchiveFunction>(get(UNLHA_CLOSE_ARCHIVE_NAME));
        l.findFirst = reinterpret_cast<UnlhaFindFirstFunction>(get(UNLHA_FIND_FIRST_NAME));
        l.findNext = reinterpret_cast<UnlhaFindNextFunction>(get(UNLHA_FIND_NEXT_NAME));
        l.extract = reinterpret_cast<UnlhaExtractCurrentFunction>(get(UNLHA_EXTRACT_CURRENT_NAME));
        return l;
    }();
    return lib;
}

// Runs "a" with the folder's files matching `patterns` (blank-separated).
inline int Pack(const std::string& archive, const std::string& folder, const std::string& patterns,
                const std::string& switches = "-+ -n", std::string* log = nullptr) {
    char output[4096] = {};
    const std::string line = "a " + switches + " \"" + archive + "\" \"" + folder + "/\" " + patterns;
    const int r = Unlha().unlha(nullptr, line.c_str(), output, sizeof output);
    if (log) *log = output;
    return r;
}

struct Stored {
    UnlhaEntry entry;
    int extractResult = -1;
    std::string data;  // what the entry unpacks to
};

// Every entry with its data (unpacked into a buffer of the entry's size);
// `walkEnd` gets the result that ended the walk (UNLHA_NOT_FOUND normally).
inline std::vector<Stored> ReadAll(const std::string& archive, int* walkEnd = nullptr, std::uint64_t maxData = 1u << 26) {
    std::vector<Stored> all;
    const Library& l = Unlha();
    void* h = l.open(nullptr, archive.c_str(), 0x802202);
    if (!h) {
        if (walkEnd) *walkEnd = UNLHA_ERROR_HANDLE;
        return all;
    }
    Stored s{};
    int r = l.findFirst(h, "*.*", &s.entry);
    for (int guard = 0; r == UNLHA_OK && guard < 100000; ++guard, r = l.findNext(h, &s.entry)) {
        s.data.clear();
        s.extractResult = -1;
        if (s.entry.originalSize <= maxData) {
            s.data.resize(static_cast<std::size_t>(s.entry.originalSize));
            std::uint64_t written = 0;
            s.extractResult = l.extract(h, s.data.data(), s.data.size(), &written);
            s.data.resize(static_cast<std::size_t>(written));
        }
        all.push_back(s);
    }
    if (walkEnd) *walkEnd = r;
    l.close(h);
    return all;
}

// Bytes that do not repeat: packing cannot make them smaller.
inline std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng() & 0xFF);
    return s;
}

}  // namespace unlhatest
