#include "gui/gui.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

namespace {

using Files = QMap<QString, QByteArray>;

void writeFiles(const Files &files)
{
    for (auto it = files.begin(); it != files.end(); ++it)
        writeBytes(it.key(), it.value());
}

QByteArray meta(const char *breaks, const char *passphrase)
{
    return kDefaultMetaTemplate.toUtf8() + breaks + passphrase;
}

struct Shown
{
    QString selected, name, passphrase, button;
    int lines = 0;
};

Shown shown(GUI &window)
{
    return {window.findChild<QComboBox *>("lobbyList")->currentText(),
            window.findChild<QLineEdit *>("lobbyNameField")->text(),
            window.findChild<QLineEdit *>("passphraseField")->text(),
            window.findChild<QPushButton *>("createButton")->text(),
            window.findChild<QSpinBox *>("nrOfLinesField")->value()};
}

} // namespace

class WindowTest : public WorkDirTest
{
    Q_OBJECT

private slots:
    void refresh_data();
    void refresh();
    void listAndNameField_data();
    void listAndNameField();
};

void WindowTest::refresh_data()
{
    // clang-format off
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("gamePath");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("status");

    const QString metaFile = "game/x64/data/startup.meta";
    QTest::newRow("no game directory")
        << Files{{"data/A.lobby", "pass=a\nlines=2\n"}} << "" << "" << "" << 2
        << "Public  |  Lobbies: 1  |  Using default XML";
    QTest::newRow("no lobby has the code")
        << Files{{"data/A.lobby", "pass=a\nlines=2\n"}, {metaFile, meta("\n\n", "zzz")}} << "game" << "" << "zzz" << 2
        << "Private (unknown lobby)  |  Lobbies: 1  |  Using default XML";
    QTest::newRow("first of two with the code")
        << Files{{"data/b.lobby", "pass=x\nlines=2\n"}, {"data/A.lobby", "pass=x\nlines=2\n"}, {metaFile, meta("\n\n", "x")}}
        << "game" << "A" << "x" << 2 << "Private (A)  |  Lobbies: 2  |  Using default XML";
    QTest::newRow("other line count is no match")
        << Files{{"data/A.lobby", "pass=x\nlines=3\n"}, {"data/B.lobby", "pass=x\nlines=2\n"}, {metaFile, meta("\n\n", "x")}}
        << "game" << "B" << "x" << 2 << "Private (B)  |  Lobbies: 2  |  Using default XML";
    QTest::newRow("lobby without count takes the file's")
        << Files{{"data/A.lobby", "pass=x\n"}, {metaFile, meta("\n\n\n\n\n", "x")}} << "game" << "A" << "x" << 5
        << "Private (A)  |  Lobbies: 1  |  Using default XML";
    QTest::newRow("codes are case-sensitive")
        << Files{{"data/A.lobby", "pass=X\nlines=1\n"}, {metaFile, meta("\n", "x")}} << "game" << "" << "x" << 2
        << "Private (unknown lobby)  |  Lobbies: 1  |  Using default XML";
    QTest::newRow("custom template")
        << Files{{"data/A.lobby", "pass=x\nlines=1\n"}, {metaFile, "<mine>\n" + kMetaClosingTag.toUtf8() + "\nx"}}
        << "game" << "A" << "x" << 1 << "Private (A)  |  Lobbies: 1  |  Using custom XML";
    // clang-format on
}

void WindowTest::refresh()
{
    QFETCH(Files, files);
    QFETCH(QString, gamePath);
    QFETCH(QString, selected);
    QFETCH(QString, passphrase);
    QFETCH(int, lines);
    QFETCH(QString, status);

    writeFiles(files);
    GUI window(nullptr, gamePath, 2);
    const Shown now = shown(window);
    QCOMPARE(now.selected, selected);
    QCOMPARE(now.name, selected);
    QCOMPARE(now.passphrase, passphrase);
    QCOMPARE(now.lines, lines);
    QCOMPARE(now.button, selected.isEmpty() ? "Create New Lobby" : "Update Lobby Code");
    QCOMPARE(window.findChild<QStatusBar *>("statusbar")->currentMessage(), status);
    QCOMPARE(window.findChild<QComboBox *>("lobbyList")->itemText(0), QString());
}

void WindowTest::listAndNameField_data()
{
    // clang-format off
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("button");

    // The window starts with A active: A shows "aa" and 3 lines.
    QTest::newRow("type another lobby") << QStringList{"type B"} << "B" << "B" << "bb" << 4 << "Update Lobby Code";
    QTest::newRow("retype the current one") << QStringList{"type Ax", "type A"} << "A" << "A" << "aa" << 3 << "Create New Lobby";
    QTest::newRow("names are case-sensitive") << QStringList{"type b"} << "A" << "b" << "aa" << 3 << "Create New Lobby";
    QTest::newRow("lobby with empty code") << QStringList{"type E"} << "A" << "E" << "aa" << 3 << "Update Lobby Code";
    QTest::newRow("select another") << QStringList{"select B"} << "B" << "B" << "bb" << 4 << "Update Lobby Code";
    QTest::newRow("select a lobby without file") << QStringList{"select Gone"} << "Gone" << "Gone" << "" << 3 << "Create New Lobby";
    QTest::newRow("select the blank entry") << QStringList{"select "} << "" << "" << "" << 3 << "Create New Lobby";
    QTest::newRow("back and forth") << QStringList{"select B", "type A", "select B"} << "B" << "B" << "bb" << 4 << "Update Lobby Code";
    // clang-format on
}

// The list and the name field drive each other through their signals; each
// must stop the other at the right point or the fields end up wrong.
void WindowTest::listAndNameField()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, selected);
    QFETCH(QString, name);
    QFETCH(QString, passphrase);
    QFETCH(int, lines);
    QFETCH(QString, button);

    writeFiles({{"data/A.lobby", "pass=aa\nlines=3\n"},
                {"data/B.lobby", "pass=bb\nlines=4\n"},
                {"data/E.lobby", "pass=\nlines=9\n"},
                {"data/Gone.lobby", "pass=gone\n"},
                {"game/x64/data/startup.meta", meta("\n\n\n", "aa")}});
    GUI window(nullptr, "game", 2);
    QFile::remove("data/Gone.lobby");
    auto *list = window.findChild<QComboBox *>("lobbyList");
    for (const QString &step : steps) {
        if (step.startsWith("select "))
            list->setCurrentIndex(list->findText(step.mid(7)));
        else
            window.findChild<QLineEdit *>("lobbyNameField")->setText(step.mid(5));
    }
    const Shown now = shown(window);
    QCOMPARE(now.selected, selected);
    QCOMPARE(now.name, name);
    QCOMPARE(now.passphrase, passphrase);
    QCOMPARE(now.lines, lines);
    QCOMPARE(now.button, button);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
