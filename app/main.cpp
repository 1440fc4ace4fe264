#include "app/settings.h"
#include "gui/gui.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const StartupSettings settings = loadStartupSettings();
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    window.show();
    return app.exec();
}
