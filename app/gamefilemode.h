#pragma once

#include <QStringList>

// Corvane's file mode, the only part of it that ever runs as administrator:
// one change to a game's meta file or its backup, and nothing else. Takes
// the arguments after "--game-file":
//   write <source> <target>   the bytes of source replace target
//   remove <target>           target is deleted
// and returns the exit code: 0 done, otherwise the code of its reason
// (GameFileReason in core/core.h), which it says as one line on stderr:
//   "refused: <path> <words>", for 20 to 23 "refused: cannot read <source>:
//   <words>", for 30 to 35 "Could not change (delete) <target>: <words>."
//   (on Windows "Windows refused to ..." for 31).
// The window, which sees only the code, repeats the words. The codes stay as
// they are; none is below 10, where a program's runtime exits on its own.
//   code  words                                   the reason
//   Refused, with nothing changed:
//   10    wrong arguments                         (the line adds the usage)
//   11    is not an absolute path                 the source or the target
//   12    is a network share or device path       the source or the target
//   13    names an alternate data stream          the source or the target (Windows)
//   14    has a . or .. part                      the target
//   15    is not x64/data/startup.meta or x64/data/startup.meta.original
//   16    leads through a link                    the target, below the game's folder; the line
//                                                 says "leads through the link <link>"
//   17    has a folder that cannot be held open   the target's x64 or data (Windows); the line
//                                                 adds the folder and the system's words
//   20    it is a link                            the source
//   21    it is not a file                        the source: missing, a folder, a device
//   22    it is larger than 1048576 bytes         the source
//   23    it could not be read                    the source cannot be opened or read; the line
//                                                 has the system's words instead
//   Failed:
//   30    its folder does not exist
//   31    access denied
//   32    not every byte could be written; the disk may be full
//   33    it is a folder
//   34    it does not exist                       remove only
//   35    an unexpected error                     any other; the line has the system's words
//                                                 instead
int runGameFileMode(const QStringList &arguments);
