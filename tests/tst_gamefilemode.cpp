#include "core/core.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QProcess>

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
        files[path] = readBytes(path);
    }
    return files;
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
};

void GameFileModeTest::mode_data()
{
    // clang-format off
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    QTest::addColumn<Files>("changed");

#ifdef Q_OS_WIN
    const bool windows = true;
#else
    const bool windows = false;
#endif
    // "@" is the working directory, as an absolute path.
    const QString target = "@/game/x64/data/startup.meta";
    const QString usage = "corvane: usage: corvane --game-file write <source> <target> | remove <target>";
    const QString notMeta = " is not x64/data/startup.meta or x64/data/startup.meta.original";

    QTest::newRow("write") << QStringList() << QStringList{"write", "@/source", target} << 0 << "" << Files{{meta, "new"}};
    QTest::newRow("write a backup") << QStringList() << QStringList{"write", "@/source", target + ".original"} << 0 << ""
        << Files{{meta + ".original", "new"}};
    QTest::newRow("remove") << QStringList() << QStringList{"remove", target} << 0 << "" << Files{{meta, "<missing>"}};
    QTest::newRow("remove what is not there") << QStringList() << QStringList{"remove", target + ".original"} << 1
        << "corvane: Could not delete @/game/x64/data/startup.meta.original: it does not exist." << Files();
    QTest::newRow("no x64/data folder") << QStringList() << QStringList{"write", "@/source", "@/other/x64/data/startup.meta"}
        << 1 << "corvane: Could not change @/other/x64/data/startup.meta: its folder does not exist." << Files();
    QTest::newRow("relative target") << QStringList() << QStringList{"write", "@/source", meta} << 2
        << "corvane: refused: " + meta + " is not an absolute path" << Files();
    QTest::newRow("another file name") << QStringList() << QStringList{"write", "@/source", "@/game/x64/data/settings.txt"}
        << 2 << "corvane: refused: @/game/x64/data/settings.txt" + notMeta << Files();
    QTest::newRow("a .. part") << QStringList() << QStringList{"remove", "@/game/x64/data/../data/startup.meta"} << 2
        << "corvane: refused: @/game/x64/data/../data/startup.meta has a . or .. part" << Files();
    QTest::newRow("another folder") << QStringList() << QStringList{"write", "@/source", "@/game/x64/startup.meta"} << 2
        << "corvane: refused: @/game/x64/startup.meta" + notMeta << Files();
    QTest::newRow("missing source") << QStringList() << QStringList{"write", "@/none", target} << 2
        << "corvane: refused: cannot read @/none: it is not a file" << Files();
    QTest::newRow("too few arguments") << QStringList() << QStringList{"write", target} << 2 << usage << Files();
    QTest::newRow("no operation") << QStringList() << QStringList() << 2 << usage << Files();
    // Windows matches names whatever their case, with either separator.
    QTest::newRow("Windows spelling") << QStringList() << QStringList{"write", "@/source", "@\\game\\X64\\Data\\STARTUP.META"}
        << (windows ? 0 : 2) << (windows ? "" : "corvane: refused: @\\game\\X64\\Data\\STARTUP.META" + notMeta)
        << (windows ? Files{{meta, "new"}} : Files());
#ifdef Q_OS_UNIX
    QTest::newRow("linked game folder") << QStringList{"moved", "game"} << QStringList{"write", "@/source", "@/moved/x64/data/startup.meta"}
        << 0 << "" << Files{{meta, "new"}};
    QTest::newRow("linked data folder") << QStringList{"other/x64/data", "../../game/x64/data"}
        << QStringList{"remove", "@/other/x64/data/startup.meta"} << 2
        << "corvane: refused: @/other/x64/data/startup.meta leads through the link @/other/x64/data" << Files();
    QTest::newRow("linked x64 folder") << QStringList{"other/x64", "../game/x64"}
        << QStringList{"write", "@/source", "@/other/x64/data/startup.meta"} << 2
        << "corvane: refused: @/other/x64/data/startup.meta leads through the link @/other/x64" << Files();
    QTest::newRow("linked target") << QStringList{"game/x64/data/startup.meta.original", "../../../source"}
        << QStringList{"write", "@/source", target + ".original"} << 2
        << "corvane: refused: @/game/x64/data/startup.meta.original leads through the link @/game/x64/data/startup.meta.original"
        << Files();
#endif
    // clang-format on
}

// The file mode as the window starts it: a process of its own, without a
// display, that touches nothing but its one target.
void GameFileModeTest::mode()
{
    QFETCH(QStringList, links);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    QFETCH(Files, changed);

    const Files base = baseFiles();
    for (auto it = base.begin(); it != base.end(); ++it)
        writeBytes(it.key(), it.value());
    for (qsizetype i = 0; i + 1 < links.size(); i += 2) {
        QDir().mkpath(QFileInfo(links[i]).path());
        QVERIFY(QFile::link(links[i + 1], links[i]));
    }
    const Files before = snapshot();
    const QString at = QDir::currentPath();
    for (QString &argument : arguments)
        argument.replace('@', at);

    QProcess mode;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // With a window it would need a display, and fail without one.
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    mode.setProcessEnvironment(environment);
    mode.start(program(), QStringList{"--game-file"} + arguments);
    QVERIFY2(mode.waitForFinished(), qPrintable(program()));
    QCOMPARE(mode.exitStatus(), QProcess::NormalExit);
    // A refusal repeats the target as given; a failure names it natively.
    error.replace('@', at);
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

QTEST_MAIN(GameFileModeTest)
#include "tst_gamefilemode.moc"
