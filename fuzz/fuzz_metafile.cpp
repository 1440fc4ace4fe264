#include "fuzzsupport.h"
#include "gui/gui.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const fuzz::InScratch inScratch;
    static GUI *const window = [] {
        QDir().mkpath(QStringLiteral("game/x64/data"));
        return new GUI(nullptr, QStringLiteral("game"), 2);
    }();

    fuzz::writeFile(QStringLiteral("game/x64/data/startup.meta"), data, size);
    window->captureTemplate();
    unsigned lineCount = 0;
    window->readActivePassphrase(lineCount);

    // The list only compares lobbies with the active code when it finds one,
    // so one lobby carries the input's last line, which is where a written
    // code ends up. A count of 0 matches any number of breaks.
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     static_cast<qsizetype>(size));
    QByteArray passphrase = input.mid(input.lastIndexOf('\n') + 1);
    if (passphrase.endsWith('\r'))
        passphrase.chop(1);
    const QByteArray lobby = "pass=" + passphrase + "\nlines=" + QByteArray::number(size % 3) + "\n";
    fuzz::writeFile(QStringLiteral("data/active.lobby"), reinterpret_cast<const uint8_t *>(lobby.constData()),
                    static_cast<size_t>(lobby.size()));
    window->refreshLobbyList();
    return 0;
}
