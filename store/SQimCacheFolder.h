// A mail folder with its header cache HCACHE.TXT: four lines per mail (number
// and To, From, Subject, date key), in the order they were written. The cache
// is built when a folder has none, appended to as mails arrive, and rebuilt
// on request; batches keep it open while many mails move or are copied in.
#pragma once

#include <functional>
#include <string>

#include "platform/TextFile.h"
#include "store/SQimFolder.h"
#include "store/SQimMailData.h"

class SQimCacheFolder : public SQimFolder {
public:
    SQimCacheFolder() = default;
    // Points at the folder (building its cache when it has none).
    explicit SQimCacheFolder(const std::string& path);
    ~SQimCacheFolder() override;

    void SetFolder(const char* path) override;
    void SetFolder(const std::string& path) override;

    virtual bool CacheExists() const;
    // Moves a mail file in as the next number (keeping its marks) and appends
    // its record.
    virtual bool AddMailByMove(const char* sourcePath);
    // The cache written anew from the mail files, in number order. The old
    // file stays until the new one is complete.
    virtual bool RebuildCache();
    // Appends the records of the mails numbered after the last cached one,
    // while those files exist. A cache that cannot be read, or whose end is
    // cut in the middle of a record, is rebuilt instead.
    virtual bool UpdateCache();
    virtual void MakeCachePath();

    // A batch: the next numbers are counted from LastNumber() once, and the
    // cache stays open for appending until EndBatch.
    bool BeginBatch();
    // The file moved (marks kept) or copied in as the next number, its record
    // appended. False (with errno) when the file could not be brought in.
    bool BatchMove(const char* sourcePath);
    bool BatchCopy(const char* sourcePath);
    bool EndBatch();
    // The number given by the last BatchMove or BatchCopy.
    int BatchNumber() const { return counter_; }

    // Appends the record of mail `number`; false when the mail cannot be read.
    bool AppendRecord(int number);
    // Appends the records of `number`, `number` + 1, ... while those mails exist.
    void AppendFrom(int number);

    // Number of the last complete record, read from the end of the file; 0
    // for an empty cache, -1 when it cannot be read.
    int LastCachedNumber();

    const std::string& CachePath() const { return cachePath_; }

    // The four header texts of a mail file as a record holds them; false when
    // the file cannot be opened.
    static bool ReadHeaderData(const char* mailPath, SHeaderData& data);
    // The record's lines (LF ends, tabs made blanks), as written in text mode.
    static std::string FormatRecord(int number, const SHeaderData& data);

protected:
    // What the end of the cache file says.
    struct CacheTail {
        int number = 0;        // first line of the last complete record (0: none)
        long long end = 0;     // where that record ends
        bool clean = true;     // the file ends there
    };
    bool ReadCacheTail(CacheTail& tail) const;
    // Writes a whole new cache through `fill` and puts it in place of the old
    // one only when every write succeeded.
    bool ReplaceCache(const std::function<bool(platform::TextFile& out)>& fill);
    // Rebuilds the cache when its end is cut in the middle of a record, so that
    // appending starts on a record boundary.
    bool RepairTail();
    // Brings the file in as the next number of the batch.
    bool BatchBring(const char* sourcePath, bool (*bring)(const char* from, const char* to));

    std::string cachePath_;
    platform::TextFile batch_;
    int counter_ = 0;
    bool batchIncomplete_ = false;  // a record of the batch could not be written
};
