#include "runtime/Text.h"

#include <cstdio>
#include <optional>

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

namespace {

// The code point of the UTF-8 sequence starting at `at`, which it steps past; nothing for a
// malformed, overlong or surrogate sequence, of which it steps past the first byte only.
std::optional<char32_t> DecodeUtf8(std::string_view utf8, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    if (lead < 0x80)
        return lead;
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + static_cast<std::size_t>(length - 1) > utf8.size())
        return std::nullopt;
    char32_t point = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(utf8[at + static_cast<std::size_t>(i) - 1]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        point = (point << 6) | (next & 0x3F);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < smallest[length] || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000))
        return std::nullopt;
    at += static_cast<std::size_t>(length - 1);
    return point;
}

} // namespace

Text TextFromUtf8(std::string_view utf8) {
    Text text;
    text.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t point = DecodeUtf8(utf8, at).value_or(U'\uFFFD');
        if (point < 0x10000) {
            text.push_back(static_cast<char16_t>(point));
        } else {
            text.push_back(static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
        }
    }
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
