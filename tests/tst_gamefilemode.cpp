#include "core/core.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QProcess>
#include <QScopeGuard>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#endif

namespace {

using Files = QMap<QString, QByteArray>;

const QString meta = QStringLiteral("game/x64/data/startup.meta");

Files baseFiles()
{
    return {{"source", "new"}, {meta, "old"}};
}

// Every file below the working directory, not through folder links.
Files snapshot()
{
    Files files;
    QDirIterator it(".", QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir().relativeFilePath(it.next());
#ifdef Q_OS_WIN
        // Replaced through another spelling of its name, a file may take
        // that spelling: Windows matches names whatever their case.
        files[path.toLower()] = readBytes(path);
#else
        files[path] = readBytes(path);
#endif
    }
    return files;
}

// Makes a file, or with "<link:target>" a link, "<junction:target>" a
// junction (Windows), "<fifo>" a named pipe (Unix).
void make(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    const QString target = QString::fromUtf8(content.mid(content.indexOf(':') + 1).chopped(1));
    if (content.startsWith("<link:")) {
#ifdef Q_OS_WIN
        // QFile::link makes a shortcut there, which is no link to Windows.
        QCOMPARE(QProcess::execute("cmd",
                                   {"/c", "mklink", QDir::toNativeSeparators(path), QDir::toNativeSeparators(target)}),
                 0);
#else
        QVERIFY(QFile::link(target, path));
#endif
    } else if (content.startsWith("<junction:")) {
        QCOMPARE(QProcess::execute("cmd", {"/c", "mklink", "/J", QDir::toNativeSeparators(path),
                                           QDir::toNativeSeparators(QDir(target).absolutePath())}),
                 0);
    } else if (content == "<fifo>") {
#ifdef Q_OS_UNIX
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    } else {
        writeBytes(path, content);
    }
}

// The working directory as the administrative share of its drive reaches it.
QString shareOf(const QString &path)
{
    return "//localhost/" + path.left(1) + "$" + path.mid(2);
}

QString program()
{
    QString path = qEnvironmentVariable("CORVANE_PROGRAM");
#ifdef Q_OS_WIN
    // Under Wine the build's Unix path, which Wine reaches through Z:.
    if (path.startsWith('/'))
        path.prepend("Z:");
#endif
    return path;
}

} // namespace

class GameFileModeTest : public WorkDirTest
{
    Q_OBJECT

private slots:
    void mode_data();
    void mode();
    void startedAsAdministrator();
    void commandLine_data();
    void commandLine();
    void refusedByWindows();
    void checkedOnWhatIsOpened();
    void gameIsRunning();
};

