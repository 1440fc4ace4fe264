#include "gui/gui.h"
#include "testsupport.h"

#include <QSpinBox>
#include <QStringEncoder>

class LobbyFilesTest : public WorkDirTest
{
    Q_OBJECT

private slots:
    void readLobbyFile_data();
    void readLobbyFile();
    void listing_data();
    void listing();
    void writeLobbyFile_data();
    void writeLobbyFile();
};

void LobbyFilesTest::readLobbyFile_data()
{
    // clang-format off
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<uint>("preset");
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<uint>("lineCount");

    // The spin box shows 6 throughout; "<missing>" means there is no file and
    // "<dir>" a folder in its place.
    QTest::newRow("two lines") << QByteArray("pass=abc\nlines=5\n") << 0u << "abc" << 5u;
    QTest::newRow("CR LF") << QByteArray("pass=abc\r\nlines=5\r\n") << 0u << "abc" << 5u;
    QTest::newRow("no pass key") << QByteArray("abc def\nlines=5\n") << 7u << "abc def" << 7u;
    QTest::newRow("bare pass key") << QByteArray("pass=\nlines=4\n") << 0u << "" << 4u;
    QTest::newRow("one line") << QByteArray("pass=xyz\n") << 3u << "xyz" << 3u;
    QTest::newRow("one line, no line end") << QByteArray("pass=xyz") << 0u << "xyz" << 0u;
    QTest::newRow("second line without key") << QByteArray("pass=xyz\nfoo\n") << 0u << "xyz" << 6u;
    QTest::newRow("letters after lines=") << QByteArray("pass=x\nlines=abc\n") << 9u << "x" << 0u;
    QTest::newRow("negative count") << QByteArray("pass=x\nlines=-2\n") << 9u << "x" << 0u;
    QTest::newRow("keys inside lines") << QByteArray("# pass=abc\n# lines=3\n") << 0u << "abc" << 3u;
    QTest::newRow("= and spaces kept") << QByteArray("pass= a=b pass= c \nlines=2\n") << 0u << " a=b pass= c " << 2u;
    QTest::newRow("third line ignored") << QByteArray("pass=a\nlines=2\nlines=9\n") << 0u << "a" << 2u;
    QTest::newRow("empty file") << QByteArray("") << 4u << "" << 4u;
    QTest::newRow("missing file") << QByteArray("<missing>") << 9u << "" << 9u;
    QTest::newRow("folder instead of file") << QByteArray("<dir>") << 9u << "" << 9u;

    // What the text decoding makes of the bytes.
    const QString accented = QStringLiteral("\u00e9t\u00e9");
    auto utf16 = [](QStringConverter::Encoding encoding, const QString &text) -> QByteArray {
        return QStringEncoder(encoding, QStringEncoder::Flag::WriteBom).encode(text);
    };
    QTest::newRow("UTF-8 byte order mark") << QByteArray("\xef\xbb\xbfpass=abc\nlines=5\n") << 0u << "abc" << 5u;
    QTest::newRow("UTF-16 LE with mark") << utf16(QStringConverter::Utf16LE, "pass=" + accented + "\nlines=3\n") << 0u << accented << 3u;
    QTest::newRow("UTF-16 BE with mark") << utf16(QStringConverter::Utf16BE, "pass=" + accented + "\r\nlines=3\r\n") << 0u << accented << 3u;
    QTest::newRow("CR only: one line without CRs") << QByteArray("pass=a\rlines=3\r") << 8u << "alines=3" << 8u;
    QTest::newRow("invalid UTF-8 and NUL") << QByteArray("pass=\xff\0a\nlines=2\n", 17) << 0u << QString("\ufffd") + QChar(0) + "a" << 2u;
    // A two-byte letter split by the end of the first 16 KiB read.
    QTest::newRow("letter across reads") << "pass=" + QByteArray(16378, 'x') + "\xc3\xa9\nlines=4\n" << 0u
        << QString(16378, 'x') + "\u00e9" << 4u;
    // clang-format on
}

