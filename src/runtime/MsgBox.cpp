#include "runtime/MsgBox.h"

#include "runtime/App.h"
#include "runtime/RuntimeError.h"
#include "runtime/Session.h"
#include "runtime/qt/Convert.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <array>
#include <span>
#include <vector>

namespace FormsRuntime {
namespace {

using namespace MsgBoxStyle;

struct ButtonSpec {
    QMessageBox::StandardButton standard;
    MsgBoxResult result;
};

constexpr std::array<ButtonSpec, 1> okOnly{{{QMessageBox::Ok, OK}}};
constexpr std::array<ButtonSpec, 2> okCancel{
    {{QMessageBox::Ok, OK}, {QMessageBox::Cancel, Cancel}}};
constexpr std::array<ButtonSpec, 3> abortRetryIgnore{
    {{QMessageBox::Abort, Abort}, {QMessageBox::Retry, Retry}, {QMessageBox::Ignore, Ignore}}};
constexpr std::array<ButtonSpec, 3> yesNoCancel{
    {{QMessageBox::Yes, Yes}, {QMessageBox::No, No}, {QMessageBox::Cancel, Cancel}}};
constexpr std::array<ButtonSpec, 2> yesNo{{{QMessageBox::Yes, Yes}, {QMessageBox::No, No}}};
constexpr std::array<ButtonSpec, 2> retryCancel{
    {{QMessageBox::Retry, Retry}, {QMessageBox::Cancel, Cancel}}};

// The buttons of each button set, in the order the set names them, with the result each
// returns and the one Escape presses (none where the set offers no way out).
struct ButtonSet {
    std::span<const ButtonSpec> buttons;
    QMessageBox::StandardButton escape;
};

constexpr std::array<ButtonSet, 6> buttonSets{{
    {okOnly, QMessageBox::Ok},
    {okCancel, QMessageBox::Cancel},
    {abortRetryIgnore, QMessageBox::NoButton},
    {yesNoCancel, QMessageBox::Cancel},
    {yesNo, QMessageBox::No},
    {retryCancel, QMessageBox::Cancel},
}};

constexpr std::array<QMessageBox::Icon, 5> icons{QMessageBox::NoIcon, QMessageBox::Critical,
                                                 QMessageBox::Question, QMessageBox::Warning,
                                                 QMessageBox::Information};

constexpr std::uint32_t ButtonSetMask = 0xF;
constexpr std::uint32_t IconMask = 0xF0;
constexpr std::uint32_t DefaultButtonMask = 0xF00;
constexpr std::uint32_t ModalityMask = 0x3000;
constexpr std::uint32_t OptionMask = HelpButton | SetForeground | 0x20000 /* desktop only */ |
                                     0x40000 /* topmost */ | RightAligned | RightToLeftReading;

struct DecodedStyle {
    const ButtonSet* buttonSet;
    QMessageBox::Icon icon;
    std::size_t defaultButton;
    bool helpButton;
    bool rightAligned;
    bool rightToLeft;
};

DecodedStyle Decode(std::uint32_t style) {
    const std::uint32_t set = style & ButtonSetMask;
    const std::uint32_t icon = (style & IconMask) >> 4;
    const std::uint32_t defaultButton = (style & DefaultButtonMask) >> 8;
    const std::uint32_t modality = (style & ModalityMask) >> 12;
    const std::uint32_t unknown =
        style & ~(ButtonSetMask | IconMask | DefaultButtonMask | ModalityMask | OptionMask);
    if (set >= buttonSets.size() || icon >= icons.size() || defaultButton > 3 || modality > 2 ||
        unknown != 0)
        throw RuntimeError("MsgBox", "show", "invalid style flags " + std::to_string(style));
    return {&buttonSets[set],
            icons[icon],
            defaultButton,
            (style & HelpButton) != 0,
            (style & RightAligned) != 0,
            (style & RightToLeftReading) != 0};
}

// Help files are not part of the program: say so instead of opening a viewer.
void OfferHelp(QMessageBox& box, const QString& title, const QString& helpFile, int context) {
    const QString text =
        helpFile.isEmpty()
            ? QStringLiteral("No help is available for this message.")
            : QStringLiteral("Help is not available: the help file \"%1\" (topic %2) is not "
                             "installed.")
                  .arg(helpFile)
                  .arg(context);
    QMessageBox::information(&box, title, text);
}

} // namespace

int MsgBox(TextView prompt, std::uint32_t style, TextView title, TextView helpFile,
           std::int32_t helpContext) {
    const DecodedStyle decoded = Decode(style);
    const QString shownTitle = ToQString(title.empty() ? TextView(App.Title()) : title);
    detail::Trace("MsgBox", "show");

    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setWindowTitle(shownTitle);
    box.setText(ToQString(prompt));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(decoded.icon);
    box.setWindowModality(Qt::ApplicationModal);
    if (decoded.rightToLeft)
        box.setLayoutDirection(Qt::RightToLeft);
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        label != nullptr && decoded.rightAligned)
        label->setAlignment(Qt::AlignRight);
    box.setProperty("helpFile", ToQString(helpFile));
    box.setProperty("helpContext", helpContext);

    std::vector<std::pair<QAbstractButton*, MsgBoxResult>> results;
    for (const ButtonSpec& spec : decoded.buttonSet->buttons)
        results.emplace_back(box.addButton(spec.standard), spec.result);
    box.setEscapeButton(decoded.buttonSet->escape == QMessageBox::NoButton
                            ? nullptr
                            : box.button(decoded.buttonSet->escape));
    const std::size_t defaultIndex =
        decoded.defaultButton < results.size() ? decoded.defaultButton : 0;
    box.setDefaultButton(static_cast<QPushButton*>(results[defaultIndex].first));

    const QString help = ToQString(helpFile);
    const auto offerHelp = [&] { OfferHelp(box, shownTitle, help, helpContext); };
    QShortcut f1(QKeySequence::HelpContents, &box);
    QObject::connect(&f1, &QShortcut::activated, &box, offerHelp);
    if (decoded.helpButton) {
        // A help button offers help and leaves the question open.
        auto* button = box.addButton(QMessageBox::Help);
        button->disconnect();
        QObject::connect(button, &QAbstractButton::clicked, &box, offerHelp);
    }

    box.exec();
    for (const auto& [button, result] : results)
        if (box.clickedButton() == button)
            return result;
    throw RuntimeError("MsgBox", "show", "the message box was closed without an answer");
}

} // namespace FormsRuntime
