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
    QStringList quotedArguments;
    for (const QString &argument : arguments)
        quotedArguments << quoted(argument);
    const std::wstring file = wide(program);
    const std::wstring parameters = quotedArguments.join(QLatin1Char(' ')).toStdWString();

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
