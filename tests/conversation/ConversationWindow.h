#pragma once

// The shown conversation window and its controls, as the window tests reach them.

#include "Scenario.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

inline const QString greeting = "Hello, I'm Quibly beta 2.3. It is nice to meet you.";

struct ConversationWindow {
    QWidget& window = *TestSupport::TopLevel("frmMain");
    QWidget& client = *window.findChild<QWidget*>("ClientArea");
    QLineEdit& text = *window.findChild<QLineEdit*>("Text1");
    QPushButton& enter = *window.findChild<QPushButton*>("Command1");
    QLabel& label = *window.findChild<QLabel*>("Label1");
    QAction& exit = *window.findChild<QAction*>("MenuExit");

    void Say(const QString& phrase) {
        text.setText(phrase);
        QTest::mouseClick(&enter, Qt::LeftButton);
    }
    void Activate() {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
};
