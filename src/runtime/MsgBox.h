#pragma once

#include "runtime/Text.h"

#include <cstdint>

namespace FormsRuntime {

// Style flags of the message box: one button set, one icon, one default button, and options.
namespace MsgBoxStyle {
inline constexpr std::uint32_t OKOnly = 0;
inline constexpr std::uint32_t OKCancel = 1;
inline constexpr std::uint32_t AbortRetryIgnore = 2;
inline constexpr std::uint32_t YesNoCancel = 3;
inline constexpr std::uint32_t YesNo = 4;
inline constexpr std::uint32_t RetryCancel = 5;
inline constexpr std::uint32_t Critical = 16;
inline constexpr std::uint32_t Question = 32;
inline constexpr std::uint32_t Exclamation = 48;
inline constexpr std::uint32_t Information = 64;
inline constexpr std::uint32_t DefaultButton1 = 0;
inline constexpr std::uint32_t DefaultButton2 = 256;
inline constexpr std::uint32_t DefaultButton3 = 512;
inline constexpr std::uint32_t DefaultButton4 = 768;
inline constexpr std::uint32_t ApplicationModal = 0;
inline constexpr std::uint32_t SystemModal = 4096;
inline constexpr std::uint32_t HelpButton = 16384;
inline constexpr std::uint32_t SetForeground = 65536;
inline constexpr std::uint32_t RightAligned = 524288;
inline constexpr std::uint32_t RightToLeftReading = 1048576;
} // namespace MsgBoxStyle

// The button the user pressed: the integer codes the program compares with.
// NOLINTNEXTLINE(performance-enum-size)
enum MsgBoxResult : int { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Shows a modal message box and returns the code of the button pressed. An empty title shows
// App.Title. The help file and context name the topic offered on F1.
int MsgBox(TextView prompt, std::uint32_t style = MsgBoxStyle::OKOnly, TextView title = {},
           TextView helpFile = {}, std::int32_t helpContext = 0);

} // namespace FormsRuntime
