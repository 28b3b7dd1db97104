#include "conversation/ReplyTable.h"

std::optional<FormsRuntime::TextView> LookUpReply(FormsRuntime::TextView input) {
    for (const ReplyRule& rule : ReplyTable)
        if (FormsRuntime::TextEquals(rule.prompt, input))
            return rule.reply;
    return std::nullopt;
}
