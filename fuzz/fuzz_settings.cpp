#include "app/settings.h"
#include "fuzzsupport.h"
#include "gui/gui.h"

#include <QPair>
#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const fuzz::InScratch inScratch;
    fuzz::writeFile(QStringLiteral("data/settings.txt"), data, size);
    const StartupSettings settings = loadStartupSettings();

    // The settings are only half read until the window has taken them: it
    // squeezes the count into its spin box and builds paths from the game
    // directory. A window costs a hundred times what the reading does, yet
    // one built from a path and count seen before runs exactly the same way,
    // so each pair is built once. Bounded so a long run cannot grow without
    // limit.
    static QSet<QPair<QString, unsigned>> built;
    const QPair<QString, unsigned> key(settings.gamePath, settings.lineCount);
    if (built.contains(key))
        return 0;
    if (built.size() >= 100000)
        built.clear();
    built.insert(key);
    GUI window(nullptr, settings.gamePath, settings.lineCount);
    return 0;
}
