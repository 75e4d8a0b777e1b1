// The entry points of the archiver library: version, busy flag, owner
// call-back, background mode, the command runner, and the walk through an
// archive's directory. One run at a time; the call-back may ask whether the
// library is busy while it runs.
#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "outside/unlha32/LhaArchiveReader.h"
#include "outside/unlha32/LhaArchiveWriter.h"
#include "outside/unlha32/LhaNames.h"
#include "outside/unlha32/UnlhaApi.h"
#include "outside/unlha32/UnlhaCommandLine.h"

#define UNLHA_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

bool g_running = false;
void* g_owner = nullptr;
UnlhaArchiverProc g_callBack = nullptr;
bool g_background = false;

constexpr std::uint32_t kKnownModes = UNLHA_M_INIT_FILE_USE | UNLHA_M_REGARDLESS_INIT_FILE | UNLHA_M_CHECK_ALL_PATH |
                                      UNLHA_M_CHECK_FILENAME_ONLY | UNLHA_M_USE_DRIVE_LETTER |
                                      UNLHA_M_NOT_USE_DRIVE_LETTER | UNLHA_M_ERROR_MESSAGE_ON |
                                      UNLHA_M_ERROR_MESSAGE_OFF;

void CopyName(char* to, const std::string& from) {
    const std::size_t n = std::min<std::size_t>(from.size(), UNLHA_NAME_MAX);
    std::memcpy(to, from.data(), n);
    to[n] = '\0';
}

// Progress to the owner's call-back, when one is set.
class OwnerProgress : public lha::AddProgress {
public:
    bool Report(std::uint32_t state, const std::string& archive, const std::string& name, std::uint64_t size,
                std::uint64_t written) override {
        if (!g_callBack) return true;
        UnlhaProgressInfo info{};
        info.fileSize = size;
        info.writeSize = written;
        CopyName(info.archiveName, archive);
        CopyName(info.fileName, name);
        return g_callBack(g_owner, UNLHA_WM_ARCEXTRACT, state, &info) != 0;
    }
};

struct OpenArchive {
    lha::LhaArchiveReader reader;
    std::string pattern;
    bool nameOnly = false;
};

std::set<OpenArchive*>& Handles() {
    static std::set<OpenArchive*> handles;
    return handles;
}

OpenArchive* FromHandle(UnlhaArchive handle) {
    auto* a = static_cast<OpenArchive*>(handle);
    return Handles().count(a) ? a : nullptr;
}

bool Matches(const OpenArchive& a, const std::string& name) {
    if (a.pattern.empty() || a.pattern == "*" || a.pattern == "*.*") return true;
    std::string tail = name;
    if (a.nameOnly) {
        const std::size_t slash = tail.rfind('/');
        if (slash != std::string::npos) tail.erase(0, slash + 1);
    }
    return lha::WildMatch(a.pattern.c_str(), tail.c_str());
}

void Fill(UnlhaEntry* entry, const lha::LhaHeader& h) {
    std::memset(entry, 0, sizeof *entry);
    entry->originalSize = h.originalSize;
    entry->compressedSize = h.compressedSize;
    entry->crc = h.crc;
    entry->attributes = h.attributes;
    entry->modified = h.modified;
    entry->headerLevel = static_cast<std::uint32_t>(h.level);
    entry->osType = h.os;
    entry->ratio = h.originalSize ? static_cast<std::uint32_t>(std::min<std::uint64_t>(h.compressedSize * 1000 / h.originalSize, 0xFFFFFFFFu)) : 0;
    std::memcpy(entry->method, h.method.data(), std::min<std::size_t>(h.method.size(), 5));
    CopyName(entry->fileName, h.name);
}

int32_t FindFrom(OpenArchive* a, UnlhaEntry* entry) {
    lha::LhaHeader h;
    for (;;) {
        switch (a->reader.Next(h)) {
        case lha::HeaderRead::End:
            return UNLHA_NOT_FOUND;
        case lha::HeaderRead::Damaged:
            return UNLHA_ERROR_BROKEN;
        case lha::HeaderRead::Entry:
            if (!Matches(*a, h.name)) continue;
            Fill(entry, h);
            return UNLHA_OK;
        }
    }
}

// Unpacks into the caller's buffer; refuses past its end.
class BufferSink : public lha::ByteSink {
public:
    BufferSink(void* buffer, std::uint64_t size) : buffer_(static_cast<std::uint8_t*>(buffer)), size_(size) {}
    bool Write(const std::uint8_t* data, std::size_t length) override {
        if (length > size_ - used_) return false;
        std::memcpy(buffer_ + used_, data, length);
        used_ += length;
        return true;
    }
    std::uint64_t Used() const { return used_; }

private:
    std::uint8_t* buffer_;
    std::uint64_t size_;
    std::uint64_t used_ = 0;
};

}  // namespace

