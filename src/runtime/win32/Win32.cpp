#include "runtime/win32/Win32.h"

#include "runtime/RuntimeError.h"

namespace FormsRuntime::win32 {

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::wstring LiteralCaption(TextView caption) {
    std::wstring literal;
    for (const char16_t unit : caption) {
        if (unit == u'&')
            literal.push_back(L'&');
        literal.push_back(static_cast<wchar_t>(unit));
    }
    return literal;
}

COLORREF ToColorRef(const SettledColor& color) {
    return color.system ? GetSysColor(color.number) : RGB(color.red, color.green, color.blue);
}

std::string LastErrorText() {
    const DWORD error = GetLastError();
    char* message = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&message), 0, nullptr);
    std::string text = "system error " + std::to_string(error);
    if (length > 0) {
        std::string_view sentence(message, length);
        while (!sentence.empty() && (sentence.back() == '\n' || sentence.back() == '\r'))
            sentence.remove_suffix(1);
        text += " (" + std::string(sentence) + ")";
    }
    LocalFree(message);
    return text;
}

void ThrowLastError(std::string object, std::string operation) {
    throw RuntimeError(std::move(object), std::move(operation), LastErrorText());
}

} // namespace FormsRuntime::win32
