#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace FormsRuntime {

// A text is a counted string of UTF-16 code units; it may be empty and may hold any code unit.
using Text = std::u16string;
using TextView = std::u16string_view;

// Texts are equal only when their lengths and every code unit agree: letter case and blanks count.
constexpr bool TextEquals(TextView a, TextView b) noexcept {
    return a == b;
}

// Decimal digits with a leading "-" for negatives; no leading blank and no leading zeros.
Text IntToText(std::int32_t value);

// UTF-8 as a text; a malformed sequence becomes U+FFFD, the replacement character.
Text TextFromUtf8(std::string_view utf8);

// For messages written to the terminal; code units outside ASCII are written as \uXXXX.
std::string ToDisplayAscii(TextView text);

} // namespace FormsRuntime
