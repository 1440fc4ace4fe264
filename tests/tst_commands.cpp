#include "gui/gui.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

#include <memory>

namespace {

const QString metaFile = QStringLiteral("game/x64/data/startup.meta");
const QString backupFile = metaFile + QStringLiteral(".original");

} // namespace

class CommandsTest : public WorkDirTest
{
    Q_OBJECT

private slots:
    void wholeJob();
    void failures_data();
    void failures();
    void choosingTheGameFolder_data();
    void choosingTheGameFolder();

private:
    void click(const char *button) { QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton); }
    void type(const char *field, const QString &text) { window->findChild<QLineEdit *>(field)->setText(text); }
    QString status() const { return window->findChild<QStatusBar *>("statusbar")->currentMessage(); }

    std::unique_ptr<GUI> window;
};

void CommandsTest::wholeJob()
{
    const QByteArray original = "<the game's own>\n</CDataFileMgr__ContentsOfDataFileXml>\n";
    writeBytes(metaFile, original);
    QDir().mkdir("data");
    window = std::make_unique<GUI>(nullptr, QString(), 2);
    window->show();
    const QString game = QDir("game").absolutePath();
    const QByteArray own = kDefaultMetaTemplate.toUtf8();
    auto *lines = window->findChild<QSpinBox *>("nrOfLinesField");
    auto *list = window->findChild<QComboBox *>("lobbyList");
    auto *clearBackup = window->findChild<QPushButton *>("clearBackup");
    QCOMPARE(status(), "Public  |  Lobbies: 0  |  Using default XML");

    Chooser seen = chooseDirectory(*window, QString());
    QCOMPARE(seen.caption, "Select RDR2 root directory");
    QCOMPARE(entries("data"), QStringList());
    QCOMPARE(entries("game/x64/data"), QStringList{"startup.meta"});

    chooseDirectory(*window, game);
    QCOMPARE(readBytes(backupFile), original);
    QCOMPARE(readBytes("data/settings.txt"), native("path=" + game.toUtf8() + "\nlines=2\n"));
    QCOMPARE(window->findChild<QPushButton *>("setPathButton")->text(), "Change RDR2 Directory");
    QVERIFY(window->findChild<QPushButton *>("setPathButton")->toolTip().contains(QDir::toNativeSeparators(game)));
    QVERIFY(clearBackup->isEnabled());

    type("lobbyNameField", "Posse");
    type("passphraseField", "abc123");
    lines->setValue(3);
    click("createButton");
    QCOMPARE(readBytes("data/Posse.lobby"), native("pass=abc123\nlines=3\n"));
    QCOMPARE(readBytes(metaFile), native(own + "\n\n\n") + "abc123");
    QCOMPARE(status(), "Private: (Posse)  |  Lobbies: 1  |  Using default XML");
    QCOMPARE(list->currentText(), "Posse");
    QCOMPARE(window->findChild<QPushButton *>("createButton")->text(), "Update Lobby Code");

    type("lobbyNameField", "Gang");
    type("passphraseField", "xyz");
    lines->setValue(1);
    click("createButton");
    QCOMPARE(readBytes(metaFile), native(own + "\n") + "xyz");
    QCOMPARE(status(), "Private: (Gang)  |  Lobbies: 2  |  Using default XML");

    list->setCurrentIndex(list->findText("Posse"));
    QCOMPARE(lines->value(), 3);
    lines->setValue(7);
    click("useSelectedButton");
    QCOMPARE(lines->value(), 3);
    QCOMPARE(readBytes(metaFile), native(own + "\n\n\n") + "abc123");
    QCOMPARE(status(), "Private (Posse)  |  Lobbies: 2  |  Using default XML");

    seen = chooseDirectory(*window, game);
    QCOMPARE(seen.startDirectory, game);
    QCOMPARE(readBytes(backupFile), original);

    click("removeSelectedButton");
    QCOMPARE(readBytes("data/Posse.lobby"), "<missing>");
    QCOMPARE(window->findChild<QLineEdit *>("passphraseField")->text(), "abc123");
    QCOMPARE(status(), "Private (unknown lobby)  |  Lobbies: 1  |  Using default XML");

    click("resetButton");
    QCOMPARE(readBytes(metaFile), original);
    QCOMPARE(readBytes(backupFile), original);
    QCOMPARE(status(), "Public  |  Lobbies: 1  |  Using default XML");

    click("clearBackup");
    QVERIFY(!clearBackup->isEnabled());
    QCOMPARE(entries("game/x64/data"), QStringList{"startup.meta"});
    QCOMPARE(entries("data"), QStringList({"Gang.lobby", "settings.txt"}));
    QCOMPARE(status(), "Public  |  Lobbies: 1  |  Using default XML");
}

