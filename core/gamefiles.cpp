#include "core/core.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

GameFileResult failed(const QString &target, bool removing, const QString &error)
{
    const QString change = removing ? QStringLiteral("delete") : QStringLiteral("change");
    GameFileResult result;
    if (!QFileInfo(QFileInfo(target).absolutePath()).isDir()) {
        result.message =
            QStringLiteral("Could not %1 %2: its folder does not exist.").arg(change, gameFileArgument(target));
        return result;
    }
    result.refused = refusedForPermission(target, removing);
#ifdef Q_OS_WIN
    if (result.refused) {
        result.message =
            QStringLiteral("Windows refused to %1 %2: access denied.").arg(change, gameFileArgument(target));
        return result;
    }
#endif
    QString reason = result.refused ? QStringLiteral("access denied") : error;
    if (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    result.message = QStringLiteral("Could not %1 %2: %3.").arg(change, gameFileArgument(target), reason);
    return result;
}

} // namespace

GameFileResult writeGameFile(const QString &target, const QByteArray &bytes)
{
    QString error;
    return replaceFileWith(target, bytes, &error) ? GameFileResult{true, false, {}} : failed(target, false, error);
}

GameFileResult copyGameFile(const QString &source, const QString &target)
{
    QByteArray bytes;
    QString error;
    if (readWholeFile(source, bytes, &error))
        return writeGameFile(target, bytes);
    return {false, false, QStringLiteral("Could not read %1: %2.").arg(gameFileArgument(source), error)};
}

GameFileResult removeGameFile(const QString &target)
{
    QFile file(target);
    if (!file.exists())
        return {false, false, QStringLiteral("Could not delete %1: it does not exist.").arg(gameFileArgument(target))};
    return file.remove() ? GameFileResult{true, false, {}} : failed(target, true, file.errorString());
}

#ifndef Q_OS_WIN
bool refusedForPermission(const QString &target, bool removing)
{
    // Both a new file and a deletion need a writable folder; a writable file
    // in a read-only folder is written in place.
    const QFileInfo file(target);
    if (QFileInfo(file.absolutePath()).isWritable())
        return false;
    return removing || !file.exists() || !file.isWritable();
}
#endif

QString gameFileTargetProblem(const QString &target)
{
    if (!QDir::isAbsolutePath(target))
        return QStringLiteral("is not an absolute path");
    // Windows takes either separator and matches names whatever their case.
    const QStringList parts = QDir::fromNativeSeparators(target).split(QLatin1Char('/'));
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity nameCase = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity nameCase = Qt::CaseSensitive;
#endif
    if (parts.contains(QStringLiteral(".")) || parts.contains(QStringLiteral("..")))
        return QStringLiteral("has a . or .. part");
    const qsizetype n = parts.size();
    const QString name = parts.last();
    if (n < 4 || parts[n - 3].compare(QLatin1String("x64"), nameCase) != 0
        || parts[n - 2].compare(QLatin1String("data"), nameCase) != 0
        || (name.compare(QLatin1String("startup.meta"), nameCase) != 0
            && name.compare(QLatin1String("startup.meta.original"), nameCase) != 0))
        return QStringLiteral("is not x64/data/startup.meta or x64/data/startup.meta.original");
    // The game's own folder may be a link (games moved to another drive);
    // below it nothing may lead elsewhere.
    for (qsizetype depth = n; depth >= n - 2; --depth) {
        const QFileInfo part(parts.mid(0, depth).join(QLatin1Char('/')));
        if (part.isSymLink() || part.isJunction())
            return QStringLiteral("leads through the link %1").arg(QDir::toNativeSeparators(part.filePath()));
    }
    return {};
}

QString gameFileArgument(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}
