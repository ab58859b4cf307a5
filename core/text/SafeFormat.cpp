#include "core/text/SafeFormat.h"

#include <cstdio>

#include "core/text/Utf.h"

namespace talvenix::text {

std::string FormatNumber(std::string_view format, std::int64_t value, std::size_t maxUnits) {
    std::string out;
    bool used = false;
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out.push_back('%');
            i += 2;
            continue;
        }
        // Parse %[flags][width][.precision][length]conv with bounded width and precision.
        std::size_t j = i + 1;
        std::string directive = "%";
        while (j < format.size() && std::string_view("-0+ #").find(format[j]) != std::string_view::npos) {
            directive.push_back(format[j++]);
        }
        int width = 0;
        while (j < format.size() && format[j] >= '0' && format[j] <= '9') {
            width = width * 10 + (format[j] - '0');
            if (width > 64) width = 64;
            ++j;
        }
        int precision = -1;
        if (j < format.size() && format[j] == '.') {
            ++j;
            precision = 0;
            while (j < format.size() && format[j] >= '0' && format[j] <= '9') {
                precision = precision * 10 + (format[j] - '0');
                if (precision > 64) precision = 64;
                ++j;
            }
        }
        while (j < format.size() && std::string_view("hlLqjzt").find(format[j]) != std::string_view::npos)
            ++j;
        const char conv = j < format.size() ? format[j] : '\0';
        if (used || std::string_view("diuxXo").find(conv) == std::string_view::npos || conv == '\0') {
            // Not ours to fill: copy the directive as written.
            const std::size_t end = conv == '\0' ? j : j + 1;
            out.append(format.substr(i, end - i));
            i = end;
            continue;
        }
        if (width > 0) directive += std::to_string(width);
        if (precision >= 0) directive += "." + std::to_string(precision);
        directive += "ll";
        directive.push_back(conv);
        char buf[160];
        if (conv == 'd' || conv == 'i') {
            std::snprintf(buf, sizeof buf, directive.c_str(), static_cast<long long>(value));
        } else {
            std::snprintf(buf, sizeof buf, directive.c_str(), static_cast<unsigned long long>(value));
        }
        out += buf;
        used = true;
        i = j + 1;
    }
    return CutToUtf16Units(out, maxUnits);
}

}  // namespace talvenix::text
