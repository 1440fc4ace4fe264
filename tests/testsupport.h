#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibrary>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

// Makes a fresh temporary directory the working directory for as long as it
// lives, so every test starts without "data" and without game files.
class WorkDir
{
public:
    WorkDir() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~WorkDir() { QDir::setCurrent(previous); }
    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;
    QString previous;
};

// Runs every test function of a test class in a fresh working directory.
class WorkDirTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { workDir = std::make_unique<WorkDir>(); }
    void cleanup() { workDir.reset(); }

private:
    std::unique_ptr<WorkDir> workDir;
};

struct Chooser
{
    QString caption;
    QString startDirectory;
};

// Clicks the window's directory button and answers the real chooser it
// opens: picks `directory`, or cancels when it is empty.
inline Chooser chooseDirectory(QWidget &window, const QString &directory)
{
    Chooser seen;
    QTimer::singleShot(0, &window, [&seen, directory] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = {dialog->windowTitle(), dialog->directory().absolutePath()};
        if (directory.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->setDirectory(QDir(directory).absolutePath());
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::mouseClick(window.findChild<QPushButton *>("setPathButton"), Qt::LeftButton);
    return seen;
}

#ifdef Q_OS_WIN
// Wine gives every process an administrator's token, takes its refusals
// from Unix permissions and makes no junctions, so what depends on those is
// tried on Windows itself.
inline bool underWine()
{
    return QLibrary("ntdll").resolve("wine_get_version") != nullptr;
}
#endif

// What a "\n" written in text mode becomes on disk.
inline QByteArray eol()
{
#ifdef Q_OS_WIN
    return "\r\n";
#else
    return "\n";
#endif
}

inline QByteArray native(QByteArray text)
{
    return text.replace("\n", eol());
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

#ifdef Q_OS_UNIX
// Lets no file of this process grow beyond `bytes`, the way a full disk
// would stop a write part-way; 0 leaves files as they are.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (bytes == 0)
            return;
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};
#endif
