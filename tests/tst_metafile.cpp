#include "gui/gui.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QSpinBox>
#include <QStatusBar>

namespace {

const QString metaFile = QStringLiteral("game/x64/data/startup.meta");
const QString backupFile = metaFile + QStringLiteral(".original");
const QByteArray tag = "</CDataFileMgr__ContentsOfDataFileXml>";

QByteArray defaultTemplate()
{
    return kDefaultMetaTemplate.toUtf8();
}

bool statusSaysDefault(GUI &window)
{
    return window.findChild<QStatusBar *>("statusbar")->currentMessage().endsWith("Using default XML");
}

} // namespace

class MetaFileTest : public WorkDirTest
{
    Q_OBJECT

private slots:
    void builtInTemplate();
    void captureAndReadBack_data();
    void captureAndReadBack();
    void writeMeta_data();
    void writeMeta();
    void failedWrites_data();
    void failedWrites();
    void backupAndRestore();
    void noGameDirectory();
};

void MetaFileTest::builtInTemplate()
{
    QCOMPARE(kMetaClosingTag.size(), 38);
    QCOMPARE(defaultTemplate().size(), 1448);
    QCOMPARE(defaultTemplate().count('\n'), 45);
    QVERIFY(defaultTemplate().endsWith(tag));
    QCOMPARE(QCryptographicHash::hash(defaultTemplate(), QCryptographicHash::Sha256).toHex(),
             "cfc4ebcccf58bf98c3f66b2aa1f8da0878b9b040e0685e37340f7b3d8c5add75");
}

void MetaFileTest::captureAndReadBack_data()
{
    // clang-format off
    QTest::addColumn<QByteArray>("meta");
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<uint>("lineCount");
    QTest::addColumn<QByteArray>("capturedTemplate");

    const QByteArray own = defaultTemplate();
    const QByteArray custom = "<?xml?>\n<root/>\n" + tag;
    // "<missing>" means no meta file; a line count of 77 means "left as preset".
    QTest::newRow("own file, 2 breaks") << own + "\n\nABC" << "ABC" << 2u << own;
    QTest::newRow("own file, 1 break, CR LF") << QByteArray(own).replace("\n", "\r\n") + "\r\nABC" << "ABC" << 1u << own;
    QTest::newRow("own file, 5 breaks") << own + "\n\n\n\n\nA B" << "A B" << 5u << own;
    QTest::newRow("custom template") << custom + "\n\nCODE\n" << "CODE" << 2u << custom;
    QTest::newRow("text before the template") << "junk\n" + own + "\nP" << "P" << 1u << "junk\n" + own;
    QTest::newRow("passphrase of spaces") << own + "\n   " << "   " << 1u << own;
    QTest::newRow("only blank lines after tag") << own + "\n\n\n" << "" << 2u << own;
    QTest::newRow("no meta file") << QByteArray("<missing>") << "" << 77u << own;
    QTest::newRow("empty file") << QByteArray() << "" << 1u << own;
    QTest::newRow("only blank lines") << QByteArray("\n\n\n") << "" << 1u << own;
    QTest::newRow("tag with trailing spaces") << "<a>\n" + tag + "  \n\nP" << "" << 1u << own;
    QTest::newRow("unrelated text") << QByteArray("hello\nworld") << "" << 1u << own;
    // clang-format on
}

// A file without the closing tag keeps the built-in template: whatever is
// written after such a template could never be read back.
void MetaFileTest::captureAndReadBack()
{
    QFETCH(QByteArray, meta);
    QFETCH(QString, passphrase);
    QFETCH(uint, lineCount);
    QFETCH(QByteArray, capturedTemplate);

    QDir().mkpath("game/x64/data");
    if (meta != "<missing>")
        writeBytes(metaFile, meta);
    GUI window(nullptr, "game", 2);
    unsigned count = 77;
    QCOMPARE(window.readActivePassphrase(count), passphrase);
    QCOMPARE(count, lineCount);
    QCOMPARE(statusSaysDefault(window), capturedTemplate == defaultTemplate());

    window.findChild<QSpinBox *>("nrOfLinesField")->setValue(2);
    QVERIFY(window.writeMeta("NEW"));
    QCOMPARE(readBytes(metaFile), native(capturedTemplate + "\n\nNEW"));
}

void MetaFileTest::writeMeta_data()
{
    // clang-format off
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("passphrase");

    QTest::newRow("1 break") << 1 << "abc";
    QTest::newRow("2 breaks, UTF-8") << 2 << "\u00e9\u00e8 =x";
    QTest::newRow("99 breaks") << 99 << "z";
    // clang-format on
}

void MetaFileTest::writeMeta()
{
    QFETCH(int, lines);
    QFETCH(QString, passphrase);

    writeBytes(metaFile, "a much longer old file\n" + QByteArray(4000, 'x'));
    GUI window(nullptr, "game", lines);
    QCOMPARE(window.lineBreaks(), QString(lines, '\n'));
    QVERIFY(window.writeMeta(passphrase));
    QCOMPARE(readBytes(metaFile), native(defaultTemplate() + QByteArray(lines, '\n')) + passphrase.toUtf8());
    unsigned count = 0;
    QCOMPARE(window.readActivePassphrase(count), passphrase);
    QCOMPARE(count, uint(lines));
}

void MetaFileTest::failedWrites_data()
{
    // clang-format off
    QTest::addColumn<QString>("gamePath");

    QTest::newRow("no game directory") << "";
    QTest::newRow("no x64/data") << "elsewhere";
    // clang-format on
}

void MetaFileTest::failedWrites()
{
    QFETCH(QString, gamePath);

    const QByteArray before = native(defaultTemplate() + "\nOLD");
    writeBytes(metaFile, before);
    QDir().mkdir("elsewhere");
    GUI window(nullptr, gamePath, 1);

    QVERIFY(!window.writeMeta("NEW"));
    QCOMPARE(readBytes(metaFile), before);
    QCOMPARE(entries("game/x64/data"), QStringList{"startup.meta"});
    QCOMPARE(entries("elsewhere"), QStringList());
}

void MetaFileTest::backupAndRestore()
{
    writeBytes(metaFile, "ORIGINAL");
    GUI window(nullptr, "game", 2);

    QVERIFY(window.backupMeta());
    QCOMPARE(readBytes(backupFile), "ORIGINAL");
    QVERIFY(window.writeMeta("X"));
    QVERIFY(window.backupMeta());
    QCOMPARE(readBytes(backupFile), "ORIGINAL");

    window.restoreMeta();
    QCOMPARE(readBytes(metaFile), "ORIGINAL");
    QCOMPARE(readBytes(backupFile), "ORIGINAL");

    QFile::remove(metaFile);
    window.restoreMeta();
    QCOMPARE(readBytes(metaFile), "<missing>");
    QVERIFY(!window.backupMeta());

    window.removeBackup();
    QCOMPARE(entries("game/x64/data"), QStringList());
}

void MetaFileTest::noGameDirectory()
{
    writeBytes(".original", "not ours");
    GUI window(nullptr, QString(), 2);
    QVERIFY(statusSaysDefault(window));
    QVERIFY(!window.backupMeta());
    window.restoreMeta();
    window.removeBackup();
    QCOMPARE(readBytes(".original"), "not ours");
}

QTEST_MAIN(MetaFileTest)
#include "tst_metafile.moc"
