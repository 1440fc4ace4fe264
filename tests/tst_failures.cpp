#include "app/gamefilemode.h"
#include "app/settings.h"
#include "gui/gui.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStatusBar>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// Path → content; "<dir>" stands for a directory, "<link:target>" for a
// symbolic link and, in a change, "<remove>" for a deletion and
// "<read-only dir>" for an existing directory that takes no new files.
using Files = QMap<QString, QByteArray>;

const QByteArray readOnlyDir = "<read-only dir>";

const QString metaFile = QStringLiteral("game/x64/data/startup.meta");

QByteArray own()
{
    return kDefaultMetaTemplate.toUtf8();
}

Files baseFiles()
{
    return {{"data/settings.txt", "path=game\nlines=2\n"},
            {"data/Camp.lobby", "pass=camp\nlines=2\n"},
            {metaFile, own() + "\n\ncamp"},
            {metaFile + ".original", "the game's own meta file"},
            {"game/RDR2.exe", "the game"}};
}

void apply(const Files &changes)
{
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.value() == readOnlyDir) {
            QFile::setPermissions(it.key(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                                | QFile::ReadOther | QFile::ExeOther);
            continue;
        }
        QFile::remove(it.key());
        QDir(it.key()).removeRecursively();
        if (it.value() == "<dir>")
            QDir().mkpath(it.key());
        else if (it.value().startsWith("<link:"))
            QFile::link(it.value().mid(6).chopped(1), it.key());
        else if (it.value() != "<remove>")
            writeBytes(it.key(), it.value());
    }
}

Files snapshot()
{
    Files files;
    QDirIterator it(".", QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString path = QDir().relativeFilePath(info.filePath());
        if (info.isSymLink())
            files[path] = "<link:" + QDir().relativeFilePath(info.symLinkTarget()).toUtf8() + ">";
        else
            files[path] = info.isDir() ? QByteArray("<dir>") : readBytes(path);
    }
    return files;
}

// The game's x64/data and its files as another account's game has them:
// readable, but neither writable nor taking new files.
void lockGameFolder(bool locked)
{
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto exec = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    for (const QString &file : QDir("game/x64/data").entryList(QDir::Files))
        QFile::setPermissions("game/x64/data/" + file, readOnly | (locked ? QFile::Permissions() : QFile::WriteOwner));
    QFile::setPermissions("game/x64/data", readOnly | exec | (locked ? QFile::Permissions() : QFile::WriteOwner));
}

Files outsideOwnFolders(Files files)
{
    files.removeIf([](auto it) { return it.key().startsWith("data") || it.key().startsWith("game/x64/data"); });
    return files;
}

} // namespace

class FailuresTest : public WorkDirTest
{
    Q_OBJECT

private slots:
    void matrix_data();
    void matrix();
    void administrator_data();
    void administrator();

private:
    void run(GUI &window, const QString &step);
};

void FailuresTest::run(GUI &window, const QString &step)
{
    const QStringList words = step.split(' ');
    auto click = [&window](const char *name) {
        QTest::mouseClick(window.findChild<QPushButton *>(name), Qt::LeftButton);
    };
    auto *list = window.findChild<QComboBox *>("lobbyList");
    if (words[0] == "lines") {
        window.findChild<QSpinBox *>("nrOfLinesField")->setValue(words[1].toInt());
    } else if (words[0] == "select") {
        list->setCurrentIndex(list->findText(words[1]));
    } else if (words[0] == "create") {
        window.findChild<QLineEdit *>("lobbyNameField")->setText(words[1]);
        window.findChild<QLineEdit *>("passphraseField")->setText(words[2]);
        click("createButton");
    } else if (words[0] == "choose" || words[0] == "cancel") {
        chooseDirectory(window, words.value(1));
    } else if (words[0] == "replacing") {
        // A folder takes the file's place as its new bytes wait to replace it.
        beforeReplacingFile = [target = QFileInfo(words[1])](const QString &path) {
            if (QFileInfo(path) == target)
                QDir().mkdir(path);
        };
    } else if (words[0] == "gone") {
        QDir(words[1]).removeRecursively();
    } else if (words[0] == "unlock") {
        lockGameFolder(false);
    } else {
        const QMap<QString, const char *> buttons{{"use", "useSelectedButton"},
                                                  {"delete", "removeSelectedButton"},
                                                  {"public", "resetButton"},
                                                  {"clear", "clearBackup"}};
        QVERIFY2(buttons.contains(step), qPrintable(step));
        click(buttons[step]);
    }
}

