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
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<bool>("dataDir");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("stored");

    const QString none = "Public  |  Lobbies: 1  |  Using default XML";
    QTest::newRow("use without game directory") << "Old" << "" << true << "useSelectedButton"
        << "Could not access meta file.  |  Lobbies: 1  |  Using default XML" << QStringList{"Old.lobby"};
    QTest::newRow("create without game directory") << "New" << "c" << true << "createButton"
        << "Could not access meta file.  |  Lobbies: 1  |  Using default XML" << QStringList{"New.lobby", "Old.lobby"};
    QTest::newRow("name leading out of data") << "../x" << "c" << true << "createButton"
        << "Could not create new lobby.  |  Lobbies: 1  |  Using default XML" << QStringList{"Old.lobby"};
    QTest::newRow("name with backslash") << "..\\x" << "c" << true << "createButton"
        << "Could not create new lobby.  |  Lobbies: 1  |  Using default XML" << QStringList{"Old.lobby"};
    QTest::newRow("name with control character") << "a\tb" << "c" << true << "createButton"
        << "Could not create new lobby.  |  Lobbies: 1  |  Using default XML" << QStringList{"Old.lobby"};
    QTest::newRow("data removed") << "New" << "c" << false << "createButton"
        << "Could not create new lobby.  |  Lobbies: 1  |  Using default XML" << QStringList();
    QTest::newRow("empty code does nothing") << "New" << "" << true << "createButton" << none << QStringList{"Old.lobby"};
    QTest::newRow("empty name does nothing") << "" << "c" << true << "createButton" << none << QStringList{"Old.lobby"};
}

void CommandsTest::failures()
{
    QFETCH(QString, name);
    QFETCH(QString, passphrase);
    QFETCH(bool, dataDir);
    QFETCH(QString, button);
    QFETCH(QString, status);
    QFETCH(QStringList, stored);

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
    QCOMPARE(entries("data"), stored);
    QCOMPARE(entries("."), dataDir ? QStringList{"data"} : QStringList());
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
