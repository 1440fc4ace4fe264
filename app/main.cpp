#include "app/gamefilemode.h"
#include "app/settings.h"
#include "gui/gui.h"

#include <QApplication>

#ifdef Q_OS_WIN
namespace {

// Whether the player asked Qt for a style, which Corvane then leaves alone.
bool styleRequested(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE"))
        return true;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-style" || argument == "--style" || argument.startsWith("-style=")
            || argument.startsWith("--style="))
            return true;
    }
    return false;
}

} // namespace
#endif

int main(int argc, char *argv[])
{
    // The window starts this mode as administrator for one change that
    // Windows refused it. It shows nothing and reads no settings, so it needs
    // no display and may run as another account.
    if (argc > 1 && qstrcmp(argv[1], "--game-file") == 0) {
        QCoreApplication app(argc, argv);
        return runGameFileMode(QCoreApplication::arguments().mid(2));
    }
#ifdef Q_OS_WIN
    const bool styleChosen = styleRequested(argc, argv);
#endif
    QApplication app(argc, argv);
#ifdef Q_OS_WIN
    // Qt's own Windows styles serve a player poorly: windowsvista stays
    // light in Windows' dark mode, and Qt 6.8's windows11 grows the spin box
    // beyond the form and hides which controls are disabled. Fusion follows
    // the light or dark mode on Windows 10 and 11 alike, and as it changes.
    if (!styleChosen)
        QApplication::setStyle(QStringLiteral("fusion"));
#endif
    // Wayland shells find the desktop entry, and so the icon, by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.corvane.Corvane"));
    const StartupSettings settings = loadStartupSettings();
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    window.show();
    return app.exec();
}
