#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What Corvane does besides its window: checked writes, reading where the
// launchers installed the game, and changing the game's own files, once more
// as administrator where Windows refuses.

// Text as a text-mode file holds it: UTF-8, with CR LF line ends on Windows.
QByteArray textFileBytes(const QString &text);
// Replaces the file with the bytes, all or nothing: the old file stays
// untouched unless every byte reached the new one. Only a file in a folder
// that refuses new files is written in place, as a plain write would. On
// failure, *error says why.
bool replaceFileWith(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// Called, when set, once the new bytes are written and before they replace
// the file: tests make that last step fail through it.
extern std::function<void(const QString &path)> beforeReplacingFile;
bool writeTextFile(const QString &path, const QString &text, QString *error = nullptr);
// Launchers' records and meta files are a few kilobytes; a file much larger
// is not one.
constexpr qint64 kMaxSmallFileSize = 1 << 20;
// The whole of a plain file, up to maxSize bytes when that is not negative;
// on failure, *error says why.
bool readWholeFile(const QString &path, QByteArray &bytes, QString *error = nullptr, qint64 maxSize = -1);

// One value of a KeyValues text (Valve's format for Steam's library list and
// app manifests) with the keys that lead to it, lower-cased, as Steam
// ignores their case.
struct KeyValue
{
    QStringList keys;
    QString value;
};
// False for text that is malformed, nested too deep or too long.
bool readKeyValues(const QByteArray &text, QList<KeyValue> &values);

// Where the launchers on a computer record the folders they installed games
// in, each list in the order it is tried.
struct GameRecords
{
    QStringList steamFolders;
    QStringList epicManifestFolders;
    QStringList rockstarFolders;
    QStringList legendaryFiles;
};
// This computer's: registry values and the usual folders on Windows, the
// home folder and the XDG folders elsewhere.
GameRecords gameRecordsOnThisComputer();
// The first folder the records name that holds RDR2.exe, or empty. Reads
// the records only; anything missing, malformed or too large is skipped.
QString findGameFolder(const GameRecords &records);

// The outcome of one change to one of the game's files.
struct GameFileResult
{
    bool done = false;
    // Refused for lack of permission, which administrator rights may lift.
    bool refused = false;
    // Why it failed, naming the file, in a sentence.
    QString message;
};
GameFileResult writeGameFile(const QString &target, const QByteArray &bytes);
GameFileResult copyGameFile(const QString &source, const QString &target);
GameFileResult removeGameFile(const QString &target);
// Whether the failed change of the target was refused for lack of
// permission rather than for another reason, such as a full disk.
bool refusedForPermission(const QString &target, bool removing);

// Why the file mode takes a path neither as a source nor as a target: not
// absolute, or not on a local drive. Nothing when it may.
QString localPathProblem(const QString &path);
// The only files that Corvane changes as administrator: a game's
// x64/data/startup.meta and its backup, on a local drive and reached through
// no link below the game's folder. Says why a path is not one of them, or
// nothing when it is.
QString gameFileTargetProblem(const QString &target);
// What the file mode reads for a write: a plain file, no link, no larger
// than a meta file can be. On failure, *error says why.
bool readGameFileSource(const QString &source, QByteArray &bytes, QString *error);
// The file mode's change, once the target passed the rule. On Windows, where
// it may run as administrator, the game's x64 and data folders are opened
// without following a link, held so that nothing can rename or replace them
// until the change is done, and the target is checked on what is opened; a
// link found there is refused before anything changes, *refusal saying why.
// Elsewhere the mode never runs elevated and the rule by name has checked.
GameFileResult writeCheckedGameFile(const QString &target, const QByteArray &bytes, QString *refusal);
GameFileResult removeCheckedGameFile(const QString &target, QString *refusal);
// A path as the file mode takes it: absolute, clean and native.
QString gameFileArgument(const QString &path);

// What became of a start of Corvane's file mode as administrator.
struct ElevatedRun
{
    enum Outcome { Finished, Declined, NotStarted };
    Outcome outcome = NotStarted;
    int exitCode = -1;
};
#ifdef Q_OS_WIN
// Starts the program with the arguments through Windows' elevation prompt
// and waits for it.
ElevatedRun runAsAdministrator(const QString &program, const QStringList &arguments);
// The arguments as one command line that CommandLineToArgvW, and so Qt,
// splits into exactly these arguments again.
QString windowsCommandLine(const QStringList &arguments);
// This program, with the arguments of its file mode.
ElevatedRun runCorvaneAsAdministrator(const QStringList &arguments);
#endif

// Whether RDR2 is running, or nothing when this computer's processes cannot be listed.
std::optional<bool> gameIsRunning();
