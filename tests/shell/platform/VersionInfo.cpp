#include "VersionInfo.h"

#include "LittleEndian.h"

#include <stdexcept>

using quibly::platform::wordAt;

namespace {

constexpr qsizetype nodeHeaderSize = 6; // length, value length, value type

qsizetype alignedToDword(qsizetype offset) {
    return (offset + 3) & ~qsizetype{3};
}

[[noreturn]] void fail(const QString& fault) {
    throw std::runtime_error(QStringLiteral("reading version block: %1").arg(fault).toStdString());
}

// Reads the node at `start`; offsets count from the start of the block, which is where the
// format's DWORD alignment is measured from.
VersionNode readNode(const QByteArray& data, qsizetype start) {
    if (data.size() - start < nodeHeaderSize)
        fail(QStringLiteral("node at offset %1 is cut short").arg(start));
    const qsizetype end = start + wordAt(data, start);
    const quint16 valueLength = wordAt(data, start + 2);
    VersionNode node;
    node.valueType = static_cast<VersionNode::ValueType>(wordAt(data, start + 4));
    if (end > data.size() || end < start + nodeHeaderSize)
        fail(QStringLiteral("node at offset %1 has a bad length").arg(start));
    if (node.valueType != VersionNode::ValueType::Binary &&
        node.valueType != VersionNode::ValueType::Text)
        fail(QStringLiteral("node at offset %1 has value type %2")
                 .arg(start)
                 .arg(wordAt(data, start + 4)));

    qsizetype offset = start + nodeHeaderSize;
    for (;; offset += 2) {
        if (offset + 2 > end)
            fail(QStringLiteral("key of node at offset %1 is not terminated").arg(start));
        const quint16 unit = wordAt(data, offset);
        if (unit == 0)
            break;
        node.key.append(QChar(unit));
    }
    offset = alignedToDword(offset + 2);

    // A text value's length counts UTF-16 units, a binary value's counts bytes.
    const qsizetype valueBytes =
        node.valueType == VersionNode::ValueType::Text ? 2 * valueLength : valueLength;
    if (offset + valueBytes > end)
        fail(QStringLiteral("value of node \"%1\" runs past the node").arg(node.key));
    node.value = data.mid(offset, valueBytes);
    offset = alignedToDword(offset + valueBytes);

    while (offset < end) {
        node.children.push_back(readNode(data, offset));
        const qsizetype childEnd = offset + wordAt(data, offset);
        if (childEnd > end)
            fail(QStringLiteral("child \"%1\" runs past node \"%2\"")
                     .arg(node.children.back().key, node.key));
        offset = alignedToDword(childEnd);
    }
    return node;
}

} // namespace

QString VersionNode::text() const {
    QString characters;
    for (qsizetype offset = 0; offset + 1 < value.size(); offset += 2)
        characters.append(QChar(wordAt(value, offset)));
    return characters;
}

VersionNode readVersionBlock(const QByteArray& data) {
    const VersionNode root = readNode(data, 0);
    if (wordAt(data, 0) != data.size())
        fail(QStringLiteral("the block's length %1 differs from the resource's size %2")
                 .arg(wordAt(data, 0))
                 .arg(data.size()));
    return root;
}
