/* The interface of the outside LHA archiver library (libunlha32.so): its
 * entry points, found by name, the progress call-back with its states, the
 * record of one archived file, the open-mode flags and the result codes. The
 * program and the library both include this header.
 *
 * Texts (command lines, paths, stored names) are Shift_JIS, as the callers
 * hold them; the library converts paths to the UTF-8 names on disk. An owner
 * "window" is an opaque handle: the library hands it back to the call-back
 * and never looks inside.
 *
 * The one command the library runs is "a" (add to a new archive):
 *     a [-+] [-n] [-h0|-h1|-h2] [-z] "ARCHIVE" "FOLDER/" PATTERN...
 *   -+  ignore the user's default options (there are none here; accepted)
 *   -n  no progress window of the library's own (it never shows one)
 *   -h2 level-2 headers (the default; -h0, -h1 are refused: the names and
 *       attributes of a mail folder need level 2)
 *   -z  store without compression (-lh0-) instead of -lh5-
 * Paths may be quoted; a backslash in a path is taken as '/'. Each PATTERN
 * (a name with '*' and '?') names the regular files of FOLDER that match it;
 * a pattern that matches nothing is skipped. The archive must not exist; it
 * appears under its name only once all of it is written and on disk.
 */
#ifndef QIM_UNLHA_API_H
#define QIM_UNLHA_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The library's version x 100, in the low 16 bits of UnlhaGetVersion. */
#define UNLHA_VERSION 255

/* Longest stored name (bytes, without the NUL). */
#define UNLHA_NAME_MAX 512

/* States of the progress call-back. */
#define UNLHA_STATE_BEGIN 0     /* a file begins: info names it */
#define UNLHA_STATE_INPROCESS 1 /* a file is being packed: info says how far */
#define UNLHA_STATE_END 2       /* a file is done */
#define UNLHA_STATE_OPEN 3      /* the run begins: info's archiveName is set */
#define UNLHA_STATE_CLOSE 4     /* the run ends (after success or failure) */

/* The message number the call-back is sent with. */
#define UNLHA_WM_ARCEXTRACT 0x8020u

/* Flags of UnlhaOpenArchive. */
#define UNLHA_M_INIT_FILE_USE 0x00000001u
#define UNLHA_M_REGARDLESS_INIT_FILE 0x00000002u
#define UNLHA_M_CHECK_ALL_PATH 0x00000100u
#define UNLHA_M_CHECK_FILENAME_ONLY 0x00000200u
#define UNLHA_M_USE_DRIVE_LETTER 0x00001000u
#define UNLHA_M_NOT_USE_DRIVE_LETTER 0x00002000u
#define UNLHA_M_ERROR_MESSAGE_ON 0x00400000u
#define UNLHA_M_ERROR_MESSAGE_OFF 0x00800000u

/* Results of Unlha and of the find calls. 0 is success. */
#define UNLHA_OK 0
#define UNLHA_NOT_FOUND (-1)              /* find: no (further) entry */
#define UNLHA_ERROR_BUSY 0x8001           /* another run is going on */
#define UNLHA_ERROR_COMMAND 0x8002        /* the command line is not understood */
#define UNLHA_ERROR_ARCHIVE_EXISTS 0x8003 /* the archive is there already */
#define UNLHA_ERROR_READ_FILE 0x8004      /* a file to pack cannot be read */
#define UNLHA_ERROR_WRITE 0x8005          /* the archive cannot be written (disk full, ...) */
#define UNLHA_ERROR_CANCELLED 0x8006      /* the call-back said stop */
#define UNLHA_ERROR_NO_FILES 0x8007       /* no pattern matched a file */
#define UNLHA_ERROR_HANDLE 0x8010         /* not an open archive handle */
#define UNLHA_ERROR_BROKEN 0x8011         /* the archive is damaged: a header or data does not check */
#define UNLHA_ERROR_METHOD 0x8012         /* the entry's method cannot be unpacked */
#define UNLHA_ERROR_BUFFER 0x8013         /* the buffer is smaller than the entry */
#define UNLHA_ERROR_NO_ENTRY 0x8014       /* no entry found yet */
#define UNLHA_ERROR_NAME 0x8015           /* a path has no Shift_JIS or UTF-8 form */

