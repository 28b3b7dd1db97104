#include "runtime/web/JsonWriter.h"

namespace FormsRuntime::web {
namespace {

void AppendEscaped(std::string& out, char16_t unit) {
    static constexpr char hex[] = "0123456789abcdef";
    if (unit >= 0x20 && unit < 0x7F && unit != u'"' && unit != u'\\') {
        out.push_back(static_cast<char>(unit));
        return;
    }
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(hex[(unit >> shift) & 0xF]);
}

} // namespace

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!empty_.empty()) {
        if (!empty_.back())
            out_.push_back(',');
        empty_.back() = false;
    }
}

JsonWriter& JsonWriter::Open(char bracket) {
    BeforeValue();
    out_.push_back(bracket);
    empty_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
    out_.push_back(bracket);
    empty_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    Value(key);
    out_.push_back(':');
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::Value(std::string_view ascii) {
    BeforeValue();
    out_.push_back('"');
    for (const char c : ascii)
        AppendEscaped(out_, static_cast<char16_t>(static_cast<unsigned char>(c)));
    out_.push_back('"');
    return *this;
}

JsonWriter& JsonWriter::Value(TextView text) {
    BeforeValue();
    out_.push_back('"');
    for (const char16_t unit : text)
        AppendEscaped(out_, unit);
    out_.push_back('"');
    return *this;
}

JsonWriter& JsonWriter::Value(int number) {
    return Literal(std::to_string(number));
}

JsonWriter& JsonWriter::Literal(std::string_view literal) {
    BeforeValue();
    out_ += literal;
    return *this;
}

} // namespace FormsRuntime::web
