#include "core/core.h"

#include <windows.h>

#include <tlhelp32.h>

std::optional<bool> gameIsRunning()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return std::nullopt;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    // This process is always in the list: an empty one was not read.
    std::optional<bool> running;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        running = QString::fromWCharArray(entry.szExeFile).compare(QLatin1String("RDR2.exe"), Qt::CaseInsensitive) == 0;
        if (*running)
            break;
    }
    CloseHandle(snapshot);
    return running;
}