void FailuresTest::matrix_data()
{
    // clang-format off
    QTest::addColumn<Files>("changes");
    QTest::addColumn<QString>("removedWhileOpen");
    QTest::addColumn<int>("fileSizeLimit");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<Files>("after");

    const QString camp = "Private (Camp)  |  Lobbies: 1  |  Using default XML";
    const QString noMeta = "Could not access meta file.  |  Lobbies: 1  |  Using default XML";
    const QString noLobby = "Could not create new lobby.  |  Lobbies: 1  |  Using default XML";
    const QString open = "Public  |  Lobbies: 1  |  Using default XML";
    const QStringList everyCommand{"use", "create New n", "delete", "public", "clear", "cancel"};

    // A full disk stops every write part-way; nothing on disk may change.
    QTest::newRow("disk full: settings") << Files() << "" << 8 << QStringList{"lines 9"} << QStringList{camp} << Files();
    QTest::newRow("disk full: lobby") << Files() << "" << 8 << QStringList{"create Camp longer"} << QStringList{noLobby} << Files();
    QTest::newRow("disk full: meta") << Files() << "" << 8 << QStringList{"use"} << QStringList{noMeta} << Files();
    QTest::newRow("disk full: backup copy") << Files{{metaFile + ".original", "<remove>"}} << "" << 8
        << QStringList{"choose game"} << QStringList{camp} << Files();
    QTest::newRow("disk full: restore copy") << Files() << "" << 8 << QStringList{"public"} << QStringList{camp} << Files();
    // Qt writes this much past its buffer, and reports a short write as done.
    QTest::newRow("disk full: restore of a large backup") << Files{{metaFile + ".original", QByteArray(64 << 10, 'o')}}
        << "" << 1000 << QStringList{"public"} << QStringList{camp} << Files();

    // The new bytes are written, and the last step fails: no new state claimed, no stray file left.
    QTest::newRow("final replace fails: lobby") << Files() << "" << 0
        << QStringList{"replacing data/New.lobby", "create New n"} << QStringList{camp, noLobby} << Files{{"data/New.lobby", "<dir>"}};
    QTest::newRow("final replace fails: meta") << Files{{metaFile, "<remove>"}} << "" << 0
        << QStringList{"replacing " + metaFile, "select Camp", "use"} << QStringList{open, open, noMeta} << Files{{metaFile, "<dir>"}};
    QTest::newRow("public without backup") << Files{{metaFile + ".original", "<remove>"}} << "" << 0
        << QStringList{"public"} << QStringList{open} << Files{{metaFile, "<missing>"}, {metaFile + ".original", "<missing>"}};
    QTest::newRow("public without meta file or backup")
        << Files{{metaFile, "<remove>"}, {metaFile + ".original", "<remove>"}} << "" << 0 << QStringList{"public"}
        << QStringList{open} << Files{{metaFile, "<missing>"}, {metaFile + ".original", "<missing>"}};

    QTest::newRow("game directory removed") << Files() << "game" << 0 << everyCommand
        << QStringList{noMeta, noMeta, open, open, open, open} << Files{{"data/New.lobby", native("pass=n\nlines=2\n")}};
    QTest::newRow("x64/data removed") << Files() << "game/x64/data" << 0 << everyCommand
        << QStringList{noMeta, noMeta, open, open, open, open}
        << Files{{"game/x64", "<dir>"}, {"data/New.lobby", native("pass=n\nlines=2\n")}};
    QTest::newRow("data removed") << Files() << "data" << 0 << QStringList{"create New n", "use", "delete", "lines 5"}
        << QStringList{noLobby, noLobby, noLobby, noLobby} << Files{{"data", "<missing>"}};

    QTest::newRow("invalid UTF-8 and NUL in a lobby")
        << Files{{"data/Bad.lobby", QByteArray("pass=\xff\0\xfe\nlines=\xff" "3\n", 19)}} << "" << 0
        << QStringList{"select Bad", "use"}
        << QStringList{"Private (Camp)  |  Lobbies: 2  |  Using default XML", "Private (Bad)  |  Lobbies: 2  |  Using default XML"}
        << Files{{metaFile, native(own() + "\n") + QByteArray("\xef\xbf\xbd\0\xef\xbf\xbd", 7)}};
    QTest::newRow("CR-only settings") << Files{{"data/settings.txt", "path=game\rlines=5\r"}} << "" << 0
        << QStringList{"select Camp", "use"} << QStringList{open, noMeta} << Files();
    QTest::newRow("10 MB line in the meta file") << Files{{metaFile, QByteArray(10 << 20, 'x')}} << "" << 0
        << QStringList{"select Camp", "use"} << QStringList{open, camp} << Files{{metaFile, native(own() + "\n\ncamp")}};
    QTest::newRow("10 MB code in a lobby") << Files{{"data/Big.lobby", "pass=" + QByteArray(10 << 20, 'b')}} << "" << 0
        << QStringList{"select Big", "use"}
        << QStringList{"Private (Camp)  |  Lobbies: 2  |  Using default XML", "Private (Big)  |  Lobbies: 2  |  Using default XML"}
        << Files{{metaFile, native(own() + "\n") + QByteArray(10 << 20, 'b')}};
    QTest::newRow("folders instead of files")
        << Files{{"data/settings.txt", "<dir>"}, {"data/Dir.lobby", "<dir>"}, {"game/x64/data/startup.meta", "<dir>"}}
        << "" << 0 << QStringList{"select Camp", "use", "public", "lines 5"} << QStringList{open, noMeta, open, open}
        << Files{{"data/settings.txt", "<dir>"}, {metaFile, "<dir>"}};
#ifdef Q_OS_UNIX
    QTest::newRow("meta file is a link") << Files{{"game/x64/data/real.meta", own() + "\n\ncamp"}, {metaFile, "<link:real.meta>"}}
        << "" << 0 << QStringList{"create Other other", "public"}
        << QStringList{"Private: (Other)  |  Lobbies: 2  |  Using default XML", "Public  |  Lobbies: 2  |  Using default XML"}
        << Files{{metaFile, "<link:game/x64/data/real.meta>"}, {"data/Other.lobby", native("pass=other\nlines=2\n")},
                 {"game/x64/data/real.meta", "the game's own meta file"}};
    // A game installed by another account: the meta file is writable but its
    // folder takes no temporary file, so the shorter code is written in place.
    QTest::newRow("x64/data refuses new files")
        << Files{{"data/Short.lobby", "pass=x\nlines=2\n"}, {"game/x64/data", readOnlyDir}} << "" << 0
        << QStringList{"select Short", "use"}
        << QStringList{"Private (Camp)  |  Lobbies: 2  |  Using default XML", "Private (Short)  |  Lobbies: 2  |  Using default XML"}
        << Files{{metaFile, native(own() + "\n\nx")}};
#endif
    // clang-format on
}