void LobbyFilesTest::readLobbyFile()
{
    QFETCH(QByteArray, content);
    QFETCH(uint, preset);
    QFETCH(QString, passphrase);
    QFETCH(uint, lineCount);

    QDir().mkdir("data");
    if (content == "<dir>")
        QDir().mkdir("data/Saloon.lobby");
    else if (content != "<missing>")
        writeBytes("data/Saloon.lobby", content);
    GUI window(nullptr, QString(), 6);
    unsigned count = preset;
    QCOMPARE(window.readLobbyFile("Saloon", count), passphrase);
    QCOMPARE(count, lineCount);
}

void LobbyFilesTest::listing_data()
{
    // clang-format off
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("no data directory") << QStringList() << QStringList();
    QTest::newRow("order ignores case") << QStringList{"b.lobby", "C.lobby", "a.lobby"} << QStringList{"a", "b", "C"};
    QTest::newRow("suffix in capitals") << QStringList{"Posse.LOBBY"} << QStringList{"Posse"};
    QTest::newRow("punctuation and accents")
        << QStringList{"_x.lobby", "Zed.lobby", "alpha.lobby", "[b].lobby", "\u00c9mile.lobby", "ember.lobby", "10.lobby", "9.lobby"}
        << QStringList{"10", "9", "[b]", "_x", "alpha", "ember", "Zed", "\u00c9mile"};
    QTest::newRow("inner dots kept") << QStringList{"two.words.lobby"} << QStringList{"two.words"};
    QTest::newRow("other files and folders") << QStringList{"notes.txt", "folder.lobby/", "x.lobby.bak"} << QStringList();
#ifdef Q_OS_WIN
    QTest::newRow("dot file lists") << QStringList{".lobby"} << QStringList{""};
#else
    QTest::newRow("dot file is hidden") << QStringList{".lobby"} << QStringList();
#endif
    // clang-format on
}

void LobbyFilesTest::listing()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, names);

    for (const QString &file : files) {
        if (file.endsWith('/'))
            QDir().mkpath("data/" + file);
        else
            writeBytes("data/" + file, "pass=x\n");
    }
    QStringList listed;
    for (const QString &file : listLobbies())
        listed << lobbyDisplayName(file);
    QCOMPARE(listed, names);
    // The listing must keep QDir's own filter and order.
    QCOMPARE(listLobbies(), QDir("data").entryList({"*.lobby"}, QDir::Files));
}

void LobbyFilesTest::writeLobbyFile_data()
{
    // clang-format off
    QTest::addColumn<bool>("dataDir");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("written");

    QTest::newRow("new file") << true << QByteArray() << true;
    QTest::newRow("longer file replaced") << true << QByteArray("pass=a much longer code\nlines=12\n") << true;
    QTest::newRow("no data directory") << false << QByteArray() << false;
    // clang-format on
}

void LobbyFilesTest::writeLobbyFile()
{
    QFETCH(bool, dataDir);
    QFETCH(QByteArray, before);
    QFETCH(bool, written);

    const QString name = QStringLiteral("Camp \u00e9");
    if (dataDir)
        QDir().mkdir("data");
    if (!before.isEmpty())
        writeBytes(lobbyFilePath(name), before);

    QCOMPARE(::writeLobbyFile(name, "c\u00f6de = 1", "7"), written);
    const QByteArray after = written            ? native("pass=c\xc3\xb6"
                                                                    "de = 1\nlines=7\n")
                             : before.isEmpty() ? "<missing>"
                                                : before;
    QCOMPARE(readBytes(lobbyFilePath(name)), after);
    if (dataDir)
        QCOMPARE(entries("data").size(), after == "<missing>" ? 0 : 1);
}

QTEST_MAIN(LobbyFilesTest)
#include "tst_lobbyfiles.moc"
