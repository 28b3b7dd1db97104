#pragma once

#include "runtime/Text.h"

#include <array>
#include <optional>

// The bot's whole knowledge: a fixed, ordered table of prompts and the replies they get.

struct ReplyRule {
    FormsRuntime::TextView prompt;
    FormsRuntime::TextView reply;
};

// Every prompt differs from every other, so at most one rule matches a given input.
inline constexpr std::array<ReplyRule, 16> ReplyTable{{
    {u"it's nice to meet you too", u"great"},
    {u"hi", u"hello"},
    {u"how are you?", u"fine"},
    {u"you're hot", u"Thank you"},
    {u"you're beautiful", u"(smiles)"},
    {u"I love you", u"I'm flattered"},
    {u"what are you wearing?", u"something very tight"},
    {u"", u"how may I assist you?"},
    {u"what are you doing right now", u"nothing much"},
    {u"do you have a boyfriend?", u"Have an Ex"},
    {u"did you dump him?", u"yip"},
    {u"did he dump you?", u"nope, dumped him"},
    {u"why did you dump him?", u"he was getting too physical"},
    {u"where do you live?", u"in your computer duh"},
    {u"hello", u"hi"},
    {u"hey", u"hi"},
}};

// The reply of the rule whose prompt equals the input exactly, code unit by code unit: no
// trimming, no change of letter case. No match, no reply.
std::optional<FormsRuntime::TextView> LookUpReply(FormsRuntime::TextView input);
