// Measures what a player with many lobbies waits for: start-up to the first
// painted window and one refresh of the lobby list, each beside a floor that
// does the least work of the same kind.
#include "app/settings.h"
#include "gui/gui.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QStatusBar>
#include <QTextStream>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Quits once the window has painted for the first time.
class FirstPaint : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
};

int showUntilPainted(QMainWindow &window)
{
    FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    return QApplication::exec();
}

int startup()
{
    const StartupSettings settings = loadStartupSettings();
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    return showUntilPainted(window);
}

int floorWindow()
{
    QMainWindow window;
    window.setFixedSize(341, 166);
    window.setStatusBar(new QStatusBar(&window));
    return showUntilPainted(window);
}

// Lobby names sort as listed, so the meta file carries the code of the last
// one and a refresh has to read every lobby file to find it.
int prepare(const QString &dir, int count)
{
    QDir().mkpath(dir + "/data");
    QDir().mkpath(dir + "/game/x64/data");
    QDir::setCurrent(dir);
    writeTextFile("data/settings.txt", "path=game\nlines=2\n");
    for (int i = 0; i < count; ++i)
        writeLobbyFile(QString::asprintf("lobby%05d", i), QString::asprintf("code-%05d", i), "2");
    const QString last = count > 0 ? QString::asprintf("code-%05d", count - 1) : QString();
    writeTextFile("game/x64/data/startup.meta", kDefaultMetaTemplate + "\n\n" + last);
    return 0;
}

// The least any refresh must do: list the folder, then open, read and close
// each lobby file once.
long rawFloor()
{
    long bytes = 0;
    DIR *dir = opendir("data");
    if (!dir)
        return 0;
    char buffer[4096];
    while (dirent *entry = readdir(dir)) {
        const size_t length = std::strlen(entry->d_name);
        if (length < 6 || std::strcmp(entry->d_name + length - 6, ".lobby") != 0)
            continue;
        const std::string path = std::string("data/") + entry->d_name;
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
            bytes += n;
        close(fd);
    }
    closedir(dir);
    return bytes;
}

template<typename Work>
double medianMilliseconds(int rounds, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[rounds / 2];
}

int refresh(int rounds)
{
    const StartupSettings settings = loadStartupSettings();
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    const double refreshMs = medianMilliseconds(rounds, [&window] { window.refreshLobbyList(); });
    const double rawMs = medianMilliseconds(rounds, [] { rawFloor(); });
    std::printf("%.3f %.3f\n", refreshMs, rawMs);
    return 0;
}

// Only refreshes, so that counting the files opened by K and by K + 1 of
// them tells how many files one refresh opens.
int refreshes(int count)
{
    const StartupSettings settings = loadStartupSettings();
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    for (int i = 0; i < count; ++i)
        window.refreshLobbyList();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == "startup")
        return startup();
    if (mode == "floor")
        return floorWindow();
    if (mode == "prepare")
        return prepare(args.value(2), args.value(3).toInt());
    if (mode == "refresh")
        return refresh(args.value(2, "5").toInt());
    if (mode == "refreshes")
        return refreshes(args.value(2).toInt());
    std::fprintf(stderr, "usage: corvane_bench startup | floor | prepare DIR N | refresh [ROUNDS] | refreshes K\n");
    return 2;
}
