// Dates of mail headers: the Date field written when a mail is composed, the
// Date field read back into broken-down time, and the date keys
// ("%y.%m.%d %H:%M") by which the header list sorts.
#pragma once

#include <ctime>
#include <string>

// Room that DateToInetDate needs, NUL included, whatever the record holds.
constexpr int kInetDateSize = 40;
// Room for a date key ("99.12.31 23:59") with its NUL.
constexpr int kDateKeySize = 16;

// "Sat, 6 Jun 1998 12:34:56 +0900": weekday, day without leading zero, month,
// four-digit year, time, and always the zone +0900. A weekday outside 0-6 is
// worked out from the date; other fields out of range are clamped into it.
// `dest` holds kInetDateSize bytes.
char* DateToInetDate(const std::tm& t, char* dest);
std::string DateToInetDate(const std::tm& t);

// Reads an RFC 822 date ("Sat, 06 Jun 98 12:34:56 +0000", the weekday and the
// seconds optional) into `out`. Null or empty text: time and day 0, month -1,
// year 100. Otherwise only the fields the text reaches are set, so the caller
// initialises the record. Two-digit years below 60 are 20xx, other two-digit
// years 19xx. The zone is not read.
void InetDateToDate(const char* text, std::tm* out);

// 0-6 for "Sun".."Sat", 0-11 for "Jan".."Dec", case-insensitive; the long
// English names are accepted too. -1 otherwise.
int WdayToInt(const char* name);
int MonthToInt(const char* name);

// Orders two date keys that begin with a two-digit year: years below 60 are in
// the 2000s and come after the 1900s; within a century the keys compare as
// strings. Negative, 0 or positive.
int CompareDate(const char* a, const char* b);

// The date key of `t`: "%y.%m.%d %H:%M". A field that does not fit two digits
// (month -1 of an empty date, a broken day) is written "00", so every key keeps
// its shape and sorts. `dest` holds kDateKeySize bytes.
char* FormatDateKey(const std::tm& t, char* dest);
