#include "gui/gui.h"
#include "testsupport.h"

#include <QRegularExpression>

namespace {

using Files = QMap<QString, QByteArray>;

const QByteArray gameManifest = "\"AppState\"\n{\n\t\"appid\"\t\t\"1174180\"\n"
                                "\t\"installdir\"\t\t\"Red Dead Redemption 2\"\n}\n";

// Where the rows' "<steam>", "<heroic>" and "<epic>" are: this computer's
// places under the fake home on Linux, folders that the fake records name
// on Windows. Anything else in angle brackets is a folder of `root`.
class FakeComputer
{
public:
    FakeComputer(const QString &folder, const QString &home) : root(folder)
    {
        roots = {{"steam", home + "/.local/share/Steam"},
                 {"epic", root + "/ProgramData/Epic/EpicGamesLauncher/Data/Manifests"},
                 {"heroic", home + "/.config/heroic/legendaryConfig/legendary"}};
    }

    QString path(const QString &logical) const
    {
        const QString first = logical.section('/', 0, 0);
        const QString rest = logical.section('/', 1);
        if (!roots.contains(first))
            return root + '/' + logical;
        return rest.isEmpty() ? roots[first] : roots[first] + '/' + rest;
    }

    // Paths in angle brackets become absolute ones; in files, written the native way
    // with the backslashes and quotes escaped, as Steam and JSON write them.
    QString expand(const QString &text, bool escaped) const
    {
        static const QRegularExpression placeholder(QStringLiteral("<([^>]*)>"));
        QString out;
        qsizetype from = 0;
        for (const QRegularExpressionMatch &match : placeholder.globalMatch(text)) {
            out += text.mid(from, match.capturedStart() - from);
            QString absolute = path(match.captured(1));
            if (escaped)
                absolute = QDir::toNativeSeparators(absolute).replace("\\", "\\\\").replace("\"", "\\\"");
            out += absolute;
            from = match.capturedEnd();
        }
        return out + text.mid(from);
    }

    void make(const Files &files) const
    {
        for (auto it = files.begin(); it != files.end(); ++it) {
            const QString file = expand(it.key(), false);
            if (file.endsWith('/'))
                QVERIFY(QDir().mkpath(file));
            else
                writeBytes(file, expand(QString::fromUtf8(it.value()), true).toUtf8());
        }
    }

    GameRecords records() const { return {{path("steam")}, {path("epic")}, {}, {}}; }

private:
    QString root;
    QHash<QString, QString> roots;
};

#ifndef Q_OS_WIN
// Points HOME and the XDG folders at a fake home for as long as it lives.
// One for the whole run: the chooser keeps its own settings in the home it
// first saw, and would bring a deleted one back.
class FakeHome
{
public:
    FakeHome()
    {
        for (const char *name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
            saved.insert(name, qgetenv(name));
        qputenv("HOME", QFile::encodeName(dir.path()));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }
    QString path() const { return dir.path(); }
    void clear()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }
    ~FakeHome()
    {
        for (auto it = saved.begin(); it != saved.end(); ++it)
            it.value().isNull() ? qunsetenv(it.key().constData()) : qputenv(it.key().constData(), it.value());
    }

private:
    QTemporaryDir dir;
    QMap<QByteArray, QByteArray> saved;
};
#endif

} // namespace

class GameFinderTest : public WorkDirTest
{
    Q_OBJECT

private slots:
#ifndef Q_OS_WIN
    void initTestCase()
    {
        home = std::make_unique<FakeHome>();
    }
    void cleanupTestCase()
    {
        home.reset();
    }
#endif
    void chooserStart_data();
    void chooserStart();
    void steamPathInRegistry();

private:
#ifndef Q_OS_WIN
    std::unique_ptr<FakeHome> home;
#endif
};

