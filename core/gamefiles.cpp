#include "core/core.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

GameFileResult failed(const QString &target, bool removing, const QString &error)
{
    const QFileInfo file(target);
    GameFileReason reason = GameFileReason::OtherFailure;
    if (!QFileInfo(file.absolutePath()).isDir())
        reason = GameFileReason::FolderMissing;
    else if (file.isDir())
        // Windows refuses to open a folder as a file, which is no lack of
        // permission.
        reason = GameFileReason::IsFolder;
    else if (refusedForPermission(target, removing))
        reason = GameFileReason::AccessDenied;
    else if (error == gameFileReasonWords(GameFileReason::DiskFull))
        // replaceFileWith says a write cut short in these words.
        reason = GameFileReason::DiskFull;
    return gameFileFailure(target, removing, reason, error);
}

GameFileResult succeeded()
{
    GameFileResult result;
    result.done = true;
    return result;
}

} // namespace

QString gameFileReasonWords(GameFileReason reason, const QString &detail)
{
    switch (reason) {
    case GameFileReason::None:
        break;
    case GameFileReason::Usage:
        return QStringLiteral("wrong arguments");
    case GameFileReason::NotAbsolute:
        return QStringLiteral("is not an absolute path");
    case GameFileReason::NotLocal:
        return QStringLiteral("is a network share or device path");
    case GameFileReason::DataStream:
        return QStringLiteral("names an alternate data stream");
    case GameFileReason::DotPart:
        return QStringLiteral("has a . or .. part");
    case GameFileReason::NotMetaFile:
        return QStringLiteral("is not x64/data/startup.meta or x64/data/startup.meta.original");
    case GameFileReason::ThroughLink:
        return detail.isEmpty() ? QStringLiteral("leads through a link")
                                : QStringLiteral("leads through the link %1").arg(detail);
    case GameFileReason::FolderNotHeld:
        return detail.isEmpty() ? QStringLiteral("has a folder that cannot be held open")
                                : QStringLiteral("has a folder that cannot be held open: %1").arg(detail);
    case GameFileReason::SourceIsLink:
        return QStringLiteral("it is a link");
    case GameFileReason::SourceNotFile:
        return QStringLiteral("it is not a file");
    case GameFileReason::SourceTooLarge:
        return QStringLiteral("it is larger than %1 bytes").arg(kMaxSmallFileSize);
    case GameFileReason::FolderMissing:
        return QStringLiteral("its folder does not exist");
    case GameFileReason::AccessDenied:
        return QStringLiteral("access denied");
    case GameFileReason::DiskFull:
        return QStringLiteral("not every byte could be written; the disk may be full");
    case GameFileReason::IsFolder:
        return QStringLiteral("it is a folder");
    case GameFileReason::DoesNotExist:
        return QStringLiteral("it does not exist");
    case GameFileReason::SourceUnreadable:
        return detail.isEmpty() ? QStringLiteral("it could not be read") : detail;
    case GameFileReason::OtherFailure:
        return detail.isEmpty() ? QStringLiteral("an unexpected error") : detail;
    }
    return {};
}

GameFileReason gameFileReasonOf(int exitCode)
{
    const auto reason = static_cast<GameFileReason>(exitCode);
    if (exitCode == 0)
        return GameFileReason::None;
    return gameFileReasonWords(reason).isEmpty() ? GameFileReason::OtherFailure : reason;
}

bool isGameFileRefusal(GameFileReason reason)
{
    return reason >= GameFileReason::Usage && reason < GameFileReason::FolderMissing;
}

GameFileResult gameFileFailure(const QString &target, bool removing, GameFileReason reason, const QString &detail)
{
    GameFileResult result;
    result.reason = reason;
    result.refused = reason == GameFileReason::AccessDenied;
    QString words = gameFileReasonWords(reason, detail);
    if (words.endsWith(QLatin1Char('.')))
        words.chop(1);
#ifdef Q_OS_WIN
    const QString who = result.refused ? QStringLiteral("Windows refused to") : QStringLiteral("Could not");
#else
    const QString who = QStringLiteral("Could not");
#endif
    const QString change = removing ? QStringLiteral("delete") : QStringLiteral("change");
    result.message = QStringLiteral("%1 %2 %3: %4.").arg(who, change, gameFileArgument(target), words);
    return result;
}

