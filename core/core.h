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

// How this system matches file names: Windows whatever their case.
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseSensitive;
#endif

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

// Why a change of a game's file was not made, each with the exit code of the
// file mode that gives it. The codes are documented with the mode
// (app/gamefilemode.h, the man page) and stay as they are: 10 to 29 refused
// with nothing changed (10 the arguments, 11 to 19 a path, 20 to 29 the
// source), 30 to 39 failed. None is below 10, where a program's runtime
// exits on its own (abort() with 3 on Windows).
enum class GameFileReason : int {
    None = 0,
    Usage = 10,
    NotAbsolute = 11,
    NotLocal = 12,
    DataStream = 13,
    DotPart = 14,
    NotMetaFile = 15,
    ThroughLink = 16,
    FolderNotHeld = 17,
    SourceIsLink = 20,
    SourceNotFile = 21,
    SourceTooLarge = 22,
    SourceUnreadable = 23,
    FolderMissing = 30,
    AccessDenied = 31,
    DiskFull = 32,
    IsFolder = 33,
    DoesNotExist = 34,
    OtherFailure = 35,
};
// The reason in the words that the file mode prints and the window repeats:
// after the path for 11 to 19, after "cannot read <source>:" for 20 to 29,
// after the target for 30 to 39. The detail, which only the mode knows, is
// the link for ThroughLink, the folder and the system's words for
// FolderNotHeld, and for SourceUnreadable and OtherFailure the system's
// words, said instead of their own; without it each says its kind only.
QString gameFileReasonWords(GameFileReason reason, const QString &detail = QString());
// The reason a file mode's exit code stands for: None for 0, OtherFailure
// for a code the mode never gives, such as a crash's.
GameFileReason gameFileReasonOf(int exitCode);
// Whether the file mode refused the change rather than failed to make it.
bool isGameFileRefusal(GameFileReason reason);
// Why the file mode refuses a path or a source, with its detail.
struct GameFileProblem
{
    GameFileReason reason = GameFileReason::None;
    QString detail;
    explicit operator bool() const { return reason != GameFileReason::None; }
    QString words() const { return gameFileReasonWords(reason, detail); }
};

// The outcome of one change to one of the game's files.
struct GameFileResult
{
    bool done = false;
    // Refused for lack of permission, which administrator rights may lift.
    bool refused = false;
    // Why it failed, naming the file, in a sentence.
    QString message;
    // The same as a reason, for the file mode's exit code.
    GameFileReason reason = GameFileReason::None;
};
GameFileResult writeGameFile(const QString &target, const QByteArray &bytes);
GameFileResult copyGameFile(const QString &source, const QString &target);
GameFileResult removeGameFile(const QString &target);
// A change of the target that failed for the reason: its message names the
// target and says the reason's words; AccessDenied counts as refused.
GameFileResult gameFileFailure(const QString &target, bool removing, GameFileReason reason,
                               const QString &detail = QString());
// Whether the failed change of the target was refused for lack of
// permission rather than for another reason, such as a full disk.
bool refusedForPermission(const QString &target, bool removing);

// Why the file mode takes a path neither as a source nor as a target: not
// absolute, or not on a local drive. Nothing when it may.
GameFileProblem localPathProblem(const QString &path);
// The only files that Corvane changes as administrator: a game's
// x64/data/startup.meta and its backup, on a local drive and reached through
// no link below the game's folder. Says why a path is not one of them, or
// nothing when it is.
GameFileProblem gameFileTargetProblem(const QString &target);
// What the file mode reads for a write: a plain file, no link, no larger
// than a meta file can be. On failure, *problem says why.
bool readGameFileSource(const QString &source, QByteArray &bytes, GameFileProblem *problem);
// The file mode's change, once the target passed the rule. On Windows, where
// it may run as administrator, the game's x64 and data folders are opened
// without following a link, held so that nothing can rename or replace them
// until the change is done, and the target is checked on what is opened; a
// link found there is refused before anything changes, *refusal saying why.
// Elsewhere the mode never runs elevated and the rule by name has checked.
GameFileResult writeCheckedGameFile(const QString &target, const QByteArray &bytes, GameFileProblem *refusal);
GameFileResult removeCheckedGameFile(const QString &target, GameFileProblem *refusal);
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