/* What the call-back is told. */
typedef struct UnlhaProgressInfo {
    uint64_t fileSize;                      /* the file's size */
    uint64_t writeSize;                     /* bytes of it packed so far */
    char archiveName[UNLHA_NAME_MAX + 1];   /* the archive */
    char fileName[UNLHA_NAME_MAX + 1];      /* the stored name of the file */
} UnlhaProgressInfo;

/* Returns non-zero to go on, 0 to stop the run (UNLHA_ERROR_CANCELLED). */
typedef int32_t (*UnlhaArchiverProc)(void* window, uint32_t message, uint32_t state, UnlhaProgressInfo* info);

/* One archived file, as the find calls fill it. */
typedef struct UnlhaEntry {
    uint64_t originalSize;
    uint64_t compressedSize;
    uint32_t crc;                           /* CRC-16 of the original data */
    uint32_t attributes;                    /* MS-DOS attributes (0x01 read-only, 0x20 archive, ...) */
    int64_t modified;                       /* time_t of the last change */
    uint32_t headerLevel;                   /* 0, 1 or 2 */
    uint32_t osType;                        /* the header's OS byte ('M', 'U', ...) */
    uint32_t ratio;                         /* compressed / original in tenths of a percent */
    char method[8];                         /* "-lh5-", NUL-terminated */
    char fileName[UNLHA_NAME_MAX + 1];      /* stored name, '/' between directories */
} UnlhaEntry;

typedef void* UnlhaArchive;

typedef uint32_t (*UnlhaGetVersionFunction)(void);
typedef int32_t (*UnlhaGetRunningFunction)(void);
typedef int32_t (*UnlhaSetOwnerWindowExFunction)(void* window, UnlhaArchiverProc callBack);
typedef int32_t (*UnlhaKillOwnerWindowExFunction)(void* window);
typedef int32_t (*UnlhaSetBackGroundModeFunction)(int32_t background);
/* output: the run's log, cut to outputSize - 1 bytes and NUL-terminated. */
typedef int32_t (*UnlhaFunction)(void* window, const char* commandLine, char* output, uint32_t outputSize);
/* Null when the file is no archive or cannot be read. */
typedef UnlhaArchive (*UnlhaOpenArchiveFunction)(void* window, const char* path, uint32_t mode);
typedef int32_t (*UnlhaCloseArchiveFunction)(UnlhaArchive archive);
/* wildName: "*.*" or "*" for every entry, else a pattern of the stored name
 * (its last component only under UNLHA_M_CHECK_FILENAME_ONLY). */
typedef int32_t (*UnlhaFindFirstFunction)(UnlhaArchive archive, const char* wildName, UnlhaEntry* entry);
typedef int32_t (*UnlhaFindNextFunction)(UnlhaArchive archive, UnlhaEntry* entry);
/* Unpacks the entry the last find call gave into buffer (at most size
 * bytes) and checks its CRC; written gets the bytes unpacked. */
typedef int32_t (*UnlhaExtractCurrentFunction)(UnlhaArchive archive, void* buffer, uint64_t size, uint64_t* written);

#define UNLHA_GET_VERSION_NAME "UnlhaGetVersion"
#define UNLHA_GET_RUNNING_NAME "UnlhaGetRunning"
#define UNLHA_SET_OWNER_WINDOW_EX_NAME "UnlhaSetOwnerWindowEx"
#define UNLHA_KILL_OWNER_WINDOW_EX_NAME "UnlhaKillOwnerWindowEx"
#define UNLHA_SET_BACKGROUND_MODE_NAME "UnlhaSetBackGroundMode"
#define UNLHA_NAME "Unlha"
#define UNLHA_OPEN_ARCHIVE_NAME "UnlhaOpenArchive"
#define UNLHA_CLOSE_ARCHIVE_NAME "UnlhaCloseArchive"
#define UNLHA_FIND_FIRST_NAME "UnlhaFindFirst"
#define UNLHA_FIND_NEXT_NAME "UnlhaFindNext"
#define UNLHA_EXTRACT_CURRENT_NAME "UnlhaExtractCurrent"

#ifdef __cplusplus
}  /* extern "C" */
#endif

#endif /* QIM_UNLHA_API_H */
