#include "common/InetDate.h"

#include <cstdio>
#include <cstring>

#include "common/JString.h"

namespace {

const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Index of the name whose three letters begin `text` as a word ("Jun", "June";
// not "Ju" nor "Jun5").
int FindName(const char* text, const char* const* names, int count) {
    if (!text) return -1;
    for (int i = 0; i < count; ++i) {
        if (jstrnaicmp(text, names[i], 3) != 0) continue;
        const char* rest = text + 3;
        while (IsAsciiLetter(*rest)) ++rest;
        if (*rest == '\0') return i;
    }
    return -1;
}

int Clamp(long long v, int low, int high) { return v < low ? low : (v > high ? high : static_cast<int>(v)); }

// Day of the week of a proleptic Gregorian date (month 0-11).
int WeekdayOf(long long year, int month, int day) {
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 2) --year;
    long long y = year % 400;
    if (y < 0) y += 400;
    long long w = (y + y / 4 - y / 100 + y / 400 + offsets[month] + day) % 7;
    return static_cast<int>(w);
}

// The blanks between the fields of a date.
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal number as atoi reads it (leading blanks, a sign, digits); longer
// numbers saturate at nine digits, so no field arithmetic can overflow.
long ParseNumber(const char* s) {
    while (IsBlank(*s)) ++s;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    long v = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        v = v < 100000000 ? v * 10 + (*s - '0') : 999999999;
    }
    return negative ? -v : v;
}

// Cuts the next field at `p`: skips blanks, then takes characters up to one of
// `ends` (or a blank, or the end). `*ended` gets the character that ended it.
// False when no field is left.
bool NextField(const char*& p, const char* ends, std::string& field, char* ended) {
    while (IsBlank(*p)) ++p;
    if (!*p) return false;
    const char* start = p;
    while (*p && !IsBlank(*p) && !std::strchr(ends, *p)) ++p;
    field.assign(start, p);
    *ended = *p;
    if (*p) ++p;
    return true;
}

}  // namespace

int WdayToInt(const char* name) { return FindName(name, kWeekdays, 7); }

int MonthToInt(const char* name) { return FindName(name, kMonths, 12); }

char* DateToInetDate(const std::tm& t, char* dest) {
    const long long year = 1900LL + t.tm_year;
    const int month = Clamp(t.tm_mon, 0, 11);
    const int day = Clamp(t.tm_mday, 1, 31);
    const int wday = (t.tm_wday >= 0 && t.tm_wday <= 6) ? t.tm_wday : WeekdayOf(year, month, day);
    std::snprintf(dest, kInetDateSize, "%s, %d %s %04lld %02d:%02d:%02d +0900", kWeekdays[wday], day, kMonths[month],
                  year, Clamp(t.tm_hour, 0, 23), Clamp(t.tm_min, 0, 59), Clamp(t.tm_sec, 0, 60));
    return dest;
}

std::string DateToInetDate(const std::tm& t) {
    char buffer[kInetDateSize];
    return DateToInetDate(t, buffer);
}

void InetDateToDate(const char* text, std::tm* out) {
    if (!out) return;
    while (text && IsBlank(*text)) ++text;
    if (!text || !*text) {
        out->tm_sec = out->tm_min = out->tm_hour = out->tm_mday = 0;
        out->tm_mon = -1;
        out->tm_year = 100;
        return;
    }
    const char* p = text;
    if (const char* comma = std::strchr(text, ',')) {
        std::string weekday(text, comma);
        while (!weekday.empty() && IsBlank(weekday.back())) weekday.pop_back();
        out->tm_wday = WdayToInt(weekday.c_str());
        p = comma + 1;
    }
    std::string field;
    char ended;
    if (!NextField(p, "", field, &ended)) return;
    out->tm_mday = static_cast<int>(ParseNumber(field.c_str()));
    if (!NextField(p, "", field, &ended)) return;
    out->tm_mon = MonthToInt(field.c_str());
    if (!NextField(p, "", field, &ended)) return;
    long year = ParseNumber(field.c_str());
    if (year < 60) {
        year += 2000;
    } else if (year < 100) {
        year += 1900;
    }
    out->tm_year = static_cast<int>(year - 1900);
    if (!NextField(p, ":", field, &ended)) return;
    out->tm_hour = static_cast<int>(ParseNumber(field.c_str()));
    if (!NextField(p, ":", field, &ended)) return;
    out->tm_min = static_cast<int>(ParseNumber(field.c_str()));
    // Seconds are optional: only a colon after the minutes announces them, so
    // the zone of "12:34 +0900" is not taken for seconds.
    if (ended != ':' || !NextField(p, "", field, &ended)) return;
    out->tm_sec = static_cast<int>(ParseNumber(field.c_str()));
}

int CompareDate(const char* a, const char* b) {
    if (!a) a = "";
    if (!b) b = "";
    auto century = [](const char* key) {
        bool twoDigits = key[0] >= '0' && key[0] <= '9' && key[1] >= '0' && key[1] <= '9';
        return (twoDigits && (key[0] - '0') * 10 + (key[1] - '0') < 60) ? 2000 : 1900;
    };
    const int ca = century(a), cb = century(b);
    if (ca != cb) return ca > cb ? 1 : -1;
    const int c = std::strcmp(a, b);
    return (c > 0) - (c < 0);
}

char* FormatDateKey(const std::tm& t, char* dest) {
    // Every field is two digits (0 when out of range): written by hand, as a
    // folder's cache makes one key per mail.
    auto twoDigits = [](long long v) { return (v >= 0 && v <= 99) ? static_cast<int>(v) : 0; };
    const int year = ((t.tm_year % 100) + 100) % 100;
    const int fields[5] = {year, twoDigits(t.tm_mon + 1LL), twoDigits(t.tm_mday), twoDigits(t.tm_hour),
                           twoDigits(t.tm_min)};
    static const char kSeparators[5] = {'.', '.', ' ', ':', '\0'};
    char* out = dest;
    for (int i = 0; i < 5; ++i) {
        *out++ = static_cast<char>('0' + fields[i] / 10);
        *out++ = static_cast<char>('0' + fields[i] % 10);
        if (i < 4) *out++ = kSeparators[i];
    }
    *out = '\0';
    return dest;
}
