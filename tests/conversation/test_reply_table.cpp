// The reply table answers exactly its sixteen prompts, code unit by code unit.

#include "Replies.h"
#include "conversation/ReplyTable.h"

#include <gtest/gtest.h>

namespace {

std::u16string Widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

TEST(ReplyTable, EveryPromptGetsItsReply) {
    for (const auto& [prompt, reply] : Replies::rules) {
        const auto answer = LookUpReply(Widen(prompt));
        ASSERT_TRUE(answer.has_value()) << "\"" << prompt << "\"";
        EXPECT_TRUE(*answer == Widen(reply)) << "\"" << prompt << "\"";
    }
}

TEST(ReplyTable, NearMissesGetNoReply) {
    std::vector<std::u16string> misses{
        u"you\u2019re hot",              // a typographic apostrophe
        std::u16string(u"hi\0", 3),      // a NUL after
        u"\xD800",                       // a lone surrogate
        u"\U0001F600",                   // an emoji
        std::u16string(1'000'000, u'h'), // a very long text
    };
    for (const std::string_view miss : Replies::nearMisses)
        misses.push_back(Widen(miss));
    for (const std::u16string& miss : misses)
        EXPECT_FALSE(LookUpReply(miss).has_value()) << miss.size() << " code units";
}

} // namespace
