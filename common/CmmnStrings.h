// The common library's own string table: the messages it shows and the ones
// the program borrows from it, by number (CmmnStringIds.h), in Shift_JIS.
#pragma once

#include <string>

// The text of `id`; empty when the table has no such string.
std::string LoadStringCmmnDll(unsigned id);
// Copies the text into `buffer` (at most size-1 bytes, never half of a
// double-byte character, then NUL) and returns the bytes copied; 0 when the
// table has no such string or there is no room.
int LoadStringCmmnDll(unsigned id, char* buffer, int size);