// Each case ends with the documented status after every step, the files it
// names as they are, and nothing changed outside "data" and the game's
// x64/data folder.
void FailuresTest::matrix()
{
    QFETCH(Files, changes);
    QFETCH(QString, removedWhileOpen);
    QFETCH(int, fileSizeLimit);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, statuses);
    QFETCH(Files, after);

#ifdef Q_OS_UNIX
    if (geteuid() == 0 && changes.values().contains(readOnlyDir))
        QSKIP("root ignores folder permissions; CTest runs this row again as nobody");
#endif
    apply(baseFiles());
    apply(changes);
    // Gives write permission back so that the temporary directory can go.
    const auto reopen = qScopeGuard([&changes] {
        for (auto it = changes.begin(); it != changes.end(); ++it) {
            if (it.value() == readOnlyDir)
                QFile::setPermissions(it.key(), QFile::permissions(it.key()) | QFile::WriteOwner);
        }
    });
    const StartupSettings settings = loadStartupSettings();
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    window.show();
    if (!removedWhileOpen.isEmpty())
        QDir(removedWhileOpen).removeRecursively();
    const Files before = snapshot();

    QStringList shown;
    {
#ifdef Q_OS_UNIX
        const FileSizeLimit diskFull(fileSizeLimit);
#else
        if (fileSizeLimit > 0)
            QSKIP("needs a file size limit");
#endif
        for (const QString &step : steps) {
            run(window, step);
            shown << window.findChild<QStatusBar *>("statusbar")->currentMessage();
        }
    }
    beforeReplacingFile = nullptr;
    QCOMPARE(shown, statuses);
    const Files now = snapshot();
    for (auto it = now.begin(); it != now.end(); ++it)
        QVERIFY2(before.contains(it.key()) || after.contains(it.key()), qPrintable(it.key()));
    if (fileSizeLimit > 0)
        QCOMPARE(now, before);
    QCOMPARE(outsideOwnFolders(now), outsideOwnFolders(before));
    for (auto it = after.begin(); it != after.end(); ++it)
        QCOMPARE(now.value(it.key(), "<missing>"), it.value());
}

