#pragma once

// The application's style, except that the icon of a bar's extension button, which shows only
// when the bar has more than it can fit, is read from its files when first drawn or measured.
// Qt asks for it as every menu bar is built, and the first icon read from a file has every
// image format plugin on the system loaded to find its reader: two milliseconds before the
// conversation window can appear, for an icon a window whose menus fit never shows.

#include <QProxyStyle>

namespace FormsRuntime {

class DeferredIconStyle final : public QProxyStyle {
public:
    // Takes `base`, which keeps drawing everything else.
    explicit DeferredIconStyle(QStyle* base);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override;
};

} // namespace FormsRuntime