void GameFileModeTest::mode_data()
{
    // clang-format off
    QTest::addColumn<Files>("made");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    QTest::addColumn<Files>("changed");

#ifdef Q_OS_WIN
    const bool windows = true;
#else
    const bool windows = false;
#endif
    // "@" is the working directory, as an absolute path, "@@" the same in
    // the system's own spelling.
    const QString target = "@/game/x64/data/startup.meta";
    const QString usage = "corvane: refused: wrong arguments; "
                          "usage: corvane --game-file write <source> <target> | remove <target>";
    const QString notMeta = " is not x64/data/startup.meta or x64/data/startup.meta.original";
    const QString share = " is a network share or device path";
    const QByteArray bound(1 << 20, 'b');

    QTest::newRow("write") << Files() << QStringList{"write", "@/source", target} << 0 << "" << Files{{meta, "new"}};
    QTest::newRow("write a backup") << Files() << QStringList{"write", "@/source", target + ".original"} << 0 << ""
        << Files{{meta + ".original", "new"}};
    QTest::newRow("remove") << Files() << QStringList{"remove", target} << 0 << "" << Files{{meta, "<missing>"}};
    QTest::newRow("remove what is not there") << Files() << QStringList{"remove", target + ".original"} << 34
        << "corvane: Could not delete @/game/x64/data/startup.meta.original: it does not exist." << Files();
    QTest::newRow("remove a folder") << Files{{meta + ".original/file", "x"}} << QStringList{"remove", target + ".original"}
        << 33 << "corvane: Could not delete @/game/x64/data/startup.meta.original: it is a folder." << Files();
    QTest::newRow("no x64/data folder") << Files() << QStringList{"write", "@/source", "@/other/x64/data/startup.meta"}
        << 30 << "corvane: Could not change @/other/x64/data/startup.meta: its folder does not exist." << Files();
    QTest::newRow("relative target") << Files() << QStringList{"write", "@/source", meta} << 11
        << "corvane: refused: " + meta + " is not an absolute path" << Files();
    // Windows takes these from the current drive and folder, not the player's.
    QTest::newRow("drive-relative target") << Files() << QStringList{"remove", "C:game\\x64\\data\\startup.meta"} << 11
        << "corvane: refused: C:game\\x64\\data\\startup.meta is not an absolute path" << Files();
    QTest::newRow("another file name") << Files() << QStringList{"write", "@/source", "@/game/x64/data/settings.txt"}
        << 15 << "corvane: refused: @/game/x64/data/settings.txt" + notMeta << Files();
    QTest::newRow("a longer file name") << Files() << QStringList{"write", "@/source", target + ".txt"}
        << 15 << "corvane: refused: @/game/x64/data/startup.meta.txt" + notMeta << Files();
    QTest::newRow("a .. part") << Files() << QStringList{"remove", "@/game/x64/data/../data/startup.meta"} << 14
        << "corvane: refused: @/game/x64/data/../data/startup.meta has a . or .. part" << Files();
    QTest::newRow("another folder") << Files() << QStringList{"write", "@/source", "@/game/x64/startup.meta"} << 15
        << "corvane: refused: @/game/x64/startup.meta" + notMeta << Files();
    QTest::newRow("share") << Files() << QStringList{"write", "@/source", "\\\\host\\share\\x64\\data\\startup.meta"}
        << 12 << "corvane: refused: \\\\host\\share\\x64\\data\\startup.meta" + share << Files();
    QTest::newRow("share, with slashes") << Files() << QStringList{"remove", "//host/share/x64/data/startup.meta"}
        << 12 << "corvane: refused: //host/share/x64/data/startup.meta" + share << Files();
    QTest::newRow("device prefix") << Files() << QStringList{"remove", "\\\\?\\C:\\game\\x64\\data\\startup.meta"}
        << 12 << "corvane: refused: \\\\?\\C:\\game\\x64\\data\\startup.meta" + share << Files();
    QTest::newRow("device namespace") << Files() << QStringList{"write", "@/source", "\\\\.\\C:\\x64\\data\\startup.meta"}
        << 12 << "corvane: refused: \\\\.\\C:\\x64\\data\\startup.meta" + share << Files();
    QTest::newRow("stream name") << Files() << QStringList{"write", "@/source", target + ":hidden"} << (windows ? 13 : 15)
        << "corvane: refused: " + target + ":hidden" + (windows ? " names an alternate data stream" : notMeta) << Files();
    QTest::newRow("missing source") << Files() << QStringList{"write", "@/none", target} << 21
        << "corvane: refused: cannot read @/none: it is not a file" << Files();
    QTest::newRow("relative source") << Files() << QStringList{"write", "source", target} << 11
        << "corvane: refused: source is not an absolute path" << Files();
    QTest::newRow("shared source") << Files() << QStringList{"write", "//host/share/source", target} << 12
        << "corvane: refused: //host/share/source" + share << Files();
    QTest::newRow("source of the largest size") << Files{{"big", bound}} << QStringList{"write", "@/big", target} << 0
        << "" << Files{{meta, bound}};
    QTest::newRow("oversized source") << Files{{"big", bound + "b"}} << QStringList{"write", "@/big", target} << 22
        << "corvane: refused: cannot read @/big: it is larger than 1048576 bytes" << Files();
    QTest::newRow("folder as source") << Files{{"folder/file", "x"}} << QStringList{"write", "@/folder", target} << 21
        << "corvane: refused: cannot read @/folder: it is not a file" << Files();
    QTest::newRow("too few arguments") << Files() << QStringList{"write", target} << 10 << usage << Files();
    QTest::newRow("an extra argument") << Files() << QStringList{"write", "@/source", target, target} << 10 << usage
        << Files();
    QTest::newRow("no operation") << Files() << QStringList() << 10 << usage << Files();
    // Windows matches names whatever their case, with either separator.
    QTest::newRow("Windows spelling") << Files() << QStringList{"write", "@/source", "@\\game\\X64\\Data\\STARTUP.META"}
        << (windows ? 0 : 15) << (windows ? "" : "corvane: refused: @\\game\\X64\\Data\\STARTUP.META" + notMeta)
        << (windows ? Files{{meta, "new"}} : Files());
    QTest::newRow("other case") << Files() << QStringList{"write", "@/source", "@/game/X64/DATA/STARTUP.META"}
        << (windows ? 0 : 15) << (windows ? "" : "corvane: refused: @/game/X64/DATA/STARTUP.META" + notMeta)
        << (windows ? Files{{meta, "new"}} : Files());
#ifdef Q_OS_UNIX
    QTest::newRow("linked game folder") << Files{{"moved", "<link:game>"}}
        << QStringList{"write", "@/source", "@/moved/x64/data/startup.meta"} << 0 << "" << Files{{meta, "new"}};
    QTest::newRow("linked data folder") << Files{{"other/x64/data", "<link:../../game/x64/data>"}}
        << QStringList{"remove", "@/other/x64/data/startup.meta"} << 16
        << "corvane: refused: @/other/x64/data/startup.meta leads through the link @/other/x64/data" << Files();
    QTest::newRow("linked x64 folder") << Files{{"other/x64", "<link:../game/x64>"}}
        << QStringList{"write", "@/source", "@/other/x64/data/startup.meta"} << 16
        << "corvane: refused: @/other/x64/data/startup.meta leads through the link @/other/x64" << Files();
    QTest::newRow("linked target") << Files{{"game/x64/data/startup.meta.original", "<link:../../../source>"}}
        << QStringList{"write", "@/source", target + ".original"} << 16
        << "corvane: refused: @/game/x64/data/startup.meta.original leads through the link @/game/x64/data/startup.meta.original"
        << Files();
    QTest::newRow("linked source") << Files{{"linked", "<link:source>"}} << QStringList{"write", "@/linked", target} << 20
        << "corvane: refused: cannot read @/linked: it is a link" << Files();
    // Read, either would never end.
    QTest::newRow("pipe as source") << Files{{"pipe", "<fifo>"}} << QStringList{"write", "@/pipe", target} << 21
        << "corvane: refused: cannot read @/pipe: it is not a file" << Files();
#ifdef Q_OS_LINUX
    // Its first page is never mapped.
    QTest::newRow("unreadable source") << Files() << QStringList{"write", "/proc/self/mem", target} << 23
        << "corvane: refused: cannot read /proc/self/mem: Input/output error" << Files();
#endif
    QTest::newRow("device as source") << Files() << QStringList{"write", "/dev/zero", target} << 21
        << "corvane: refused: cannot read /dev/zero: it is not a file" << Files();
#endif
#ifdef Q_OS_WIN
    QTest::newRow("a share that exists") << Files() << QStringList{"write", "@/source", "<share>/game/x64/data/startup.meta"}
        << 12 << "corvane: refused: <share>/game/x64/data/startup.meta" + share << Files();
    QTest::newRow("data folder is a junction") << Files{{"other/x64/data", "<junction:game/x64/data>"}}
        << QStringList{"remove", "@/other/x64/data/startup.meta"} << 16
        << "corvane: refused: @/other/x64/data/startup.meta leads through the link @@\\other\\x64\\data" << Files();
#endif
    // clang-format on
}

