#include "core/core.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

GameFileResult failed(const QString &target, bool removing, QString reason)
{
    GameFileResult result;
    const QFileInfo file(target);
    if (!QFileInfo(file.absolutePath()).isDir()) {
        reason = QStringLiteral("its folder does not exist");
    } else if (file.isDir()) {
        // Windows refuses to open a folder as a file, which is no lack of
        // permission.
        reason = QStringLiteral("it is a folder");
    } else {
        result.refused = refusedForPermission(target, removing);
        if (result.refused)
            reason = QStringLiteral("access denied");
    }
    if (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
#ifdef Q_OS_WIN
    const QString who = result.refused ? QStringLiteral("Windows refused to") : QStringLiteral("Could not");
#else
    const QString who = QStringLiteral("Could not");
#endif
    const QString change = removing ? QStringLiteral("delete") : QStringLiteral("change");
    result.message = QStringLiteral("%1 %2 %3: %4.").arg(who, change, gameFileArgument(target), reason);
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
bool readGameFileSource(const QString &source, QByteArray &bytes, QString *error)
{
    if (QFileInfo(source).isSymLink()) {
        *error = QStringLiteral("it is a link");
        return false;
    }
    return readWholeFile(source, bytes, error, kMaxSmallFileSize);
}

GameFileResult writeCheckedGameFile(const QString &target, const QByteArray &bytes, QString *)
{
    return writeGameFile(target, bytes);
}

GameFileResult removeCheckedGameFile(const QString &target, QString *)
{
    return removeGameFile(target);
}

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

QString localPathProblem(const QString &path)
{
    // A network share, or Windows' \\?\ and \\.\ prefixes, which reach
    // devices and skip Windows' own checks of names; an elevated process does
    // not see the player's mapped drives anyway.
    const auto separator = [&path](qsizetype i) {
        return path.size() > i && (path[i] == QLatin1Char('/') || path[i] == QLatin1Char('\\'));
    };
    if (separator(0) && separator(1))
        return QStringLiteral("is a network share or device path");
#ifdef Q_OS_WIN
    // Qt takes "C:file" and "\file" for absolute, yet Windows resolves them
    // from the current folder and drive, which as administrator are not the
    // player's.
    const bool absolute = path.size() >= 3 && path[0].unicode() < 128 && path[0].isLetter()
                          && path[1] == QLatin1Char(':') && separator(2);
#else
    const bool absolute = QDir::isAbsolutePath(path);
#endif
    if (!absolute)
        return QStringLiteral("is not an absolute path");
#ifdef Q_OS_WIN
    // "file:name" is a hidden stream of the file, out of sight of its name.
    if (path.indexOf(QLatin1Char(':'), 2) >= 0)
        return QStringLiteral("names an alternate data stream");
#endif
    return {};
}

QString gameFileTargetProblem(const QString &target)
{
    if (const QString problem = localPathProblem(target); !problem.isEmpty())
        return problem;
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
