#pragma once

// What every file of the Win32 backend shares: the system headers, text in the system's
// UTF-16, colours as the window system paints them, owned GDI objects and errors that name the
// failing call.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "runtime/SettledWindow.h"
#include "runtime/Text.h"

#include <memory>
#include <objbase.h>
#include <string>
#include <string_view>
#include <type_traits>
#include <windows.h>

namespace FormsRuntime::win32 {

// Texts are UTF-16 code units, as the system's wide-character functions take them.
inline const wchar_t* Wide(TextView text) {
    return reinterpret_cast<const wchar_t*>(text.data());
}
inline std::wstring WideString(TextView text) {
    return {Wide(text), text.size()};
}
std::wstring WideFromUtf8(std::string_view text);

// Captions carry no access-key markers: an ampersand is shown as itself.
std::wstring LiteralCaption(TextView caption);

// A fixed colour as it is, a window-system colour as the system's current scheme paints it.
COLORREF ToColorRef(const SettledColor& color);

// The last system error as a sentence, for the reason of a run-time error.
std::string LastErrorText();
// A RuntimeError naming the object and the operation, with the last system error as reason.
[[noreturn]] void ThrowLastError(std::string object, std::string operation);

// A handle that `Destroy` frees as it goes.
template <class Handle, auto Destroy> struct HandleFreer {
    void operator()(Handle handle) const { Destroy(handle); }
};
template <class Handle, auto Destroy>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, HandleFreer<Handle, Destroy>>;
template <class Handle> using GdiObject = Owned<Handle, &DeleteObject>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;
using Icon = Owned<HICON, &DestroyIcon>;

// Left, centred or right: the same flags for DrawText as for an EDIT's style.
inline UINT AlignmentFlags(Alignment alignment) {
    static_assert(DT_LEFT == ES_LEFT && DT_CENTER == ES_CENTER && DT_RIGHT == ES_RIGHT);
    return alignment == Alignment::Right    ? DT_RIGHT
           : alignment == Alignment::Center ? DT_CENTER
                                            : DT_LEFT;
}

inline RECT BoxAt(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

// Device pixels at `dpi` for a length in 96-dpi pixels.
inline int Scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), 96);
}

} // namespace FormsRuntime::win32
