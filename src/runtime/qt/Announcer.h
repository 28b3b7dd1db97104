#pragma once

// News for screen readers that the user's focus is not on: a reply shown in a label.

#include <QString>

class QWidget;

namespace FormsRuntime {

// Screen readers announce `text` politely, once, without moving the focus, also when it is the
// text announced last time. `about` is the widget the news concerns.
void Announce(QWidget& about, const QString& text);

} // namespace FormsRuntime