GameFileResult writeGameFile(const QString &target, const QByteArray &bytes)
{
    QString error;
    return replaceFileWith(target, bytes, &error) ? succeeded() : failed(target, false, error);
}

GameFileResult copyGameFile(const QString &source, const QString &target)
{
    QByteArray bytes;
    QString error;
    if (readWholeFile(source, bytes, &error))
        return writeGameFile(target, bytes);
    return {false, false, QStringLiteral("Could not read %1: %2.").arg(gameFileArgument(source), error),
            GameFileReason::OtherFailure};
}

GameFileResult removeGameFile(const QString &target)
{
    QFile file(target);
    if (!file.exists())
        return gameFileFailure(target, true, GameFileReason::DoesNotExist);
    return file.remove() ? succeeded() : failed(target, true, file.errorString());
}

#ifndef Q_OS_WIN
bool readGameFileSource(const QString &source, QByteArray &bytes, GameFileProblem *problem)
{
    const auto failed = [problem](GameFileReason reason, const QString &detail) {
        *problem = {reason, detail};
        return false;
    };
    const QFileInfo info(source);
    if (info.isSymLink())
        return failed(GameFileReason::SourceIsLink, {});
    // A folder, a pipe or a device would never end.
    if (!info.isFile())
        return failed(GameFileReason::SourceNotFile, {});
    QString error;
    if (readWholeFile(source, bytes, &error, kMaxSmallFileSize))
        return true;
    return bytes.size() > kMaxSmallFileSize ? failed(GameFileReason::SourceTooLarge, {})
                                            : failed(GameFileReason::SourceUnreadable, error);
}

GameFileResult writeCheckedGameFile(const QString &target, const QByteArray &bytes, GameFileProblem *)
{
    return writeGameFile(target, bytes);
}

GameFileResult removeCheckedGameFile(const QString &target, GameFileProblem *)
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

GameFileProblem localPathProblem(const QString &path)
{
    // A network share, or Windows' \\?\ and \\.\ prefixes, which reach
    // devices and skip Windows' own checks of names; an elevated process does
    // not see the player's mapped drives anyway.
    const auto separator = [&path](qsizetype i) {
        return path.size() > i && (path[i] == QLatin1Char('/') || path[i] == QLatin1Char('\\'));
    };
    if (separator(0) && separator(1))
        return {GameFileReason::NotLocal, {}};
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
        return {GameFileReason::NotAbsolute, {}};
#ifdef Q_OS_WIN
    // "file:name" is a hidden stream of the file, out of sight of its name.
    if (path.indexOf(QLatin1Char(':'), 2) >= 0)
        return {GameFileReason::DataStream, {}};
#endif
    return {};
}

GameFileProblem gameFileTargetProblem(const QString &target)
{
    if (const GameFileProblem problem = localPathProblem(target))
        return problem;
    // Windows takes either separator and matches names whatever their case.
    const QStringList parts = QDir::fromNativeSeparators(target).split(QLatin1Char('/'));
    if (parts.contains(QStringLiteral(".")) || parts.contains(QStringLiteral("..")))
        return {GameFileReason::DotPart, {}};
    const qsizetype n = parts.size();
    const QString name = parts.last();
    if (n < 4 || parts[n - 3].compare(QLatin1String("x64"), kFileNameCase) != 0
        || parts[n - 2].compare(QLatin1String("data"), kFileNameCase) != 0
        || (name.compare(QLatin1String("startup.meta"), kFileNameCase) != 0
            && name.compare(QLatin1String("startup.meta.original"), kFileNameCase) != 0))
        return {GameFileReason::NotMetaFile, {}};
    // The game's own folder may be a link (games moved to another drive);
    // below it nothing may lead elsewhere.
    for (qsizetype depth = n; depth >= n - 2; --depth) {
        const QFileInfo part(parts.mid(0, depth).join(QLatin1Char('/')));
        if (part.isSymLink() || part.isJunction())
            return {GameFileReason::ThroughLink, QDir::toNativeSeparators(part.filePath())};
    }
    return {};
}

QString gameFileArgument(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}
