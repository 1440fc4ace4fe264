#include "core/core.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class ProcessesTest : public QObject
{
    Q_OBJECT

private slots:
    // A copy of this test named RDR2.exe stands in for the game.
    void gameIsRunning()
    {
        QCOMPARE(::gameIsRunning(), std::optional(false));
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), dir.filePath("RDR2.exe")));
        QProcess game;
        game.start(dir.filePath("RDR2.exe"), {"--stand-in"});
        QVERIFY(game.waitForStarted());
        QCOMPARE(::gameIsRunning(), std::optional(true));
        game.kill();
        QVERIFY(game.waitForFinished());
        QCOMPARE(::gameIsRunning(), std::optional(false));
    }
};

int main(int argc, char **argv)
{
    // As the stand-in: waits to be killed.
    if (argc == 2 && qstrcmp(argv[1], "--stand-in") == 0) {
        QThread::sleep(60);
        return 1;
    }
    QCoreApplication app(argc, argv);
    ProcessesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_processes.moc"
