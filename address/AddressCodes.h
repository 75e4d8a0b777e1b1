// The fixed numbers of the address book: folder ids and flags, the sizes the
// stored values are read with, the sections and keys of ALIAS.INI, the alias
// menu's command ids and the limits of a list file.
#pragma once

namespace qimaddr {

// The special folder "よく使うアドレス" is always element 0 of the list.
constexpr int kSpecialFolderId = 0;

// Folder flags. Only kNonMenu is stored; kDeleted lives until the next save.
constexpr unsigned short kNonMenu = 0x01;
constexpr unsigned short kDeleted = 0x20;
// State bit of a folder's loaded contents: changed since loading.
constexpr unsigned kContentsChanged = 0x10;

// Longest folder name a save accepts (bytes).
constexpr int kFolderNameMax = 256;
// Buffers the entry values are read with (bytes with the NUL).
constexpr int kAliasBuffer = 42;
constexpr int kAddressBuffer = 7501;
constexpr int kCommentBuffer = 82;
// A folder-list value: id, menu bit, the name and the blanks between them.
constexpr int kFolderValueBuffer = kFolderNameMax + 32;

constexpr const char* kFolderSection = "Address Folders";
constexpr const char* kSpecialSection = "Usual Alias";

// The alias menu: entry items get ids from kFirstAliasCommand on, below
// kAliasCommandLimit; kPasteCommand (the compose window's paste) comes first.
constexpr int kFirstAliasCommand = 3000;
constexpr int kAliasCommandLimit = 3999;
constexpr int kPasteCommand = 24324;

// A list file: read in pieces of at most this many bytes; more than
// kListItemMax pieces make the expansion fail.
constexpr int kListChunk = 512;
constexpr int kListItemMax = 100;

}  // namespace qimaddr
