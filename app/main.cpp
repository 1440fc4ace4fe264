#include "app/gamefilemode.h"
#include "app/settings.h"
#include "gui/gui.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The window starts this mode as administrator for one change that
    // Windows refused it. It shows nothing and reads no settings, so it needs
    // no display and may run as another account.
    if (argc > 1 && qstrcmp(argv[1], "--game-file") == 0) {
        QCoreApplication app(argc, argv);
        return runGameFileMode(QCoreApplication::arguments().mid(2));
    }
    QApplication app(argc, argv);
    // Wayland shells find the desktop entry, and so the icon, by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.corvane.Corvane"));
    const StartupSettings settings = loadStartupSettings();
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    window.show();
    return app.exec();
}
