#pragma once

#include <QByteArray>
#include <QtEndian>

namespace quibly::platform {

// Little-endian fields of Windows file formats, read from a buffer the caller has bounds-checked.

inline quint16 wordAt(const QByteArray& data, qsizetype offset) {
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

inline quint32 dwordAt(const QByteArray& data, qsizetype offset) {
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

} // namespace quibly::platform
