#pragma once

// What the C++ side tells the page is written as JSON: a window's description, a box's request.
// Program texts are UTF-16 and may hold any code unit; each leaves as a \u escape outside ASCII,
// so that the page reads back exactly the code units the program gave.

#include "runtime/Text.h"

#include <string>
#include <string_view>
#include <vector>

namespace FormsRuntime::web {

class JsonWriter {
public:
    JsonWriter& BeginObject() { return Open('{'); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray() { return Open('['); }
    JsonWriter& EndArray() { return Close(']'); }
    JsonWriter& Key(std::string_view key);
    JsonWriter& Value(std::string_view ascii);
    JsonWriter& Value(const char* ascii) { return Value(std::string_view(ascii)); }
    JsonWriter& Value(TextView text);
    JsonWriter& Value(int number);
    JsonWriter& Value(bool truth) { return Literal(truth ? "true" : "false"); }
    JsonWriter& Null() { return Literal("null"); }

    const std::string& Json() const noexcept { return out_; }

private:
    void BeforeValue();
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);
    // A number, true, false or null, written as it is.
    JsonWriter& Literal(std::string_view literal);

    std::string out_;
    std::vector<bool> empty_; // per open object or array: nothing written into it yet
    bool afterKey_ = false;
};

} // namespace FormsRuntime::web
