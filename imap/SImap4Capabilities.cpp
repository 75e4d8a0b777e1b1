#include "imap/SImap4Capabilities.h"

#include <strings.h>

#include <sstream>

bool SImap4Capabilities::TakeFrom(const std::string& line) {
    std::string list;
    const std::size_t code = line.find("[CAPABILITY ");
    if (code != std::string::npos) {
        const std::size_t close = line.find(']', code);
        list = line.substr(code + 12, close == std::string::npos ? std::string::npos : close - code - 12);
    } else if (line.size() > 13 && strncasecmp(line.c_str(), "* CAPABILITY ", 13) == 0) {
        list = line.substr(13);
    } else {
        return false;
    }
    Clear();
    known = true;
    std::istringstream words(list);
    for (std::string word; words >> word;) {
        if (strcasecmp(word.c_str(), "STARTTLS") == 0) startTls = true;
        else if (strcasecmp(word.c_str(), "LOGINDISABLED") == 0) loginDisabled = true;
        else if (strcasecmp(word.c_str(), "AUTH=PLAIN") == 0) authPlain = true;
    }
    return true;
}
