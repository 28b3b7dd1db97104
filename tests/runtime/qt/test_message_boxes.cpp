// Escape and the close box answer a message box as the runtime settled it: with the set's own
// Escape answer, or not at all where the set has none (Abort, Retry, Ignore), as on the other
// editions; Qt would otherwise pick one of the buttons itself.

#include "runtime/qt/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>
#include <array>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace FormsRuntime;

constexpr std::array abortRetryIgnore{Abort, Retry, Ignore};
constexpr std::array yesNo{Yes, No};

// Shows the box, then acts on it once it is up; if it is still open after that, clicks Retry
// (or its last button), which tells that the action did not answer it.
std::optional<MsgBoxResult> AnswerAfter(const MessageBoxRequest& request,
                                        const std::function<void(QMessageBox&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "no box came up";
        act(*box);
        QTimer::singleShot(50, box, [box] {
            const QList<QAbstractButton*> buttons = box->buttons();
            QAbstractButton* retry = box->button(QMessageBox::Retry);
            (retry != nullptr ? retry : buttons.back())->click();
        });
    });
    return ShowQtMessageBox(request);
}

TEST(MessageBoxes, EscapeAndTheCloseBoxAnswerOnlyWhereTheSetHasAnEscapeAnswer) {
    const MessageBoxRequest askAgain{.prompt = u"Again?",
                                     .title = u"Quibly",
                                     .buttons = abortRetryIgnore,
                                     .buttonSet = MsgBoxStyle::AbortRetryIgnore};
    MessageBoxRequest leave{.prompt = u"Are you leaving?",
                            .title = u"Quibly",
                            .buttons = yesNo,
                            .buttonSet = MsgBoxStyle::YesNo,
                            .defaultButton = 1,
                            .escape = No};
    const std::function<void(QMessageBox&)> escape = [](QMessageBox& box) {
        QTest::keyClick(&box, Qt::Key_Escape);
    };
    const std::function<void(QMessageBox&)> close = [](QMessageBox& box) { box.close(); };
    EXPECT_EQ(AnswerAfter(askAgain, escape), Retry) << "Escape answered Abort, Retry, Ignore";
    EXPECT_EQ(AnswerAfter(askAgain, close), Retry) << "the close box answered Abort, Retry, Ignore";
    EXPECT_EQ(AnswerAfter(leave, escape), No);
    leave.defaultButton = 0;
    EXPECT_EQ(AnswerAfter(leave, close), No);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