void CommandsTest::failures_data()
{
    // clang-format off
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<bool>("dataDir");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("stored");

    const QString none = "Public  |  Lobbies: 1  |  Using default XML";
    const QString noMeta = "Could not access meta file.  |  Lobbies: 1  |  Using default XML";
    const QString noLobby = "Could not create new lobby.  |  Lobbies: 1  |  Using default XML";
    QTest::newRow("use without game directory") << "Old" << true << "" << true << "useSelectedButton"
        << noMeta << QStringList{"Old.lobby"};
    QTest::newRow("create without game directory") << "New" << true << "c" << true << "createButton"
        << noMeta << QStringList{"New.lobby", "Old.lobby"};
    QTest::newRow("name leading out of data") << "../x" << false << "c" << true << "createButton"
        << noLobby << QStringList{"Old.lobby"};
    QTest::newRow("name with backslash") << "..\\x" << false << "c" << true << "createButton"
        << noLobby << QStringList{"Old.lobby"};
    QTest::newRow("name with control character") << "a\tb" << false << "c" << true << "createButton"
        << noLobby << QStringList{"Old.lobby"};
    QTest::newRow("name too long for a file") << QString(250, 'w') << false << "c" << true << "createButton"
        << noLobby << QStringList{"Old.lobby"};
    QTest::newRow("data removed") << "New" << true << "c" << false << "createButton" << noLobby << QStringList();
    QTest::newRow("empty code does nothing") << "New" << true << "" << true << "createButton" << none
        << QStringList{"Old.lobby"};
    QTest::newRow("empty name does nothing") << "" << true << "c" << true << "createButton" << none
        << QStringList{"Old.lobby"};

    // Windows keeps none of the first names as a file of its own, while
    // elsewhere they are ordinary names, stored although no game is found.
    // Wine refuses them by itself, so the rule is checked, not only the file.
#ifdef Q_OS_WIN
    const bool windows = true;
#else
    const bool windows = false;
#endif
    auto created = [&](const char *tag, const QString &name, bool safe, const QStringList &listed) {
        QTest::newRow(tag) << name << safe << "c" << true << "createButton" << (safe ? noMeta : noLobby)
                           << (safe ? listed : QStringList{"Old.lobby"});
    };
    created("stream of another file", "a:b", !windows, {"a:b.lobby", "Old.lobby"});
    created("a character NTFS refuses", "Posse?", !windows, {"Old.lobby", "Posse?.lobby"});
    created("device", "CON", !windows, {"CON.lobby", "Old.lobby"});
    created("device in lower case with extension", "con.x", !windows, {"con.x.lobby", "Old.lobby"});
    created("printer port", "LPT1", !windows, {"LPT1.lobby", "Old.lobby"});
    created("port with trailing space", "COM9 ", !windows, {"COM9 .lobby", "Old.lobby"});
    created("port with superscript digit", QStringLiteral("COM\u00b9"), !windows,
            {QStringLiteral("COM\u00b9.lobby"), "Old.lobby"});
    created("device name as prefix", "CONSOLE", true, {"CONSOLE.lobby", "Old.lobby"});
    created("port beyond 9", "COM10", true, {"COM10.lobby", "Old.lobby"});
    created("device name as suffix", "xCON", true, {"Old.lobby", "xCON.lobby"});
    created("device name with one more letter", "NULL", true, {"NULL.lobby", "Old.lobby"});
    // clang-format on
}

void CommandsTest::failures()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QFETCH(QString, passphrase);
    QFETCH(bool, dataDir);
    QFETCH(QString, button);
    QFETCH(QString, status);
    QFETCH(QStringList, stored);

    QCOMPARE(lobbyNameProblem(name).isEmpty(), safe);
    writeBytes("data/Old.lobby", "pass=old\nlines=2\n");
    window = std::make_unique<GUI>(nullptr, QString(), 2);
    auto *list = window->findChild<QComboBox *>("lobbyList");
    list->setCurrentIndex(list->findText("Old"));
    type("lobbyNameField", name);
    type("passphraseField", passphrase);
    if (!dataDir)
        QDir("data").removeRecursively();

    click(button.toLatin1());
    QCOMPARE(this->status(), status);
    // Why, in the tooltip.
    if (!safe)
        QCOMPARE(window->findChild<QStatusBar *>("statusbar")->toolTip(),
                 "Could not save the lobby \"" + name + "\": " + lobbyNameProblem(name) + ".");
    QCOMPARE(entries("data"), stored);
    QCOMPARE(entries("."), dataDir ? QStringList{"data"} : QStringList());
}

void CommandsTest::choosingTheGameFolder_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("game");
    // clang-format off
    QTest::newRow("the game's folder") << "game" << "game";
    QTest::newRow("its x64 folder") << "game/x64" << "game";
    QTest::newRow("its x64/data folder") << "game/x64/data" << "game";
    QTest::newRow("a folder without the game") << "other" << "other";
    // clang-format on
}

// The folder a player chose, or the game's folder above it; the status line
// then tells what that game's meta file holds, or why there is none.
void CommandsTest::choosingTheGameFolder()
{
    QFETCH(QString, chosen);
    QFETCH(QString, game);
    writeBytes("data/Camp.lobby", "pass=camp\nlines=2\n");
    writeBytes(metaFile, kDefaultMetaTemplate.toUtf8() + "\n\ncamp");
    QDir().mkdir("other");
    window = std::make_unique<GUI>(nullptr, QString(), 2);
    window->setGameRecords([] { return GameRecords(); });
    chooseDirectory(*window, chosen);

    const QString path = QDir(game).absolutePath();
    QCOMPARE(readBytes("data/settings.txt"), native("path=" + path.toUtf8() + "\nlines=2\n"));
    QVERIFY(window->findChild<QPushButton *>("setPathButton")->toolTip().contains(QDir::toNativeSeparators(path)));
    const bool found = game == "game";
    QCOMPARE(status(), (found ? "Private (Camp)" : "Public") + QString("  |  Lobbies: 1  |  Using default XML"));
    QCOMPARE(window->findChild<QStatusBar *>("statusbar")->toolTip(),
             found ? QString()
                   : QDir::toNativeSeparators(path
                                              + " holds no x64/data folder, where RDR2 reads its meta file. "
                                                "Choose the game's own folder, the one that holds RDR2.exe."));
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