// The file mode as the window starts it: a process of its own, without a
// display, that touches nothing but its one target.
void GameFileModeTest::mode()
{
    QFETCH(Files, made);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    QFETCH(Files, changed);

#ifdef Q_OS_WIN
    if (underWine() && std::any_of(made.begin(), made.end(), [](const QByteArray &content) {
            return content.startsWith("<junction:");
        }))
        QSKIP("Wine makes no junctions");
#endif
    const Files base = baseFiles();
    for (auto it = base.begin(); it != base.end(); ++it)
        writeBytes(it.key(), it.value());
    for (auto it = made.begin(); it != made.end(); ++it)
        make(it.key(), it.value());
    const Files before = snapshot();
    const QString at = QDir::currentPath();
    const QString share = shareOf(at);
    for (QString &argument : arguments)
        argument.replace('@', at).replace("<share>", share);

    QProcess mode;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // With a window it would need a display, and fail without one.
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // The system's own words in English.
    environment.insert("LC_ALL", "C");
    mode.setProcessEnvironment(environment);
    mode.start(program(), QStringList{"--game-file"} + arguments);
    QVERIFY2(mode.waitForFinished(), qPrintable(program()));
    QCOMPARE(mode.exitStatus(), QProcess::NormalExit);
    // A refusal repeats the target as given; a failure names it natively.
    error.replace("@@", QDir::toNativeSeparators(at)).replace('@', at).replace("<share>", share);
    if (error.startsWith("corvane: Could not"))
        error = QDir::toNativeSeparators(error);
    QCOMPARE(QString::fromUtf8(mode.readAllStandardError()).trimmed(), error);
    QCOMPARE(mode.exitCode(), exitCode);

    Files expected = before;
    for (auto it = changed.begin(); it != changed.end(); ++it) {
        if (it.value() == "<missing>")
            expected.remove(it.key());
        else
            expected[it.key()] = it.value();
    }
    QCOMPARE(snapshot(), expected);
    // It may run as another account, whose settings and lobbies are not these.
    QVERIFY(!QFileInfo::exists("data"));
}