void GameFinderTest::chooserStart_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("known");
    QTest::addColumn<QString>("expected");

    const QByteArray game = "";
    const QString steamGame = "<steam/steamapps/common/Red Dead Redemption 2>";
    const QString secondGame = "<D/SteamLibrary/steamapps/common/Red Dead Redemption 2>";
    const Files secondLibrary = {
        {"<D/SteamLibrary>/steamapps/appmanifest_1174180.acf", gameManifest},
        {secondGame + "/RDR2.exe", game},
    };
    const QByteArray libraryFolders = "\"libraryfolders\"\n{\n"
                                      "\t\"0\"\n\t{\n\t\t\"path\"\t\t\"<steam>\"\n\t\t\"label\"\t\t\"\"\n\t}\n"
                                      "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"<D/SteamLibrary>\"\n"
                                      "\t\t\"apps\"\n\t\t{\n\t\t\t\"1174180\"\t\t\"120394773108\"\n\t\t}\n\t}\n}\n";
    Files files;

    // clang-format off
    files = secondLibrary;
    files["<steam>/steamapps/libraryfolders.vdf"] = libraryFolders;
    QTest::newRow("game in a second Steam library") << "any" << files << "" << secondGame;

    QTest::newRow("library 0 without libraryfolders.vdf") << "any" << Files{
        {"<steam>/steamapps/appmanifest_1174180.acf", gameManifest},
        {steamGame + "/RDR2.exe", game},
    } << "" << steamGame;

    files = secondLibrary;
    files["<steam>/steamapps/libraryfolders.vdf"] = "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n"
                                                    "\t\"ContentStatsID\"\t\t\"-4242\"\n\t\"1\"\t\t\"<D/SteamLibrary>\"\n}\n";
    QTest::newRow("older libraryfolders.vdf") << "any" << files << "" << secondGame;

    // The path is written "D:\\SteamLibrary" on Windows.
    files = {
        {"<D/SteamLibrary>/steamapps/appmanifest_1174180.acf",
         "// written by hand\r\n\"appstate\" {\r\n\"InstallDir\" \"Red Dead Redemption 2\" // the folder\r\n}\r\n"},
        {secondGame + "/RDR2.exe", game},
        {"<steam>/steamapps/libraryfolders.vdf",
         "\"LibraryFolders\"\r\n{\r\n\t\"1\"\r\n\t{\r\n\t\t\"Path\"\t\t\"<D/SteamLibrary>\"\r\n\t}\r\n}\r\n"},
    };
    QTest::newRow("CR LF, escaped backslashes, comments, keys in any case") << "any" << files << "" << secondGame;

    const QString oddGame = "<D/Steam \"Library\" \\ 2/steamapps/common/Red Dead Redemption 2>";
    QTest::newRow("quotes and backslashes in a folder name") << "unix" << Files{
        {"<D/Steam \"Library\" \\ 2>/steamapps/appmanifest_1174180.acf", gameManifest},
        {oddGame + "/RDR2.exe", game},
        {"<steam>/steamapps/libraryfolders.vdf",
         "\"libraryfolders\" { \"1\" { \"path\" \"<D/Steam \"Library\" \\ 2>\" } }"},
    } << "" << oddGame;

    files = secondLibrary;
    files.remove(secondGame + "/RDR2.exe");
    files[secondGame + "/rdr2.EXE"] = game;
    files["<steam>/steamapps/libraryfolders.vdf"] = libraryFolders;
    files["<steam>/steamapps/appmanifest_1174180.acf"] = gameManifest;
    files[steamGame + "/x64/data/startup.meta"] = "";
    QTest::newRow("decoy folder without RDR2.exe") << "any" << files << "" << secondGame;

    QTest::newRow("Heroic's installed.json among other games") << "unix" << Files{
        {"<heroic>/installed.json",
         "{\"Fortnite\": {\"install_path\": \"<Games/Fortnite>\", \"executable\": \"FortniteLauncher.exe\"},"
         " \"Heather\": {\"install_path\": \"<Games/RDR2>\", \"executable\": \"PlayRDR2.exe\"},"
         " \"Sugar\": {\"install_path\": \"<Games/Other>\"}}"},
        {"<Games/Fortnite>/FortniteLauncher.exe", game},
        {"<Games/RDR2>/RDR2.exe", game},
        {"<Games/Other>/RDR2.exe", game},
    } << "" << "<Games/RDR2>";

    QTest::newRow("Epic manifest") << "windows" << Files{
        {"<epic>/0AB1.item", "{\"DisplayName\": \"Fortnite\", \"InstallLocation\": \"<Epic Games/Fortnite>\"}"},
        {"<epic>/1CD2.item", "{\"DisplayName\": \"Red Dead Redemption 2\", \"InstallLocation\": \"<Epic Games/RDR2>\","
                             " \"LaunchExecutable\": \"PlayRDR2.exe\"}"},
        {"<Epic Games/Fortnite>/", game},
        {"<Epic Games/RDR2>/RDR2.exe", game},
    } << "" << "<Epic Games/RDR2>";

    files = secondLibrary;
    files["<steam>/steamapps/libraryfolders.vdf"] = libraryFolders.left(libraryFolders.size() - 3);
    files["<steam>/steamapps/appmanifest_1174180.acf"] = gameManifest;
    files[steamGame + "/RDR2.exe"] = game;
    QTest::newRow("malformed libraryfolders.vdf, the Steam folder still counts") << "any" << files << "" << steamGame;

    QTest::newRow("malformed manifests") << "any" << Files{
        {"<steam>/steamapps/appmanifest_1174180.acf", "\"AppState\"\n{\n\t\"installdir\"\t\t\"Red Dead Redemption 2\"\n"},
        {steamGame + "/RDR2.exe", game},
        {"<heroic>/installed.json", "{\"Heather\": {\"install_path\": \"<Games/RDR2>\""},
        {"<epic>/1CD2.item", "{\"InstallLocation\": \"<Games/RDR2>\",,}"},
        {"<Games/RDR2>/RDR2.exe", game},
    } << "" << "";

    files = secondLibrary;
    files["<steam>/steamapps/libraryfolders.vdf"] = libraryFolders + "//" + QByteArray(1 << 20, ' ') + "\n";
    QTest::newRow("oversized libraryfolders.vdf") << "any" << files << "" << "";

    QTest::newRow("a known game folder wins") << "any" << Files{
        {"<steam>/steamapps/appmanifest_1174180.acf", gameManifest},
        {steamGame + "/RDR2.exe", game},
        {"<Games/Mine>/RDR2.exe", game},
    } << "<Games/Mine>" << "<Games/Mine>";

    QTest::newRow("nothing found") << "any" << Files{} << "" << "";
    // clang-format on
}

