// The header cache of the folder the header list shows, held in memory as an
// array of records in file order. The list's rows point into this array.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "store/SQimCacheFolder.h"
#include "store/SQimMailData.h"

class SMemCacheFolder : public SQimCacheFolder {
public:
    SMemCacheFolder() = default;
    explicit SMemCacheFolder(const std::string& path);

    // As the cache folder does (building a missing cache), then Load.
    void SetFolder(const char* path) override;
    void SetFolder(const std::string& path) override;
    // Rebuild or update the file, then Load.
    bool RebuildCache() override;
    bool UpdateCache() override;

    // Empties the array and reads the file record by record, stopping at the
    // first record that is not complete. False when the file cannot be read.
    bool Load();
    // Linear search in array order.
    bool Find(int number, SHeaderData& data) const;
    // The cache file rewritten from the array, in array order. The old file
    // stays until the new one is complete.
    bool WriteAll();
    // Removes the first record of that number.
    bool Remove(int number);
    // Removes every record of these numbers in one pass.
    std::size_t RemoveNumbers(const std::unordered_set<int>& numbers);
    int Count() const { return static_cast<int>(records_.size()); }

    const std::vector<SQimMailData>& Records() const { return records_; }
    const SQimMailData& Record(int index) const { return records_[static_cast<std::size_t>(index)]; }

    // Parses cache text (as read from the file, CR LF or LF) into records and
    // returns the bytes of the complete records taken.
    static std::size_t ParseRecords(const char* data, std::size_t length, std::vector<SQimMailData>& records);

private:
    std::vector<SQimMailData> records_;
};