// The window's way to the file mode on Windows: the elevation prompt, which
// Wine answers by itself, as it gives every process an administrator's token.
void GameFileModeTest::startedAsAdministrator()
{
#ifdef Q_OS_WIN
    writeBytes("with space/new meta", "new");
    writeBytes("game/x64/data/startup.meta", "old");
    const ElevatedRun run = runAsAdministrator(
        program(), {"--game-file", "write", gameFileArgument("with space/new meta"), gameFileArgument(meta)});
    QCOMPARE(run.outcome, ElevatedRun::Finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readBytes(meta), "new");
#else
    QSKIP("the elevation prompt is Windows' own");
#endif
}

void GameFileModeTest::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("plain") << QStringList{"--game-file", "remove", "C:\\Games\\RDR2\\x64\\data\\startup.meta"};
    QTest::newRow("spaces") << QStringList{"--game-file", "write",
                                           "C:\\Users\\Jo Doe\\AppData\\Local\\Temp\\corvane-1a2b",
                                           "D:\\Rockstar Games\\Red Dead Redemption 2\\x64\\data\\startup.meta"};
    QTest::newRow("trailing backslashes") << QStringList{"C:\\with space\\", "C:\\two\\\\", "\\"};
    QTest::newRow("not ASCII") << QStringList{"C:\\Users\\Jörg Müller\\Игры\\ゲーム\\x64\\data\\startup.meta"};
    QTest::newRow("quotes and nothing") << QStringList{"say \"hi\"", "", "a\\\"b", "\\\""};
}

