#include "core/core.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::wstring wide(const QString &text)
{
    return QDir::toNativeSeparators(text).toStdWString();
}

// Opens and at once closes the path as asked, and says whether Windows
// refused that for lack of permission. Nothing on disk changes: an existing
// file is opened without truncating it, and a new one is deleted on close.
bool accessDenied(const QString &path, DWORD access, DWORD disposition, DWORD flags)
{
    const HANDLE handle = CreateFileW(wide(path).c_str(), access,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                                      flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_ACCESS_DENIED;
    CloseHandle(handle);
    return false;
}

// A handle that closes itself.
class Handle
{
public:
    explicit Handle(HANDLE opened = INVALID_HANDLE_VALUE) : handle(opened) {}
    ~Handle() { close(); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    void reset(HANDLE opened)
    {
        close();
        handle = opened;
    }
    bool valid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle; }

private:
    void close()
    {
        if (valid())
            CloseHandle(handle);
    }

    HANDLE handle;
};

// Opens the path itself, never what a reparse point there (a link or a
// junction) leads to.
HANDLE openUnfollowed(const QString &path, DWORD access, DWORD share, DWORD flags = 0)
{
    return CreateFileW(wide(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | flags,
                       nullptr);
}

bool isReparsePoint(const Handle &handle)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    return !GetFileInformationByHandle(handle.get(), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool notFound(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

GameFileProblem linkProblem(const QString &path)
{
    return {GameFileReason::ThroughLink, QDir::toNativeSeparators(path)};
}

// A deletion that Windows refused with the error, for its reason.
GameFileResult notRemoved(const QString &target, DWORD error)
{
    GameFileReason reason = GameFileReason::OtherFailure;
    if (notFound(error))
        reason = GameFileReason::DoesNotExist;
    // A folder cannot be opened as a file, and says so as access denied.
    else if (QFileInfo(target).isDir())
        reason = GameFileReason::IsFolder;
    else if (error == ERROR_ACCESS_DENIED)
        reason = GameFileReason::AccessDenied;
    return gameFileFailure(target, true, reason, qt_error_string(int(error)));
}

// The target's x64 and data folders, held open for as long as this lives:
// without delete sharing, neither can be renamed, deleted or swapped for a
// junction meanwhile, and opened unfollowed, neither is one.
class HeldFolders
{
public:
    explicit HeldFolders(const QString &target)
    {
        // The parent first: data is then reached through the x64 held.
        const QString data = QFileInfo(target).absolutePath();
        problem = hold(QFileInfo(data).absolutePath(), x64Folder);
        if (!problem)
            problem = hold(data, dataFolder);
    }
    // Why they could not be held, or nothing. A folder that does not exist
    // is not held: the change then fails for want of it.
    GameFileProblem problem;

private:
    static GameFileProblem hold(const QString &folder, Handle &held)
    {
        held.reset(openUnfollowed(folder, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_FLAG_BACKUP_SEMANTICS));
        if (!held.valid()) {
            const DWORD error = GetLastError();
            if (notFound(error))
                return {};
            return {GameFileReason::FolderNotHeld,
                    QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(folder), qt_error_string(int(error)))};
        }
        return isReparsePoint(held) ? linkProblem(folder) : GameFileProblem();
    }

    Handle x64Folder;
    Handle dataFolder;
};

// Quoted as CommandLineToArgvW, and so Qt, splits a command line again:
// backslashes are literal except before a quote.
QString quoted(const QString &argument)
{
    QString result = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == QLatin1Char('\\')) {
            ++backslashes;
            continue;
        }
        result += QString(c == QLatin1Char('"') ? 2 * backslashes + 1 : backslashes, QLatin1Char('\\')) + c;
        backslashes = 0;
    }
    return result + QString(2 * backslashes, QLatin1Char('\\')) + QLatin1Char('"');
}

} // namespace

QString windowsCommandLine(const QStringList &arguments)
{
    QStringList quotedArguments;
    for (const QString &argument : arguments)
        quotedArguments << quoted(argument);
    return quotedArguments.join(QLatin1Char(' '));
}

