// The loaded contents of address folders: one folder's entries with its
// changed state (SAddressArray), and the folders the editor has loaded
// (SAddressArrayList). Folder 0 lives in the section "Usual Alias", every
// other folder in "F<id>".
#pragma once

#include <string>
#include <vector>

#include "address/SAlias.h"

// The ALIAS.INI section of folder `id`.
std::string AddressSectionName(int id);

struct SAddressArray {
    int id = 0;
    SAliasArray aliases;
    unsigned state = 0;  // qimaddr::kContentsChanged

    bool IsChanged() const { return (state & qimaddr::kContentsChanged) != 0; }
    void MarkChanged() { state |= qimaddr::kContentsChanged; }

    // Reads the folder's entries ("Num" missing: none). A count beyond the
    // entries present ends at the first index that has neither alias nor
    // address. The changed state is cleared.
    void Load(bool skipComments);
    // Writes the entries, "Num", then removes the keys of the entries beyond
    // the new count. An entry that would not read back as it is (too long, a
    // line break) fails the save before anything is written.
    bool Save() const;
};

class SAddressArrayList : public std::vector<SAddressArray> {
public:
    // The loaded contents of folder `id`, or null.
    SAddressArray* Find(int id);
    const SAddressArray* Find(int id) const;
    // Loads (again) the contents of folder `id`; returns them.
    SAddressArray& Load(int id, bool skipComments);
    // Writes the contents of folder `id`; false when it is not loaded or a write failed.
    bool Save(int id);
    // Removes folder `id`'s section from the file (never that of folder 0) and
    // its contents from the list.
    bool Delete(int id);
};
