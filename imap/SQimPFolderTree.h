// The tree of server folders as the QimP window shows it, made from the
// folder list: the root "_QimP" and one node per folder name below it, each
// made only together with its cache directory.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/SNotice.h"

class SQimPFolderList;
class SQimPMemCacheFolder;

namespace qimimap {

// The item data of the tree's nodes.
constexpr int kRootItemData = 3;
constexpr int kFolderItemData = 2;
constexpr int kMailboxOnlyItemData = 8;  // a server mailbox that holds no folders

}  // namespace qimimap

struct SQimPFolderNode {
    std::string path;  // "_QimP\A\B"
    std::string name;  // its own name ("B"; "_QimP" for the root)
    int parent = -1;   // index of the parent node; -1 for the root
    int itemData = qimimap::kFolderItemData;
    // It holds mail: the root (the INBOX), a folder of the plain variant
    // whose "_mbox" is listed, a mailbox, and every folder of the MH variant.
    bool hasMailbox = true;
};

struct SQimPFolderTree {
    // The root first, then the folders in the order the list names them,
    // every parent before its children.
    std::vector<SQimPFolderNode> nodes;
    // String 1308 when the list file is there but cannot be read.
    std::optional<SNotice> notice;
};

// What reading the folder list gave.
enum class SQimPListState {
    Missing,     // no file, or an empty one: only the root is shown
    Unreadable,  // the file is there but cannot be read
    Read,
};

// The tree of what the list file says; see MakeQimPFolderTree.
SQimPFolderTree BuildQimPFolderTree(const SQimPFolderList& list, SQimPMemCacheFolder& cache, bool mboxFolders);

// `mboxFolders`: the plain variant, where a folder keeps its mail in its
// mailbox "_mbox"; a last name "_mbox" then makes no node, and a listed
// folder without one is a mailbox of its own that cannot hold folders (8). A path the cache
// refuses (one that would lead out of the cache root) makes no node, and
// neither does any folder below a node whose directory could not be made.
SQimPFolderTree MakeQimPFolderTree(SQimPListState state, const std::vector<std::string>& paths,
                                   SQimPMemCacheFolder& cache, bool mboxFolders);