void FailuresTest::administrator_data()
{
    // clang-format off
    QTest::addColumn<bool>("locked");
    QTest::addColumn<Files>("changes");
    QTest::addColumn<int>("fileSizeLimit");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<Files>("after");

    const Files other{{"data/Other.lobby", "pass=other\nlines=3\n"}};
    const Files noBackup{{metaFile + ".original", "<remove>"}};
    const QString camp = "Private (Camp)  |  Lobbies: 1  |  Using default XML";
    const QString denied = "Could not change @/game/x64/data/startup.meta: access denied.";
    const QString declined = " The administrator prompt was declined.";

    QTest::newRow("use") << true << other << 0 << QStringList{"select Other", "use"} << true
        << QStringList{"--game-file write <temp> <meta>"} << "Private (Other)  |  Lobbies: 2  |  Using default XML" << ""
        << Files{{metaFile, native(own() + "\n\n\nother")}};
    QTest::newRow("use, declined") << true << other << 0 << QStringList{"select Other", "use"} << false
        << QStringList{"--game-file write <temp> <meta>"} << "Could not access meta file.  |  Lobbies: 2  |  Using default XML"
        << denied + declined << Files{{metaFile, own() + "\n\ncamp"}};
    QTest::newRow("use, declined, then allowed by the folder") << true << other << 0
        << QStringList{"select Other", "use", "unlock", "use"} << false << QStringList{"--game-file write <temp> <meta>"}
        << "Private (Other)  |  Lobbies: 2  |  Using default XML" << "" << Files{{metaFile, native(own() + "\n\n\nother")}};
    QTest::newRow("backup") << true << noBackup << 0 << QStringList{"choose game"} << true
        << QStringList{"--game-file write <meta> <meta>.original"} << camp << ""
        << Files{{metaFile + ".original", own() + "\n\ncamp"}};
    // What the file mode says as administrator is said in the same words.
    QTest::newRow("public, the disk full as administrator") << true << Files() << 8 << QStringList{"public"} << true
        << QStringList{"--game-file write <meta>.original <meta>"} << camp
        << denied + " As administrator it failed too: not every byte could be written; the disk may be full."
        << Files{{metaFile, own() + "\n\ncamp"}};
    QTest::newRow("public without backup, declined") << true << noBackup << 0 << QStringList{"public"} << false
        << QStringList{"--game-file remove <meta>"} << camp
        << "Could not delete @/game/x64/data/startup.meta: access denied." + declined << Files{{metaFile, own() + "\n\ncamp"}};
    QTest::newRow("clear, the backup a link") << true
        << Files{{"elsewhere", "x"}, {metaFile + ".original", "<link:../../../elsewhere>"}} << 0 << QStringList{"clear"}
        << true << QStringList{"--game-file remove <meta>.original"} << camp
        << "Could not delete @/game/x64/data/startup.meta.original: access denied. As administrator it was refused too: "
           "the path leads through a link." << Files{{metaFile + ".original", "<link:elsewhere>"}};
    QTest::newRow("missing folder is no refusal") << false << Files() << 0 << QStringList{"gone game/x64/data", "use"} << true
        << QStringList() << "Could not access meta file.  |  Lobbies: 1  |  Using default XML"
        << "Could not change @/game/x64/data/startup.meta: its folder does not exist." << Files{{metaFile, "<missing>"}};
    // Other failures are no refusal: no prompt, and the tooltip says what happened.
    QTest::newRow("disk full: backup") << false << noBackup << 8 << QStringList{"choose game"} << true << QStringList()
        << camp << "Could not change @/game/x64/data/startup.meta.original: not every byte could be written; the disk may be full."
                   "\nCould not save the settings in @/data/settings.txt: not every byte could be written; the disk may be full."
        << Files{{metaFile + ".original", "<missing>"}};
    QTest::newRow("disk full: public") << false << Files() << 8 << QStringList{"public"} << true << QStringList()
        << camp << "Could not change @/game/x64/data/startup.meta: not every byte could be written; the disk may be full." << Files{{metaFile, own() + "\n\ncamp"}};
    QTest::newRow("clear: the backup is a folder") << false << Files{{metaFile + ".original", "<dir>"}} << 0
        << QStringList{"clear"} << true << QStringList() << camp << "Could not delete @/game/x64/data/startup.meta.original: it is a folder."
        << Files{{metaFile + ".original", "<dir>"}};
    QTest::newRow("clear, the folder refuses deletion") << false << Files{{"game/x64/data", readOnlyDir}} << 0
        << QStringList{"clear"} << true << QStringList{"--game-file remove <meta>.original"} << camp << ""
        << Files{{metaFile + ".original", "<missing>"}};
    // clang-format on
}

