#include "runtime/MsgBox.h"

#include "runtime/App.h"
#include "runtime/Backend.h"
#include "runtime/RuntimeError.h"
#include "runtime/Session.h"

#include <array>
#include <optional>
#include <span>
#include <string>

namespace FormsRuntime {
namespace {

using namespace MsgBoxStyle;

constexpr std::array okOnly{OK};
constexpr std::array okCancel{OK, Cancel};
constexpr std::array abortRetryIgnore{Abort, Retry, Ignore};
constexpr std::array yesNoCancel{Yes, No, Cancel};
constexpr std::array yesNo{Yes, No};
constexpr std::array retryCancel{Retry, Cancel};

// The buttons of each button set, in the order the set names them, and the one Escape presses
// (none where the set offers no way out).
struct ButtonSet {
    std::span<const MsgBoxResult> buttons;
    std::optional<MsgBoxResult> escape;
};

constexpr std::array<ButtonSet, 6> buttonSets{{
    {okOnly, OK},
    {okCancel, Cancel},
    {abortRetryIgnore, std::nullopt},
    {yesNoCancel, Cancel},
    {yesNo, No},
    {retryCancel, Cancel},
}};

constexpr std::array icons{MsgBoxIcon::None, MsgBoxIcon::Critical, MsgBoxIcon::Question,
                           MsgBoxIcon::Exclamation, MsgBoxIcon::Information};

constexpr std::uint32_t ButtonSetMask = 0xF;
constexpr std::uint32_t IconMask = 0xF0;
constexpr std::uint32_t DefaultButtonMask = 0xF00;
constexpr std::uint32_t ModalityMask = 0x3000;
constexpr std::uint32_t OptionMask = HelpButton | SetForeground | 0x20000 /* desktop only */ |
                                     0x40000 /* topmost */ | RightAligned | RightToLeftReading;

// The request for `style` without its texts; an invalid style is a run-time error.
MessageBoxRequest Decode(std::uint32_t style) {
    const std::uint32_t set = style & ButtonSetMask;
    const std::uint32_t icon = (style & IconMask) >> 4;
    const std::uint32_t defaultButton = (style & DefaultButtonMask) >> 8;
    const std::uint32_t modality = (style & ModalityMask) >> 12;
    const std::uint32_t unknown =
        style & ~(ButtonSetMask | IconMask | DefaultButtonMask | ModalityMask | OptionMask);
    if (set >= buttonSets.size() || icon >= icons.size() || defaultButton > 3 || modality > 2 ||
        unknown != 0)
        throw RuntimeError("MsgBox", "show", "invalid style flags " + std::to_string(style));
    const ButtonSet& buttons = buttonSets[set];
    return {.buttons = buttons.buttons,
            .buttonSet = set,
            // A default beyond the set's buttons falls back to the first.
            .defaultButton = defaultButton < buttons.buttons.size() ? defaultButton : 0,
            .escape = buttons.escape,
            .icon = icons[icon],
            .helpButton = (style & HelpButton) != 0,
            .rightAligned = (style & RightAligned) != 0,
            .rightToLeft = (style & RightToLeftReading) != 0};
}

// Help files are not part of the program: the box says so instead of opening a viewer.
Text HelpText(TextView helpFile, std::int32_t context) {
    if (helpFile.empty())
        return u"No help is available for this message.";
    return u"Help is not available: the help file \"" + Text(helpFile) + u"\" (topic " +
           IntToText(context) + u") is not installed.";
}

} // namespace

Text SpokenOnOpening(TextView title, TextView prompt) {
    return Text(title) + u". " + Text(prompt);
}

int MsgBox(TextView prompt, std::uint32_t style, TextView title, TextView helpFile,
           std::int32_t helpContext) {
    MessageBoxRequest request = Decode(style);
    const Text shownTitle = title.empty() ? App.Title() : Text(title);
    const Text helpText = HelpText(helpFile, helpContext);
    detail::Trace("MsgBox", "show");

    request.prompt = prompt;
    request.title = shownTitle;
    request.helpFile = helpFile;
    request.helpContext = helpContext;
    request.helpText = helpText;
    const Text spoken = SpokenOnOpening(shownTitle, prompt);
    request.spoken = spoken;
    if (const auto answer = Platform().ShowMessageBox(request))
        return *answer;
    throw RuntimeError("MsgBox", "show", "the message box was closed without an answer");
}

} // namespace FormsRuntime