// The chooser opens in the folder found, or where it always did; nothing is
// written until the user confirms.
void GameFinderTest::chooserStart()
{
    QFETCH(QString, platform);
    QFETCH(Files, files);
    QFETCH(QString, known);
    QFETCH(QString, expected);
#ifdef Q_OS_WIN
    if (platform == "unix")
        QSKIP("Linux only");
    const FakeComputer computer(QDir::currentPath(), QDir::currentPath() + "/home");
#else
    if (platform == "windows")
        QSKIP("Windows only");
    home->clear();
    const FakeComputer computer(QDir::currentPath(), home->path());
#endif
    computer.make(files);
    QDir().mkdir("data");

    GUI window(nullptr, computer.expand(known, false), 2);
#ifdef Q_OS_WIN
    window.setGameRecords([&computer] { return computer.records(); });
#endif
    // Given no folder, the chooser opens the one it showed last in this
    // process, so each row starts from the working directory as a fresh
    // process would.
    QFileDialog().setDirectory(QDir::currentPath());
    const Chooser seen = chooseDirectory(window, QString());
    const QString start = expected.isEmpty() ? QDir::currentPath() : computer.expand(expected, false);
    QCOMPARE(seen.startDirectory, QDir(start).absolutePath());
    QCOMPARE(entries("data"), QStringList());
}

// Run under Wine by run-with-steam-registry.sh, which sets SteamPath in the
// test's own Wine prefix to a Steam folder holding the game.
void GameFinderTest::steamPathInRegistry()
{
    const QString game = qEnvironmentVariable("CORVANE_TEST_STEAM_GAME");
    if (game.isEmpty())
        QSKIP("needs a Steam folder named in the registry by run-with-steam-registry.sh");
    GUI window(nullptr, QString(), 2);
    QCOMPARE(chooseDirectory(window, QString()).startDirectory, QDir(game).absolutePath());
}

QTEST_MAIN(GameFinderTest)
#include "tst_gamefinder.moc"
