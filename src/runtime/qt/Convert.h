#pragma once

#include "runtime/Text.h"

#include <QString>

namespace FormsRuntime {

inline QString ToQString(TextView text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

inline QString ToQString(std::string_view latin1) {
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

// Captions are shown as written: "&" marks no access key.
inline QString LiteralCaption(TextView caption) {
    return ToQString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace FormsRuntime
