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

class RandomUser {
public:
    RandomUser(Driver& driver, std::uint64_t seed) : d_(driver), random_(seed) {}

    void Act() {
        // Phrases and Enter clicks come more often than the rest, so that replies happen.
        const std::function<void()> actions[] = {
            [&] { Phrase(); },
            [&] { Phrase(); },
            [&] { Phrase(); },
            [&] { Type(typed[Pick(std::size(typed))]); },
            [&] { Paste(); },
            [&] { ClickEnter(); },
            [&] { ClickEnter(); },
            [&] { d_.Click(W, "Text1"); },
            [&] { Key(Pick(2) == 0 ? Key::Return : Key::Space); },
            [&] {
                Key(std::array{Key::Tab, Key::Escape, Key::F1}[Pick(3)]);
            },
            [&] { d_.Resize(W, 1 + Pick(800), 1 + Pick(800)); },
            [&] { LeaveAnsweredNo(); },
        };
        actions[Pick(std::size(actions))]();
    }

    void Check(int action) {
        ASSERT_EQ(d_.Text(W, "Label1"), label_) << "after action " << action;
        ASSERT_EQ(d_.Text(W, "Text1"), text_) << "after action " << action;
        ASSERT_EQ(d_.CountShown(W), 1) << "after action " << action;
    }

private:
    int Pick(std::size_t count) {
        return std::uniform_int_distribution<int>(0, int(count) - 1)(random_);
    }

    // A prompt, now and then a near miss of one, so that replies happen.
    void Phrase() {
        std::string phrase(Replies::rules[std::size_t(Pick(Replies::rules.size()))].prompt);
        if (Pick(5) == 0)
            phrase += " ";
        d_.Paste(W, "Text1", "");
        text_.clear();
        Type(phrase);
        if (Pick(2) == 0)
            ClickEnter();
    }

    void Type(std::string_view characters) {
        d_.Type(W, "Text1", characters);
        text_ += characters;
    }

    void Paste() {
        std::string clip;
        if (Pick(100) == 0)
            clip.assign(std::size_t(Pick(1'000'001)), 'x');
        else
            for (int pieces = Pick(6) + 1; pieces > 0; --pieces)
                clip += pasted[Pick(std::size(pasted))];
        d_.Paste(W, "Text1", clip);
        text_ = clip;
    }

    void ClickEnter() {
        d_.Click(W, "Command1");
        Entered();
    }

    void Key(TestDriver::Key key) {
        const std::string focus = d_.Focused(W);
        if (key == Key::Space && focus == "Text1")
            return Type(" ");
        d_.Press(W, key);
        if (key == Key::Return || (key == Key::Space && focus == "Command1"))
            Entered();
    }

    void LeaveAnsweredNo() {
        const Answer no = std::array{Answer::No, Answer::Return, Answer::Escape}[Pick(3)];
        const MessageBoxSeen box = d_.AnswerMessageBox(no, [&] { d_.Click(W, "MenuExit"); });
        EXPECT_EQ(box.prompt, "Are you leaving?");
    }

    void Entered() {
        if (const auto reply = Replies::ReplyTo(text_))
            label_ = *reply;
    }

    Driver& d_;
    std::mt19937_64 random_;
    std::string text_;
    std::string label_{Replies::greeting};
};

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
    RandomUser user(d, seed);
    const int status = d.Run(QuiblyProgram, [&] {
        for (int action = 0; action < actions && !testing::Test::HasFatalFailure(); ++action) {
            user.Act();
            user.Check(action);
        }
        EXPECT_FALSE(d.Close(W));
    });
    EXPECT_EQ(status, 0);
}

} // namespace
