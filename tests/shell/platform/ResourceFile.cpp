#include "ResourceFile.h"

#include "LittleEndian.h"

#include <QFile>
#include <algorithm>
#include <stdexcept>

using quibly::platform::dwordAt;
using quibly::platform::wordAt;

namespace {

constexpr quint16 numericIdMarker = 0xFFFF;
constexpr qsizetype headerTailSize = 16; // data version, flags, language, version, characteristics

class Reader {
public:
    Reader(QString path, QByteArray data) : path_(std::move(path)), data_(std::move(data)) {}

    bool atEnd() const { return offset_ >= data_.size(); }

    Resource next() {
        const qsizetype start = offset_;
        const quint32 dataSize = dword();
        const quint32 headerSize = dword();
        Resource resource;
        resource.type = id();
        resource.name = id();
        alignToDword();
        need(headerTailSize);
        resource.language = wordAt(data_, offset_ + 6);
        offset_ += headerTailSize;
        if (offset_ - start != headerSize)
            fail(QStringLiteral("resource at offset %1 declares a header of %2 bytes but has %3")
                     .arg(start)
                     .arg(headerSize)
                     .arg(offset_ - start));
        need(dataSize);
        resource.data = data_.mid(offset_, dataSize);
        offset_ += dataSize;
        alignToDword();
        return resource;
    }

    [[noreturn]] void fail(const QString& fault) const {
        throw std::runtime_error(
            QStringLiteral("reading resource file %1: %2").arg(path_, fault).toStdString());
    }

private:
    void need(qsizetype bytes) const {
        if (bytes > data_.size() - offset_)
            fail(QStringLiteral("cut short at offset %1").arg(offset_));
    }

    quint16 word() {
        need(2);
        const quint16 value = wordAt(data_, offset_);
        offset_ += 2;
        return value;
    }

    quint32 dword() {
        need(4);
        const quint32 value = dwordAt(data_, offset_);
        offset_ += 4;
        return value;
    }

    // A type or name: 0xFFFF and a number, or a zero-terminated UTF-16 name.
    QString id() {
        if (word() == numericIdMarker)
            return QStringLiteral("#%1").arg(word());
        offset_ -= 2;
        QString name;
        for (quint16 unit = word(); unit != 0; unit = word())
            name.append(QChar(unit));
        return name;
    }

    void alignToDword() { offset_ = std::min((offset_ + 3) & ~qsizetype{3}, data_.size()); }

    QString path_;
    QByteArray data_;
    qsizetype offset_ = 0;
};

} // namespace

std::vector<Resource> readResourceFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("reading resource file %1: %2")
                                     .arg(path, file.errorString())
                                     .toStdString());
    Reader reader(path, file.readAll());

    // A 32-bit resource file opens with an empty resource of type and name 0.
    if (reader.atEnd())
        reader.fail(QStringLiteral("the file is empty"));
    const Resource opening = reader.next();
    if (opening.type != QLatin1String("#0") || opening.name != QLatin1String("#0") ||
        !opening.data.isEmpty())
        reader.fail(QStringLiteral("not a 32-bit resource file"));

    std::vector<Resource> resources;
    while (!reader.atEnd())
        resources.push_back(reader.next());
    return resources;
}
