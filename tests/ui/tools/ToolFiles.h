#pragma once

#include "support/TempDir.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace telvora::test {

// A file of the test's directory with these bytes; its path.
inline QString writeToolFile(const TempDir& temp, const char* name, const QByteArray& bytes)
{
    const QString path = QString::fromStdString(temp.file(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
    return path;
}

inline QByteArray readToolFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace telvora::test
