// What the web backend tells its page must reach it exactly: every code unit of a program's
// text, whatever it is. That the JSON around the texts is well formed, the web scenarios prove:
// the page reads every window's description from it.

#include "runtime/web/JsonWriter.h"

#include <gtest/gtest.h>

using FormsRuntime::web::JsonWriter;

namespace {

TEST(JsonWriter, TextsLeaveAsEscapesOutsidePrintableAscii) {
    const struct {
        std::u16string text;
        const char* json;
    } cases[] = {
        {u"", R"("")"},
        {u"how are you?", R"("how are you?")"},
        {u"say \"hi\" \\ bye", R"("say \u0022hi\u0022 \u005c bye")"},
        {std::u16string(u"a\0b", 3), R"("a\u0000b")"},
        {u"line\nbreak\ttab\x7f", R"("line\u000abreak\u0009tab\u007f")"},
        {u"caf\u00e9 \u2019", R"("caf\u00e9 \u2019")"},
        {u"\U0001F600", R"("\ud83d\ude00")"},          // a pair, unit by unit
        {std::u16string(1, u'\xdc00'), R"("\udc00")"}, // a lone surrogate, as it is
    };
    for (const auto& [text, json] : cases) {
        JsonWriter writer;
        writer.Value(text);
        EXPECT_EQ(writer.Json(), json);
    }
}

} // namespace
