#include "core/core.h"

#include <QFileInfo>
#include <QSaveFile>

std::function<void(const QString &path)> beforeReplacingFile;

QByteArray textFileBytes(const QString &text)
{
    QByteArray bytes = text.toUtf8();
#ifdef Q_OS_WIN
    bytes.replace("\n", "\r\n");
#endif
    return bytes;
}

bool replaceFileWith(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // A folder that refuses new files (a game installed by another account)
    // leaves no room for the temporary file; the file is then written in
    // place, as a plain write would. Qt does that only on Unix when
    // permission was refused, and on Windows for a path naming an NTFS
    // stream, which no lobby name can; every other write stays all or nothing.
    file.setDirectWriteFallback(true);
    // Said within a sentence, so without Windows' full stop.
    const auto failed = [&](QString why) {
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        if (error)
            *error = why;
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    // A write cut short (a full disk, a file size limit) can come back
    // without an error, or with one Qt cannot name as it wrote a part, and
    // commit() can report success after a buffered write failed, so the
    // whole is checked before the file is replaced.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError)
        return failed(gameFileReasonWords(GameFileReason::DiskFull));
    if (beforeReplacingFile)
        beforeReplacingFile(path);
    if (!file.commit())
        return failed(file.errorString());
    return true;
}

bool writeTextFile(const QString &path, const QString &text, QString *error)
{
    return replaceFileWith(path, textFileBytes(text), error);
}

bool readWholeFile(const QString &path, QByteArray &bytes, QString *error, qint64 maxSize)
{
    const auto failed = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    // A folder or a pipe would never end.
    if (!QFileInfo(path).isFile())
        return failed(QStringLiteral("it is not a file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(file.errorString());
    bytes = maxSize < 0 ? file.readAll() : file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError)
        return failed(file.errorString());
    if (maxSize >= 0 && bytes.size() > maxSize)
        return failed(QStringLiteral("it is larger than %1 bytes").arg(maxSize));
    return true;
}
