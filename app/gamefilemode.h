#pragma once

#include <QStringList>

// Corvane's file mode, the only part of it that ever runs as administrator:
// one change to a game's meta file or its backup, and nothing else. Takes
// the arguments after "--game-file":
//   write <source> <target>   the bytes of source replace target
//   remove <target>           target is deleted
// and returns the exit code: 0 done, 1 failed, 2 refused with nothing
// changed. Each failure is one line on stderr.
int runGameFileMode(const QStringList &arguments);
