#include "runtime/Text.h"

#include <cstdio>

namespace FormsRuntime {

Text IntToText(std::int32_t value) {
    // Work in 64 bits so that the most negative value has a magnitude too.
    std::int64_t magnitude = value < 0 ? -std::int64_t{value} : std::int64_t{value};
    char16_t digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    Text text;
    text.reserve(static_cast<std::size_t>(count) + 1);
    if (value < 0)
        text.push_back(u'-');
    while (count > 0)
        text.push_back(digits[--count]);
    return text;
}

std::string ToDisplayAscii(TextView text) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7f) {
            out.push_back(static_cast<char>(unit));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
            out += escaped;
        }
    }
    return out;
}

} // namespace FormsRuntime