bool readGameFileSource(const QString &source, QByteArray &bytes, GameFileProblem *problem)
{
    const auto failed = [problem](GameFileReason reason, const QString &detail) {
        *problem = {reason, detail};
        return false;
    };
    const Handle file(openUnfollowed(source, GENERIC_READ, FILE_SHARE_READ, FILE_FLAG_SEQUENTIAL_SCAN));
    if (!file.valid()) {
        // A folder cannot be opened as a file, and says so as access denied.
        const DWORD code = GetLastError();
        if (notFound(code) || QFileInfo(source).isDir())
            return failed(GameFileReason::SourceNotFile, QString());
        return failed(GameFileReason::SourceUnreadable, qt_error_string(int(code)));
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    // A device (a console, a pipe) would never end.
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return failed(GameFileReason::SourceNotFile, QString());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return failed(GameFileReason::SourceIsLink, QString());
    bytes.resize(kMaxSmallFileSize + 1);
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), DWORD(bytes.size()), &read, nullptr))
        return failed(GameFileReason::SourceUnreadable, qt_error_string(int(GetLastError())));
    if (qint64(read) > kMaxSmallFileSize)
        return failed(GameFileReason::SourceTooLarge, QString());
    bytes.resize(read);
    return true;
}

GameFileResult writeCheckedGameFile(const QString &target, const QByteArray &bytes, GameFileProblem *refusal)
{
    const HeldFolders folders(target);
    if (folders.problem) {
        *refusal = folders.problem;
        return {};
    }
    // Checked and closed again: the write puts a new file in its place, and
    // in a held folder no link can take that place meanwhile.
    {
        const Handle file(
            openUnfollowed(target, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
        if (file.valid() && isReparsePoint(file)) {
            *refusal = linkProblem(target);
            return {};
        }
    }
    return writeGameFile(target, bytes);
}

GameFileResult removeCheckedGameFile(const QString &target, GameFileProblem *refusal)
{
    const HeldFolders folders(target);
    if (folders.problem) {
        *refusal = folders.problem;
        return {};
    }
    const Handle file(openUnfollowed(target, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE));
    if (!file.valid())
        return notRemoved(target, GetLastError());
    if (isReparsePoint(file)) {
        *refusal = linkProblem(target);
        return {};
    }
    // Deleted through the handle that was checked, once it closes.
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition))
        return notRemoved(target, GetLastError());
    return {true, false, {}, GameFileReason::None};
}

bool refusedForPermission(const QString &target, bool removing)
{
    if (removing)
        return accessDenied(target, DELETE, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT);
    // A write makes a new file beside the target and renames it over it.
    const QString probe = QFileInfo(target).absolutePath()
                          + QStringLiteral("/corvane-probe-%1.tmp").arg(GetCurrentProcessId());
    if (accessDenied(probe, GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE))
        return true;
    return QFileInfo::exists(target) && accessDenied(target, DELETE, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT);
}

ElevatedRun runAsAdministrator(const QString &program, const QStringList &arguments)
{
    const std::wstring file = wide(program);
    const std::wstring parameters = windowsCommandLine(arguments).toStdWString();

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // No error dialog of Windows' own either: the caller reports the outcome.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE;

    ElevatedRun run;
    if (!ShellExecuteExW(&info)) {
        run.outcome = GetLastError() == ERROR_CANCELLED ? ElevatedRun::Declined : ElevatedRun::NotStarted;
        return run;
    }
    if (!info.hProcess)
        return run;
    // The change is one small file, so the window waits for it.
    DWORD exitCode = 0;
    if (WaitForSingleObject(info.hProcess, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(info.hProcess, &exitCode)) {
        run.outcome = ElevatedRun::Finished;
        run.exitCode = static_cast<int>(exitCode);
    }
    CloseHandle(info.hProcess);
    return run;
}

ElevatedRun runCorvaneAsAdministrator(const QStringList &arguments)
{
    return runAsAdministrator(QCoreApplication::applicationFilePath(), arguments);
}
