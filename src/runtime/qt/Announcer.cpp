#include "runtime/qt/Announcer.h"

#include <QAccessible>
#include <QWidget>

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
#include <QAccessibleObject>
#endif

namespace FormsRuntime {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)

namespace {

// Qt before 6.8 cannot announce, and Orca speaks a name change only for the focused object.
// What it does speak is a notification that comes into view. This one belongs to the window,
// is never on the screen, holds no focus and is no child screen readers can move to; it
// carries the news as its name and is raised as shown for each announcement.
class Notification final : public QObject {
public:
    explicit Notification(QWidget& window) : QObject(&window) { setObjectName(Name()); }
    static QString Name() { return QStringLiteral("Announcement"); }
    QString news;
};

class NotificationInterface final : public QAccessibleObject {
public:
    explicit NotificationInterface(Notification& notification) : QAccessibleObject(&notification) {}
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text part) const override {
        return part == QAccessible::Name ? static_cast<Notification*>(object())->news : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
};

QAccessibleInterface* NotificationRole(const QString&, QObject* object) {
    if (auto* notification = dynamic_cast<Notification*>(object))
        return new NotificationInterface(*notification);
    return nullptr;
}

} // namespace

void Announce(QWidget& about, const QString& text) {
    static const bool roleKnown = (QAccessible::installFactory(NotificationRole), true);
    (void)roleKnown;
    QWidget& window = *about.window();
    auto* notification = dynamic_cast<Notification*>(
        window.findChild<QObject*>(Notification::Name(), Qt::FindDirectChildrenOnly));
    if (notification == nullptr)
        notification = new Notification(window);
    notification->news = text;
    QAccessibleEvent shown(notification, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

#else

void Announce(QWidget& about, const QString& text) {
    QAccessibleAnnouncementEvent announcement(&about, text);
    announcement.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&announcement);
}

#endif

} // namespace FormsRuntime