UNLHA_EXPORT uint32_t UnlhaGetVersion(void) { return UNLHA_VERSION; }

UNLHA_EXPORT int32_t UnlhaGetRunning(void) { return g_running ? 1 : 0; }

UNLHA_EXPORT int32_t UnlhaSetOwnerWindowEx(void* window, UnlhaArchiverProc callBack) {
    // One owner at a time, and not while a run reports to it.
    if (g_running || (g_owner && g_owner != window) || !callBack) return 0;
    g_owner = window;
    g_callBack = callBack;
    return 1;
}

UNLHA_EXPORT int32_t UnlhaKillOwnerWindowEx(void* window) {
    if (g_running || !g_callBack || g_owner != window) return 0;
    g_owner = nullptr;
    g_callBack = nullptr;
    return 1;
}

UNLHA_EXPORT int32_t UnlhaSetBackGroundMode(int32_t background) {
    if (g_running || (background != 0 && background != 1)) return 0;
    g_background = background != 0;
    return 1;
}

UNLHA_EXPORT int32_t Unlha(void* window, const char* commandLine, char* output, uint32_t outputSize) {
    std::string log;
    int32_t result;
    if (g_running) {
        result = UNLHA_ERROR_BUSY;
        log = "busy\n";
    } else if (!commandLine) {
        result = UNLHA_ERROR_COMMAND;
    } else {
        lha::UnlhaCommandLine line;
        std::string error;
        if (!line.Parse(commandLine, error)) {
            result = UNLHA_ERROR_COMMAND;
            log = error + "\n";
        } else {
            g_running = true;
            OwnerProgress progress;
            result = lha::LhaArchiveWriter::Add(line, progress, log);
            g_running = false;
        }
    }
    if (output && outputSize > 0) {
        const std::size_t n = std::min<std::size_t>(log.size(), outputSize - 1);
        std::memcpy(output, log.data(), n);
        output[n] = '\0';
    }
    return result;
}

UNLHA_EXPORT UnlhaArchive UnlhaOpenArchive(void* window, const char* path, uint32_t mode) {
    if (!path || (mode & ~kKnownModes)) return nullptr;
    std::string native;
    if (!lha::SjisToNative(lha::ForwardSlashes(path), native)) return nullptr;
    auto* a = new OpenArchive;
    a->nameOnly = (mode & UNLHA_M_CHECK_FILENAME_ONLY) != 0;
    if (!a->reader.Open(native)) {
        delete a;
        return nullptr;
    }
    // Something that is no archive at all is refused here already.
    lha::LhaHeader first;
    if (a->reader.Next(first) == lha::HeaderRead::Damaged) {
        delete a;
        return nullptr;
    }
    a->reader.Rewind();
    Handles().insert(a);
    return a;
}

UNLHA_EXPORT int32_t UnlhaCloseArchive(UnlhaArchive archive) {
    OpenArchive* a = FromHandle(archive);
    if (!a) return UNLHA_ERROR_HANDLE;
    Handles().erase(a);
    delete a;
    return UNLHA_OK;
}

UNLHA_EXPORT int32_t UnlhaFindFirst(UnlhaArchive archive, const char* wildName, UnlhaEntry* entry) {
    OpenArchive* a = FromHandle(archive);
    if (!a || !entry) return UNLHA_ERROR_HANDLE;
    a->pattern = wildName ? lha::ForwardSlashes(wildName) : std::string();
    a->reader.Rewind();
    return FindFrom(a, entry);
}

UNLHA_EXPORT int32_t UnlhaFindNext(UnlhaArchive archive, UnlhaEntry* entry) {
    OpenArchive* a = FromHandle(archive);
    if (!a || !entry) return UNLHA_ERROR_HANDLE;
    return FindFrom(a, entry);
}

UNLHA_EXPORT int32_t UnlhaExtractCurrent(UnlhaArchive archive, void* buffer, uint64_t size, uint64_t* written) {
    OpenArchive* a = FromHandle(archive);
    if (!a) return UNLHA_ERROR_HANDLE;
    if (!buffer && size > 0) return UNLHA_ERROR_BUFFER;
    BufferSink sink(buffer, size);
    const int32_t result = a->reader.ExtractCurrent(sink);
    if (written) *written = sink.Used();
    return result;
}