// What the elevated copy of Corvane is given is what the window meant.
void GameFileModeTest::commandLine()
{
#ifdef Q_OS_WIN
    QFETCH(QStringList, arguments);
    const std::wstring line = (QStringLiteral("corvane.exe ") + windowsCommandLine(arguments)).toStdWString();
    int count = 0;
    LPWSTR *split = CommandLineToArgvW(line.c_str(), &count);
    QVERIFY(split);
    QStringList back;
    for (int i = 1; i < count; ++i)
        back << QString::fromWCharArray(split[i]);
    LocalFree(split);
    QCOMPARE(back, arguments);
#else
    QSKIP("Windows' own way of splitting a command line");
#endif
}

// A folder that refuses this account new files, as Program Files does: the
// refusal is told from other failures, and nothing changes.
void GameFileModeTest::refusedByWindows()
{
#ifdef Q_OS_WIN
    if (underWine())
        QSKIP("Wine refuses its administrator nothing; Windows itself runs this");
    writeBytes(meta, "old");
    const QString folder = QDir::toNativeSeparators(QFileInfo(meta).absolutePath());
    const QString account = qEnvironmentVariable("USERNAME");
    QCOMPARE(QProcess::execute("icacls", {folder, "/deny", account + ":(W)"}), 0);
    const auto allow = qScopeGuard([&] { QProcess::execute("icacls", {folder, "/remove:d", account}); });
    const GameFileResult result = writeGameFile(meta, "new");
    QVERIFY(!result.done);
    QVERIFY(result.refused);
    QCOMPARE(result.message, "Windows refused to change " + gameFileArgument(meta) + ": access denied.");
    QCOMPARE(readBytes(meta), "old");
#else
    QSKIP("Windows' own refusal");
#endif
}

// The check on what is opened, without the rule by name before it: a
// junction in place of data, or a link in place of the target, is refused
// before anything is written or deleted.
void GameFileModeTest::checkedOnWhatIsOpened()
{
#ifdef Q_OS_WIN
    if (underWine())
        QSKIP("Wine makes no junctions; Windows itself runs this");
    writeBytes(meta, "old");
    writeBytes("source", "source");
    make("other/x64/data", "<junction:game/x64/data>");
    make("game/x64/data/startup.meta.original", "<link:../../../source>");
    const auto absolute = [](const QString &path) {
        return QDir::toNativeSeparators(QDir::current().absoluteFilePath(path));
    };
    const QStringList targets{absolute("other/x64/data/startup.meta"), absolute(meta + ".original")};
    const QStringList links{absolute("other/x64/data"), absolute(meta + ".original")};
    for (int i = 0; i < targets.size(); ++i) {
        GameFileProblem refusal;
        QVERIFY(!writeCheckedGameFile(targets[i], "new", &refusal).done);
        QCOMPARE(refusal.words(), "leads through the link " + links[i]);
        refusal = {};
        QVERIFY(!removeCheckedGameFile(targets[i], &refusal).done);
        QCOMPARE(refusal.words(), "leads through the link " + links[i]);
    }
    QCOMPARE(readBytes(meta), "old");
    QCOMPARE(readBytes("source"), "source");
    QVERIFY(QFileInfo(meta + ".original").isSymLink());
#else
    QSKIP("Windows' own junctions and handles");
#endif
}

// A copy of Corvane named RDR2.exe stands in for the game while it runs.
void GameFileModeTest::gameIsRunning()
{
    QVERIFY(QFile::copy(program(), "RDR2.exe"));
    QProcess game;
    game.start(QDir::current().absoluteFilePath("RDR2.exe"), QStringList());
    QVERIFY(game.waitForStarted());
    QCOMPARE(::gameIsRunning(), std::optional(true));
    game.kill();
    QVERIFY(game.waitForFinished());
    QCOMPARE(::gameIsRunning(), std::optional(false));
}

QTEST_MAIN(GameFileModeTest)
#include "tst_gamefilemode.moc"
