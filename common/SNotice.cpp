#include "common/SNotice.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsFlagOrWidth(char c) { return std::strchr("-+ #0123456789.", c) != nullptr && c != '\0'; }

// One conversion written as `form` (from '%' to its letter) with `arg`.
std::string Convert(const std::string& form, char conversion, const SNotice::Arg& arg) {
    char buffer[64];
    if (conversion == 's') {
        const std::string* text = std::get_if<std::string>(&arg);
        if (!text) return form;
        const int n = std::snprintf(nullptr, 0, form.c_str(), text->c_str());
        if (n < 0) return form;
        std::string out(static_cast<std::size_t>(n) + 1, '\0');
        std::snprintf(out.data(), out.size(), form.c_str(), text->c_str());
        out.resize(static_cast<std::size_t>(n));
        return out;
    }
    const long* number = std::get_if<long>(&arg);
    if (!number) return form;
    int n = -1;
    if (conversion == 'c') {
        n = std::snprintf(buffer, sizeof buffer, form.c_str(), static_cast<int>(*number));
    } else {
        // Every number goes through the long form of its conversion.
        char longForm[40];
        const bool isLong = form.find('l') != std::string::npos;
        if (form.size() + 2 > sizeof longForm) return form;
        std::snprintf(longForm, sizeof longForm, "%.*s%s%c", static_cast<int>(form.size() - 1), form.c_str(),
                      isLong ? "" : "l", conversion);
        n = std::snprintf(buffer, sizeof buffer, longForm, *number);
    }
    return n < 0 ? form : std::string(buffer, static_cast<std::size_t>(n < 63 ? n : 63));
}

}  // namespace

std::string FormatNotice(const std::string& format, const std::vector<SNotice::Arg>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < format.size() && IsFlagOrWidth(format[j])) ++j;
        if (j < format.size() && format[j] == 'l') ++j;
        if (j >= format.size() || std::strchr("diuxXcs", format[j]) == nullptr) {
            out += format[i];  // not a conversion this formatter knows
            continue;
        }
        const std::string form = format.substr(i, j - i + 1);
        out += next < args.size() ? Convert(form, format[j], args[next]) : form;
        ++next;
        i = j;
    }
    return out;
}
