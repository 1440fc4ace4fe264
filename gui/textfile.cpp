#include "gui/gui.h"

#include <QSaveFile>
#include <QTextStream>

namespace {

bool commitIfWritten(QSaveFile &file)
{
    // commit() can report success after a buffered write failed, so the
    // device is asked first.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// A folder that refuses new files (a game installed by another account)
// leaves no room for the temporary file; the file is then written in place,
// as a plain write would. Qt does that only on Unix when permission was
// refused, and on Windows for a path naming an NTFS stream, which no lobby
// name can; every other write stays all or nothing.
bool openForWriting(QSaveFile &file, QIODevice::OpenMode mode)
{
    file.setDirectWriteFallback(true);
    return file.open(mode);
}

} // namespace

bool writeTextFile(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!openForWriting(file, QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << text;
    out.flush();
    if (out.status() != QTextStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return commitIfWritten(file);
}

bool replaceFileWith(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!openForWriting(file, QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return commitIfWritten(file);
}
