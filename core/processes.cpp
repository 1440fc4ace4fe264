#include "core/core.h"

#ifndef Q_OS_WIN
#include <QDir>
#include <QFile>

// Linux's /proc: a folder per process, named by its number (never 0), whose
// comm holds the process's name and a line end; Wine names a Windows
// program's process after its .exe. Elsewhere /proc lists no process.
std::optional<bool> gameIsRunning()
{
    const QDir proc(QStringLiteral("/proc"));
    std::optional<bool> running;
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Unsorted)) {
        QFile comm(proc.filePath(entry) + QStringLiteral("/comm"));
        // Not a process, or one that has ended since the listing.
        if (entry.toUInt() == 0 || !comm.open(QIODevice::ReadOnly))
            continue;
        if (comm.read(16) == "RDR2.exe\n")
            return true;
        running = false;
    }
    return running;
}
#endif
