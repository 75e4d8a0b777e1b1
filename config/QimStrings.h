// The program's string table: messages by number (QimStringIds.h) and the
// status-bar hint of each command under the command's number, in Shift_JIS.
#pragma once

#include <string>
#include <vector>

// The text of `id`; empty when the table has no such string.
std::string LoadQimString(unsigned id);
// Copies the text into `buffer` (at most size-1 bytes, never half of a
// double-byte character, then NUL) and returns the bytes copied; 0 when the
// table has no such string or there is no room.
int LoadQimString(unsigned id, char* buffer, int size);
// Every number the table holds, in ascending order.
std::vector<unsigned> QimStringIds();
