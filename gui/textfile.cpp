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

} // namespace

bool writeTextFile(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
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
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return commitIfWritten(file);
}
