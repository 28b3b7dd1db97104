#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// One node of a Windows version block (VS_VERSIONINFO): a key, a binary or text value, and
// child nodes.
struct VersionNode {
    enum class ValueType : quint16 { Binary = 0, Text = 1 };

    QString key;
    ValueType valueType = ValueType::Binary;
    QByteArray value; // raw bytes; a text value is UTF-16 including its terminating zero
    std::vector<VersionNode> children;

    // A text value as the characters it holds, terminating zero included.
    QString text() const;
};

// Reads the version block that is the whole of `data` (an RT_VERSION resource).
// Throws std::runtime_error naming the fault and where it lies.
VersionNode readVersionBlock(const QByteArray& data);
