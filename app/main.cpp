#include "app/settings.h"
#include "gui/gui.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Wayland shells find the desktop entry, and so the icon, by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.corvane.Corvane"));
    const StartupSettings settings = loadStartupSettings();
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    window.show();
    return app.exec();
}
