// Integer to text: plain decimal digits, a leading "-" for negatives, nothing else.

#include "runtime/Text.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(IntToText, PlainDigits) {
    const struct {
        std::int32_t value;
        std::u16string text;
    } cases[] = {
        {0, u"0"},
        {7, u"7"},
        {15, u"15"}, // no leading zero
        {1005, u"1005"},
        {-7, u"-7"},
        {-32768, u"-32768"},
        {std::numeric_limits<std::int32_t>::max(), u"2147483647"},
        {std::numeric_limits<std::int32_t>::min(), u"-2147483648"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_TRUE(FormsRuntime::IntToText(value) == text) << value;
}

} // namespace