// A change refused for lack of permission goes to the file mode as
// administrator, once, and the status line's tooltip says why one failed.
void FailuresTest::administrator()
{
    QFETCH(bool, locked);
    QFETCH(Files, changes);
    QFETCH(int, fileSizeLimit);
    QFETCH(QStringList, steps);
    QFETCH(bool, allowed);
    QFETCH(QStringList, calls);
    QFETCH(QString, status);
    QFETCH(QString, tooltip);
    QFETCH(Files, after);

    const bool refusing = locked || changes.values().contains(readOnlyDir);
#ifdef Q_OS_UNIX
    if (refusing && geteuid() == 0)
        QSKIP("root ignores folder permissions; CTest runs this row again as nobody");
#else
    if (refusing)
        QSKIP("folders refuse through Unix permissions here; refusedByWindows tries Windows' own");
    if (fileSizeLimit > 0)
        QSKIP("needs a file size limit");
#endif
    apply(baseFiles());
    apply(changes);
    const StartupSettings settings = loadStartupSettings();
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    if (locked)
        lockGameFolder(true);
    const auto unlock = qScopeGuard([] { lockGameFolder(false); });

    const QString metaArgument = QDir::toNativeSeparators(QDir(metaFile).absolutePath());
    QStringList seen;
    QStringList temporaryFiles;
    window.setElevatedRunner([&](const QStringList &arguments) {
        QStringList shown = arguments;
        // A new meta file comes in a temporary file, gone afterwards.
        if (arguments.value(1) == "write" && !arguments.value(2).startsWith(metaArgument)) {
            temporaryFiles << arguments[2];
            shown[2] = "<temp>";
        }
        seen << shown.join(' ').replace(metaArgument, "<meta>");
        if (!allowed)
            return ElevatedRun{ElevatedRun::Declined, -1};
        // As administrator the folder's refusal does not count.
        lockGameFolder(false);
        const int exitCode = runGameFileMode(arguments.mid(1));
        lockGameFolder(locked);
        return ElevatedRun{ElevatedRun::Finished, exitCode};
    });
    {
#ifdef Q_OS_UNIX
        const FileSizeLimit diskFull(fileSizeLimit);
#endif
        for (const QString &step : steps)
            run(window, step);
    }

    QCOMPARE(seen, calls);
    QCOMPARE(window.findChild<QStatusBar *>("statusbar")->currentMessage(), status);
    QCOMPARE(window.findChild<QStatusBar *>("statusbar")->toolTip(),
             QDir::toNativeSeparators(tooltip.replace("@", QDir::currentPath())));
    for (const QString &file : temporaryFiles)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
    const Files now = snapshot();
    for (auto it = after.begin(); it != after.end(); ++it)
        QCOMPARE(now.value(it.key(), "<missing>"), it.value());
}

QTEST_MAIN(FailuresTest)
#include "tst_failures.moc"
