#include "imap/SQimPFolderTree.h"

#include <unordered_map>

#include "config/QimStringIds.h"
#include "imap/Imap4Codes.h"
#include "imap/QimPFolderPath.h"
#include "imap/SQimPFolderList.h"
#include "imap/SQimPMemCacheFolder.h"

SQimPFolderTree BuildQimPFolderTree(const SQimPFolderList& list, SQimPMemCacheFolder& cache, bool mboxFolders) {
    std::vector<std::string> paths;
    SQimPListState state = SQimPListState::Missing;
    if (list.Exists()) state = list.Read(paths) ? SQimPListState::Read : SQimPListState::Unreadable;
    return MakeQimPFolderTree(state, paths, cache, mboxFolders);
}

SQimPFolderTree MakeQimPFolderTree(SQimPListState state, const std::vector<std::string>& paths,
                                   SQimPMemCacheFolder& cache, bool mboxFolders) {
    SQimPFolderTree tree;
    tree.nodes.push_back({qimimap::kQimPRoot, qimimap::kQimPRoot, -1, qimimap::kRootItemData});
    cache.MakeDirectory(qimimap::kQimPRoot);  // the root node's directory is the cache root
    if (state == SQimPListState::Unreadable)
        tree.notice = SNotice::Program(qimstr::FolderFileNotOpened, {}, platform::MessageIcon::Stop);
    if (state != SQimPListState::Read) return tree;
    std::unordered_map<std::string, int> index{{qimimap::kQimPRoot, 0}};
    std::vector<std::string> names;
    for (const std::string& line : paths) {
        if (!qimimap::QimPComponents(line, names)) continue;
        bool mailboxOnly = false;
        if (mboxFolders && !names.empty()) {
            if (names.back() == qimimap::kMboxFolder) names.pop_back();
            else mailboxOnly = true;
        }
        int parent = 0;
        std::vector<std::string> upTo;
        for (std::size_t i = 0; i < names.size(); ++i) {
            upTo.push_back(names[i]);
            const bool last = i + 1 == names.size();
            const std::string path = qimimap::QimPPathOf(upTo);
            const auto found = index.find(path);
            if (found != index.end()) {
                parent = found->second;
                SQimPFolderNode& known = tree.nodes[static_cast<std::size_t>(parent)];
                if (last) known.hasMailbox = true;
                continue;
            }
            if (!cache.MakeDirectory(path)) break;
            const int node = static_cast<int>(tree.nodes.size());
            SQimPFolderNode made{path, names[i], parent, qimimap::kFolderItemData};
            // In the plain variant a folder on the way holds mail only once its "_mbox" is listed.
            made.hasMailbox = !mboxFolders || last;
            if (last && mailboxOnly) made.itemData = qimimap::kMailboxOnlyItemData;
            tree.nodes.push_back(made);
            index.emplace(path, node);
            parent = node;
        }
    }
    return tree;
}
