#include "gui/gui.h"

#include <QSaveFile>
#include <QTextStream>

bool writeTextFile(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;

    QTextStream out(&file);
    out << text;
    // commit() can report success after a buffered write failed, so the
    // stream and the device are asked first.
    out.flush();
    if (out.status() != QTextStream::Ok || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
