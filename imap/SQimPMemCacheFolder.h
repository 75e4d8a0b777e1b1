// The local stand-in of a server folder while the QimP window is open: the
// header cache HCACHE.TXT of the local store (so the header list reads it as
// it reads a local folder's) and ACACHE.BIN beside it, five bytes per mail
// (mark byte, then the size as a 32-bit little-endian number) at offset
// number * 5. The caches live below a private temporary directory, one
// directory per folder ("_QimP\A\B" in root/A/B); a cache counts as filled
// when its HCACHE.TXT carries the archive attribute. For a local folder every
// operation is the local store's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imap/SImap4HeaderSink.h"
#include "imap/SQimTmpFolderPath.h"
#include "store/SMemCacheFolder.h"

class SCacheHeaderCollector;

class SQimPMemCacheFolder : public SMemCacheFolder, public SImap4HeaderSink {
public:
    // The cache root is made on first use in `tempDir` (null: the TempDir
    // folder or the home directory) and removed with the object.
    explicit SQimPMemCacheFolder(const char* tempDir = nullptr);
    ~SQimPMemCacheFolder() override;
    SQimPMemCacheFolder(const SQimPMemCacheFolder&) = delete;
    SQimPMemCacheFolder& operator=(const SQimPMemCacheFolder&) = delete;

    // A server folder takes the cache paths of its directory and loads its
    // header cache (nothing is built: the server is the source). A server
    // folder whose path would lead out of the cache root gets no cache paths,
    // so every file operation on it fails.
    void SetFolder(const char* path) override;
    void SetFolder(const std::string& path) override;
    void MakeCachePath() override;
    // A server folder's cache is only ever filled from the server: both load it.
    bool RebuildCache() override;
    bool UpdateCache() override;
    // A server folder: the number of the last complete record of HCACHE.TXT,
    // 0 for an empty cache, -1 when it cannot be read.
    int LastNumber() override;
    // The store's mark operations reach the mark bytes for a server folder;
    // SetMarks adds the given bits as it does for a local mail.
    unsigned char GetMarks(int number) override;
    bool SetMarks(int number, unsigned char marks) override;
    bool ClearMarks(int number, unsigned char marks) override;

    bool IsServerFolder() const { return server_; }
    // The cache root, made on first use; empty when no directory could be made.
    std::string CacheRoot();
    // The cache directory of a server folder path; false for any other path
    // and for one that would lead out of the root.
    bool CacheDirectoryOf(const std::string& path, std::string& dir);
    const std::string& MarkSizePath() const { return markSizePath_; }

    // Mail `number`'s mark byte; 255 when it cannot be read.
    unsigned char GetMark(int number);
    // Writes the mark byte (a server folder: the file is made when missing,
    // with zeros before the record; a local folder: SQimFolder::SetMarks).
    bool SetMark(int number, unsigned char mark);
    // mark = mark AND NOT bits; false when the mark cannot be read.
    bool ClearMark(int number, unsigned char bits);
    // Size of mail `number` in bytes (a local folder: its file's); -1 when
    // it cannot be read.
    long long GetSize(int number);
    // Sum of the sizes of mails 1 to LastNumber() that can be read (a local
    // folder: of its mail files).
    long long TotalSize();

    // A local folder is always filled.
    bool IsFilled() const;
    bool NeedsFetch() const { return !IsFilled(); }
    // True: both files get the archive attribute. False: both are emptied
    // (made when missing) and get the normal attribute. Nothing for a local
    // folder (true).
    bool SetFilled(bool filled) override;
    bool Reset() { return SetFilled(false); }
    // The same for the cache of another folder path; true for a local path.
    bool SetFilledOf(const std::string& path, bool filled);
    bool ResetOf(const std::string& path) { return SetFilledOf(path, false); }

    // The cache directory of a server folder path, made with its parents when
    // missing; true when it is there.
    bool MakeDirectory(const std::string& path);
    // Moves a cache directory to the place of another path (never onto an
    // existing one, never into itself); the root cannot be moved.
    bool RenameDirectory(const std::string& oldPath, const std::string& newPath);
    // Removes a cache directory with everything below it; never the root.
    bool RemoveDirectory(const std::string& path);

    // Header reception from the session. EndHeader appends the record to
    // HCACHE.TXT and the mark and size to ACACHE.BIN (a size above 4 GiB
    // comes clamped, see StorableSize). Load() shows the new records.
    void BeginHeader() override;
    void HeaderLine(const char* line) override;
    bool EndHeader(unsigned char mark, std::uint32_t size, int serverNumber, bool ok) override;

    // The size a record keeps for a mail of `size` bytes: sizes above 4 GiB
    // are clamped to the largest 32-bit number, so such a mail still reads
    // as at least that large.
    static std::uint32_t StorableSize(std::uint64_t size);

    // The highest mail number ACACHE.BIN can hold: its record must end
    // within 2 GiB, where a 32-bit offset still reaches.
    static constexpr int kMaxRecordNumber = (0x7fffffff - 4) / 5;

private:
    bool FillState(const std::string& dir, bool filled);
    // The directories of these names below the root, each made when missing.
    bool MakeDirectories(const std::vector<std::string>& components);

    SQimTmpFolderPath root_;
    bool server_ = false;
    std::string cacheDir_;      // empty for a local folder or a refused path
    std::string markSizePath_;  // ACACHE.BIN
    // The header being received.
    std::unique_ptr<SCacheHeaderCollector> collector_;
    bool gotLines_ = false;
    bool headerEnded_ = false;
};

namespace qimimap {

constexpr char kMarkSizeFileName[] = "ACACHE.BIN";
constexpr unsigned char kMarkUnknown = 255;

}  // namespace qimimap
