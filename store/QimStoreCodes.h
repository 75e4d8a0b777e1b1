// Values of the local store: the mark byte of a mail, the list state of a
// header-list row, the header cache's file name, and the header list's
// columns, sort directions and default-sort bits (DefHLWSort).
#pragma once

namespace qimstore {

// Mark byte of a mail, kept in the mail file's attributes.
constexpr unsigned char kMarkNone = 0x00;
constexpr unsigned char kMarkRead = 0x01;       // archive attribute (owner execute bit)
constexpr unsigned char kMarkImportant = 0x02;  // read-only attribute (owner write bit clear)
constexpr unsigned char kMarkError = 0xff;      // attributes could not be read

// List state of a mail: the header list's icon index.
constexpr int kStateRead = 0;              // read, or marks unreadable
constexpr int kStateNew = 1;               // unread, in the inbox, from the latest receive or import
constexpr int kStateImportantRead = 2;
constexpr int kStateUnread = 3;
constexpr int kStateImportantUnread = 4;
constexpr int kStateCount = 5;

constexpr char kCacheFileName[] = "HCACHE.TXT";

// Header-list columns.
constexpr int kColumnNumber = 0;
constexpr int kColumnDate = 1;
constexpr int kColumnFrom = 2;  // or To
constexpr int kColumnSubject = 3;
constexpr int kColumnCount = 4;

// Sort directions of a column; the thread ones only for Subject.
constexpr int kDirNone = 0;
constexpr int kDirAscending = 1;
constexpr int kDirDescending = 2;
constexpr int kDirThreadAscending = 3;
constexpr int kDirThreadDescending = 4;

}  // namespace qimstore

// DefHLWSort bits.
constexpr int kSortColumnMask = 0x03;  // 0 No., 1 Date, 2 From, 3 Subject
constexpr int kSortOn = 0x10;
constexpr int kSortDescending = 0x20;
constexpr int kSortThread = 0x40;
constexpr int kSortEveryFolder = 0x80;
