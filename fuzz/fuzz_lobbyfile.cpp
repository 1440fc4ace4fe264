#include "fuzzsupport.h"
#include "gui/gui.h"

#include <iterator>

namespace {

// File names that split and match differently: an upper-case suffix that
// the listing accepts but the reader cannot open, inner dots, spaces,
// letters outside ASCII, a doubled suffix and a hidden file the listing
// must skip.
const char *const kFileNames[] = {
    "lobby.lobby",   "Lobby.LOBBY", "v1.2.final.lobby", "my lobby.lobby", "\xc3\x9cml\xc3\xa4ut.lobby",
    "x.lobby.lobby", ".lobby",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const fuzz::InScratch inScratch;
    static GUI *const window = new GUI(nullptr, QString(), 2);
    static QString previous;

    const size_t choice = size > 0 ? data[0] % std::size(kFileNames) : 0;
    const QString path = QStringLiteral("data/") + QString::fromUtf8(kFileNames[choice]);
    // Only this input's file may be listed, or the outcome would depend on
    // the inputs that ran before it.
    if (!previous.isEmpty() && previous != path)
        QFile::remove(previous);
    previous = path;
    fuzz::writeFile(path, size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0);

    for (const QString &file : listLobbies()) {
        // Callers pass in the count to keep when the file names none.
        unsigned lineCount = 7;
        window->readLobbyFile(lobbyDisplayName(file), lineCount);
    }
    return 0;
}
