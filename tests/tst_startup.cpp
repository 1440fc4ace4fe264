#include "app/settings.h"
#include "gui/gui.h"
#include "testsupport.h"

#include <QSpinBox>

class StartupTest : public WorkDirTest
{
    Q_OBJECT

private slots:
    void settingsReading_data();
    void settingsReading();
    void emptyWorkingDirectory();
};

void StartupTest::settingsReading_data()
{
    // clang-format off
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("shown");

    QTest::newRow("both keys") << QByteArray("path=C:/Games/RDR2\nlines=5\n") << "C:/Games/RDR2" << 5;
    QTest::newRow("key inside line") << QByteArray("# path=/g/rdr2\n") << "/g/rdr2" << 2;
    QTest::newRow("bare path") << QByteArray("path=\nlines=3\n") << "" << 3;
    QTest::newRow("trailing spaces") << QByteArray("path=/g  \n") << "/g  " << 2;
    QTest::newRow("line with both keys") << QByteArray("path=/a lines=7\n") << "/a lines=7" << 2;
    QTest::newRow("later lines win") << QByteArray("lines=4\npath=/a\nlines=6\npath=/b\n") << "/b" << 6;
    QTest::newRow("keys are case-sensitive") << QByteArray("PATH=/x\nLines=5\n") << "" << 2;
    QTest::newRow("negative") << QByteArray("lines=-3\n") << "" << 1;
    QTest::newRow("letters") << QByteArray("lines=abc\n") << "" << 1;
    QTest::newRow("empty value") << QByteArray("lines=\n") << "" << 1;
    QTest::newRow("above 99") << QByteArray("lines=150\n") << "" << 99;
    QTest::newRow("2^31 - 1") << QByteArray("lines=2147483647\n") << "" << 99;
    QTest::newRow("2^31") << QByteArray("lines=2147483648\n") << "" << 1;
    QTest::newRow("2^32 - 1") << QByteArray("lines=4294967295\n") << "" << 1;
    QTest::newRow("2^32 does not fit") << QByteArray("lines=4294967296\n") << "" << 1;
    QTest::newRow("CR LF") << QByteArray("path=/g\r\nlines=7\r\n") << "/g" << 7;
    QTest::newRow("no final line end") << QByteArray("path=/g\nlines=8") << "/g" << 8;
    QTest::newRow("UTF-8 path") << QByteArray("path=/j\xc3\xa9u\n") << "/j\u00e9u" << 2;
    // clang-format on
}

// A count the spin box shows differently from its preset 2 rewrites the
// file at once, in the canonical two-line form.
void StartupTest::settingsReading()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, path);
    QFETCH(int, shown);

    writeBytes("data/settings.txt", stored);
    const StartupSettings settings = loadStartupSettings();
    QCOMPARE(settings.gamePath, path);

    GUI window(nullptr, settings.gamePath, settings.lineCount);
    QCOMPARE(window.findChild<QSpinBox *>("nrOfLinesField")->value(), shown);
    const QByteArray rewritten = native("path=" + path.toUtf8() + "\nlines=" + QByteArray::number(shown) + "\n");
    QCOMPARE(readBytes("data/settings.txt"), shown == 2 ? stored : rewritten);
}

void StartupTest::emptyWorkingDirectory()
{
    const StartupSettings settings = loadStartupSettings();
    QVERIFY(QFileInfo("data").isDir());
    QCOMPARE(settings.gamePath, QString());
    QCOMPARE(settings.lineCount, 2u);

    GUI window(nullptr, settings.gamePath, settings.lineCount);
    window.show();
    QCOMPARE(entries("data"), QStringList());

    window.findChild<QSpinBox *>("nrOfLinesField")->setValue(4);
    QCOMPARE(readBytes("data/settings.txt"), native("path=\nlines=4\n"));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
