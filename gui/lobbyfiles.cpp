#include "gui/gui.h"

#include "ui_gui.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <utility>
#include <vector>

QString lobbyFilePath(const QString &name)
{
    return QStringLiteral("data/") + name + QStringLiteral(".lobby");
}

// Lists what QDir("data").entryList({"*.lobby"}, QDir::Files) lists, in the
// same case-insensitive name order, without the wildcard matching, file
// information and repeated case folding that dominate QDir's listing when
// there are thousands of lobbies.
QStringList listLobbies()
{
    std::vector<std::pair<QString, QString>> found; // folded name, name
    QDirIterator it(QStringLiteral("data"), QDir::Files);
    while (it.hasNext()) {
        const QString name = it.nextFileInfo().fileName();
        if (name.endsWith(QLatin1String(".lobby"), Qt::CaseInsensitive))
            found.emplace_back(name.toCaseFolded(), name);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList names;
    names.reserve(static_cast<qsizetype>(found.size()));
    for (const auto &entry : found)
        names << entry.second;
    return names;
}

QString lobbyDisplayName(const QString &fileName)
{
    return fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
}

QString lobbyNameProblem(const QString &name)
{
    // The name becomes part of a path, so it must not lead out of "data".
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return QStringLiteral("a lobby name cannot hold / or \\");
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("a lobby name cannot hold control characters");
    }
#ifdef Q_OS_WIN
    // A device name, whatever extension follows it, reaches the device or
    // makes a file that Explorer cannot delete. Wine refuses it on its own;
    // Windows does not.
    static const QRegularExpression device(
        QStringLiteral("^(CON|PRN|AUX|NUL|(COM|LPT)[0-9\u00b9\u00b2\u00b3]) *(\\.|$)"),
        QRegularExpression::CaseInsensitiveOption);
    // NTFS takes none of these in a name, and ":" would name a stream.
    if (name.contains(QRegularExpression(QStringLiteral("[<>:\"|?*]"))))
        return QStringLiteral("a lobby name cannot hold < > : \" | ? or *");
    if (device.match(name).hasMatch())
        return QStringLiteral("Windows keeps that name for a device");
    // NTFS counts a file name in UTF-16 units.
    const qsizetype fileNameLength = lobbyFilePath(name).size() - 5;
#else
    // Linux file systems count a file name in bytes.
    const qsizetype fileNameLength = lobbyFilePath(name).toUtf8().size() - 5;
#endif
    if (fileNameLength > 255)
        return QStringLiteral("the name is too long for a file name");
    return QString();
}

bool writeLobbyFile(const QString &name, const QString &passphrase, const QString &linesText, QString *error)
{
    if (const QString problem = lobbyNameProblem(name); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    return writeTextFile(
        lobbyFilePath(name),
        QStringLiteral("pass=") + passphrase + QStringLiteral("\nlines=") + linesText + QStringLiteral("\n"), error);
}

QString GUI::readLobbyFile(const QString &name, unsigned &lineCount) const
{
    QFile file(lobbyFilePath(name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();

    QTextStream in(&file);
    const QString first = in.readLine();
    const QLatin1String passKey("pass=");
    const qsizetype passAt = first.indexOf(passKey);
    if (passAt < 0)
        return first;
    const QString passphrase = first.mid(passAt + passKey.size());
    // Reading tells the end of the file without the file size lookup that
    // atEnd() costs for each of possibly thousands of lobbies.
    QString second;
    if (!in.readLineInto(&second))
        return passphrase;

    const QLatin1String linesKey("lines=");
    const qsizetype linesAt = second.indexOf(linesKey);
    lineCount = (linesAt < 0 ? ui->nrOfLinesField->text() : second.mid(linesAt + linesKey.size())).toUInt();
    return passphrase;
}
