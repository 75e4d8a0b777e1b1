// One record of a folder's header cache: the four header texts of a mail and,
// in memory, its number. These are the rows of the header list.
#pragma once

#include <string>

struct SHeaderData {
    std::string to;
    std::string from;
    std::string subject;
    std::string date;  // the date key "%y.%m.%d %H:%M"
};

struct SQimMailData {
    int number = 0;
    SHeaderData header;
};
