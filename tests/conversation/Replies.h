#pragma once

// The bot's sixteen prompts and replies, in order, as the tests expect them.

#include <array>
#include <string_view>

namespace Replies {

struct Rule {
    std::string_view prompt;
    std::string_view reply;
};

inline constexpr std::array<Rule, 16> rules{{
    {"it's nice to meet you too", "great"},
    {"hi", "hello"},
    {"how are you?", "fine"},
    {"you're hot", "Thank you"},
    {"you're beautiful", "(smiles)"},
    {"I love you", "I'm flattered"},
    {"what are you wearing?", "something very tight"},
    {"", "how may I assist you?"},
    {"what are you doing right now", "nothing much"},
    {"do you have a boyfriend?", "Have an Ex"},
    {"did you dump him?", "yip"},
    {"did he dump you?", "nope, dumped him"},
    {"why did you dump him?", "he was getting too physical"},
    {"where do you live?", "in your computer duh"},
    {"hello", "hi"},
    {"hey", "hi"},
}};

// Texts that come close to a prompt and match none: case, blanks, punctuation, a line break, a
// reply typed back, a typographic apostrophe, an emoji.
// clang-format off
inline constexpr std::array<std::string_view, 13> nearMisses{
    "Hi", " hi", "hi ", "hi.", "HELLO", "how are you", "what are you doing right now?", "fine",
    "Thank you", "hi\n", " ", "you\xE2\x80\x99re hot", "hi\xF0\x9F\x98\x80"};
// clang-format on

inline constexpr std::string_view greeting = "Hello, I'm Quibly beta 2.3. It is nice to meet you.";

} // namespace Replies
