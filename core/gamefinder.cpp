#include "core/core.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QStandardPaths>

namespace {

// The file's bytes, or none when it is missing, unreadable, not a plain file
// (a pipe would block the window) or too large: such a record is skipped.
QByteArray readRecord(const QString &path)
{
    QByteArray bytes;
    return readWholeFile(path, bytes, nullptr, kMaxSmallFileSize) ? bytes : QByteArray();
}

QJsonObject readJsonRecord(const QString &path)
{
    return QJsonDocument::fromJson(readRecord(path)).object();
}

bool isAbsolute(const QString &path)
{
    return !path.isEmpty() && QDir::isAbsolutePath(path);
}

bool holdsGame(const QString &folder)
{
    return isAbsolute(folder) && !QDir(folder).entryList({QStringLiteral("RDR2.exe")}, QDir::Files).isEmpty();
}

bool isNumber(const QString &text)
{
    bool ok = false;
    text.toUInt(&ok);
    return ok;
}

// The Steam folder is a library of its own even when it lists none.
QStringList steamLibraries(const QString &steamFolder)
{
    QStringList libraries{steamFolder};
    QList<KeyValue> values;
    if (!readKeyValues(readRecord(steamFolder + QStringLiteral("/steamapps/libraryfolders.vdf")), values))
        return libraries;
    for (const KeyValue &entry : values) {
        if (entry.keys.first() != QLatin1String("libraryfolders"))
            continue;
        // Each library is a block with its "path"; older clients wrote the
        // path as the value of "1", "2" ... itself.
        const bool block = entry.keys.size() == 3 && entry.keys[2] == QLatin1String("path");
        const bool older = entry.keys.size() == 2 && isNumber(entry.keys[1]);
        if (block || older)
            libraries << QDir::fromNativeSeparators(entry.value);
    }
    return libraries;
}

QString steamGameFolder(const QString &library)
{
    if (!isAbsolute(library))
        return {};
    const QString steamapps = library + QStringLiteral("/steamapps/");
    QList<KeyValue> values;
    if (!readKeyValues(readRecord(steamapps + QStringLiteral("appmanifest_1174180.acf")), values))
        return {};
    const QStringList installDir{QStringLiteral("appstate"), QStringLiteral("installdir")};
    for (const KeyValue &entry : values)
        if (entry.keys == installDir && !entry.value.isEmpty())
            return steamapps + QStringLiteral("common/") + entry.value;
    return {};
}

QStringList steamGameFolders(const QStringList &steamFolders)
{
    QStringList folders;
    for (const QString &steamFolder : steamFolders)
        if (isAbsolute(steamFolder))
            for (const QString &library : steamLibraries(steamFolder))
                folders << steamGameFolder(library);
    return folders;
}

// The Epic Games Launcher keeps one manifest per installed game; which
// program it starts differs between games, so only the folder is taken.
QStringList epicGameFolders(const QStringList &manifestFolders)
{
    QStringList folders;
    for (const QString &manifestFolder : manifestFolders) {
        if (!isAbsolute(manifestFolder))
            continue;
        const QDir dir(manifestFolder);
        for (const QString &item : dir.entryList({QStringLiteral("*.item")}, QDir::Files, QDir::Name))
            folders << readJsonRecord(dir.filePath(item)).value(QLatin1String("InstallLocation")).toString();
    }
    return folders;
}

// Heroic and legendary list every installed Epic game in one file.
QStringList legendaryGameFolders(const QStringList &installedFiles)
{
    QStringList folders;
    for (const QString &file : installedFiles) {
        if (!isAbsolute(file))
            continue;
        const QJsonObject games = readJsonRecord(file);
        for (const QJsonValue &game : games)
            folders << game.toObject().value(QLatin1String("install_path")).toString();
    }
    return folders;
}

#ifdef Q_OS_WIN
QString registryValue(const QString &key, const QString &name, QSettings::Format format)
{
    return QDir::fromNativeSeparators(QSettings(key, format).value(name).toString());
}
#endif

} // namespace

GameRecords gameRecordsOnThisComputer()
{
    GameRecords records;
#ifdef Q_OS_WIN
    // Windows itself need not be on C:.
    const auto programFiles = [](const char *variable, const char *usual) {
        return QDir::fromNativeSeparators(qEnvironmentVariable(variable, QString::fromLatin1(usual)));
    };
    records.steamFolders = {
        registryValue(QStringLiteral("HKEY_CURRENT_USER\\Software\\Valve\\Steam"), QStringLiteral("SteamPath"),
                      QSettings::NativeFormat),
        registryValue(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam"), QStringLiteral("InstallPath"),
                      QSettings::Registry32Format),
        programFiles("ProgramFiles(x86)", "C:/Program Files (x86)") + QStringLiteral("/Steam"),
    };
    const QString programData = QDir::fromNativeSeparators(qEnvironmentVariable("ProgramData"));
    if (!programData.isEmpty())
        records.epicManifestFolders = {programData + QStringLiteral("/Epic/EpicGamesLauncher/Data/Manifests")};
    records.rockstarFolders = {
        registryValue(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Rockstar Games\\Red Dead Redemption 2"),
                      QStringLiteral("InstallFolder"), QSettings::Registry32Format),
        programFiles("ProgramFiles", "C:/Program Files") + QStringLiteral("/Rockstar Games/Red Dead Redemption 2"),
    };
#else
    // Steam as Debian, Valve's installer, Flatpak and Snap install it.
    const QString home = QDir::homePath();
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString flatpakSteam = home + QStringLiteral("/.var/app/com.valvesoftware.Steam");
    records.steamFolders = {
        dataHome + QStringLiteral("/Steam"),
        home + QStringLiteral("/.steam/steam"),
        home + QStringLiteral("/.steam/root"),
        home + QStringLiteral("/.steam/debian-installation"),
        flatpakSteam + QStringLiteral("/.local/share/Steam"),
        flatpakSteam + QStringLiteral("/data/Steam"),
        home + QStringLiteral("/snap/steam/common/.local/share/Steam"),
    };
    const QString legendary = QStringLiteral("/legendaryConfig/legendary/installed.json");
    records.legendaryFiles = {
        configHome + QStringLiteral("/heroic") + legendary,
        home + QStringLiteral("/.var/app/com.heroicgameslauncher.hgl/config/heroic") + legendary,
        configHome + QStringLiteral("/legendary/installed.json"),
    };
#endif
    return records;
}

QString findGameFolder(const GameRecords &records)
{
    const QStringList candidates = steamGameFolders(records.steamFolders) + epicGameFolders(records.epicManifestFolders)
                                   + records.rockstarFolders + legendaryGameFolders(records.legendaryFiles);
    for (const QString &candidate : candidates) {
        const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(candidate));
        if (holdsGame(folder))
            return folder;
    }
    return {};
}
