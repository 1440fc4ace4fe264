#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace fuzz {

inline void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // Warnings about odd file names arrive for many inputs and would drown
    // the fuzzer's own output; only messages that end the run are worth
    // printing.
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

inline const QString &scratchPath()
{
    // An application per input would cost far more than the code under
    // test, so it and the scratch directory live as long as the process.
    static const QString path = [] {
        qInstallMessageHandler(quietMessages);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "corvane-fuzz";
        static char *argv[] = {name, nullptr};
        // Deliberately never destroyed: tearing Qt down from a static
        // destructor, after some of its own globals are gone, can crash at
        // exit and would be mistaken for a finding.
        static QApplication *const app = new QApplication(argc, argv);
        Q_UNUSED(app);

        static QTemporaryDir scratch;
        if (!scratch.isValid() || !QDir(scratch.path()).mkpath(QStringLiteral("data")))
            qFatal("cannot set up a scratch directory");
        return scratch.path();
    }();
    return path;
}

// Makes the scratch directory the working directory while one input runs,
// so the product finds its files by their usual relative paths. The old
// directory comes back afterwards because the fuzzer resolves corpus paths
// given on its command line lazily, relative to where it was started.
class InScratch
{
public:
    InScratch() : previous(QDir::currentPath())
    {
        if (!QDir::setCurrent(scratchPath()))
            qFatal("cannot enter the scratch directory");
    }
    ~InScratch() { QDir::setCurrent(previous); }
    InScratch(const InScratch &) = delete;
    InScratch &operator=(const InScratch &) = delete;

private:
    QString previous;
};

// A plain QFile write, independent of the product's own writer, so that a
// fault there cannot keep an input from reaching the reader.
inline void writeFile(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    if (size > 0
        && file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        qFatal("short write to %s", qPrintable(path));
}

} // namespace fuzz
