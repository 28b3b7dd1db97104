#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// One resource of a compiled 32-bit resource file (.res).
struct Resource {
    QString type; // "#<number>" for a numeric id, the name itself otherwise
    QString name; // likewise
    quint16 language = 0;
    QByteArray data;
};

// Reads every resource of the .res file at `path`, without the empty entry that opens the file.
// Throws std::runtime_error naming the file and the fault.
std::vector<Resource> readResourceFile(const QString& path);
