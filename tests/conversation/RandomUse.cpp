// Random use of the conversation window: a seeded stream of typing, pastes, clicks, keys,
// resizes and leave questions answered No. After every action the label shows the greeting
// or the last reply that a matching Enter brought, the text box holds exactly what was put
// in, and there is one conversation window.
//
// QUIBLY_RANDOM_ACTIONS sets the number of actions and QUIBLY_RANDOM_SEED the seed; the seed
// is printed, so that a failing run can be replayed.

#include "Driver.h"
#include "Replies.h"
#include "shell/Program.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace TestDriver;

namespace {

constexpr std::string_view W = "frmMain";

// What a keyboard types, and what only a paste brings in.
const std::string_view typed[] = {"a", "Z", "?", "'", ".", "7", "é", "ß", "😀"};
const std::string_view pasted[] = {"hi", "\n", "\r\n", std::string_view("\0", 1),
                                   "\t", "😀",  "über"};
const Key keys[] = {Key::Return, Key::Space, Key::Tab, Key::Escape, Key::F1};
const Answer noes[] = {Answer::No, Answer::Return, Answer::Escape};

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
}

TEST(ConversationWindow, RandomUse) {
    const int actions = int(FromEnvironment("QUIBLY_RANDOM_ACTIONS", 2000));
    const std::uint64_t seed = FromEnvironment("QUIBLY_RANDOM_SEED", std::random_device{}());
    std::printf("random use: %d actions, seed %llu\n", actions,
                static_cast<unsigned long long>(seed));
    Driver& d = Current();
    std::mt19937_64 random(seed);
    const auto pick = [&](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    std::string text, label{Replies::greeting};
    const auto type = [&](std::string_view characters) {
        d.Type(W, "Text1", characters);
        text += characters;
    };
    const auto entered = [&] {
        const auto rule = std::ranges::find(Replies::rules, text, &Replies::Rule::prompt);
        if (rule != Replies::rules.end())
            label = rule->reply;
    };
    const auto enter = [&] {
        d.Click(W, "Command1");
        entered();
    };
    const std::function<void()> act[] = {
        [&] { // a prompt, now and then a near miss of one, typed into an emptied box
            d.Paste(W, "Text1", "");
            text.clear();
            type(std::string(Replies::rules[pick(Replies::rules.size())].prompt) +
                 (pick(5) == 0 ? " " : ""));
            if (pick(2) == 0)
                enter();
        },
        [&] { type(typed[pick(std::size(typed))]); },
        [&] {
            text = pick(100) == 0 ? std::string(pick(1'000'001), 'x') : "";
            for (std::size_t pieces = text.empty() ? pick(6) + 1 : 0; pieces > 0; --pieces)
                text += pasted[pick(std::size(pasted))];
            d.Paste(W, "Text1", text);
        },
        enter,
        [&] { d.Click(W, "Text1"); },
        [&] { // Space in the text box types a blank; Return, and Space on the button, are Enter
            const Key key = keys[pick(std::size(keys))];
            const std::string focus = d.Focused(W);
            if (key == Key::Space && focus == "Text1")
                return type(" ");
            d.Press(W, key);
            if (key == Key::Return || (key == Key::Space && focus == "Command1"))
                entered();
        },
        [&] { d.Resize(W, 1 + int(pick(800)), 1 + int(pick(800))); },
        [&] {
            const Answer no = noes[pick(std::size(noes))];
            EXPECT_EQ(d.AnswerMessageBox(no, [&] { d.Click(W, "MenuExit"); }).prompt,
                      "Are you leaving?");
        },
    };
    // Phrases and Enter clicks come more often than the rest, so that replies happen.
    std::discrete_distribution<std::size_t> next{3, 1, 1, 2, 1, 2, 1, 1};
    const int status = d.Run(QuiblyProgram, [&] {
        for (int action = 0; action < actions; ++action) {
            act[next(random)]();
            ASSERT_EQ(d.Text(W, "Label1"), label) << "after action " << action;
            ASSERT_EQ(d.Text(W, "Text1"), text) << "after action " << action;
            ASSERT_EQ(d.CountShown(W), 1) << "after action " << action;
        }
        EXPECT_FALSE(d.Close(W));
    });
    EXPECT_EQ(status, 0);
}

} // namespace
