// Files opened as bare descriptors, for readers that take many small files
// in turn: the folder is opened once and its files by name relative to it, so
// no path is converted or looked up again for each file.
#pragma once

namespace platform {

// The folder for opening its files; -1 (with errno) when it cannot be opened.
int OpenFolderDescriptor(const char* sjisDir);
// The file `asciiName` in the folder, for reading; -1 (with errno) when it
// cannot be opened. The name is ASCII, the same bytes in Shift_JIS and on disk.
// Never waits for a writer, as opening a FIFO would.
int OpenReadOnlyAt(int folderFd, const char* asciiName);
// The same for a whole path.
int OpenReadOnly(const char* sjisPath);
// Whether `asciiName` in the folder is a regular file (a link to one counts).
bool IsRegularFileAt(int folderFd, const char* asciiName);
// Whether the open file is a regular file.
bool IsRegularDescriptor(int fd);
void CloseDescriptor(int fd);

}  // namespace platform
