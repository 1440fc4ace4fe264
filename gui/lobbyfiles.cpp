#include "gui/gui.h"

#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QTextStream>

QString lobbyFilePath(const QString &name)
{
    return QStringLiteral("data/") + name + QStringLiteral(".lobby");
}

QStringList listLobbies()
{
    return QDir(QStringLiteral("data")).entryList({QStringLiteral("*.lobby")}, QDir::Files);
}

QString lobbyDisplayName(const QString &fileName)
{
    return fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
}

bool isSafeLobbyName(const QString &name)
{
    // The name becomes part of a path, so it must not lead out of "data".
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool writeLobbyFile(const QString &name, const QString &passphrase, const QString &linesText)
{
    return writeTextFile(lobbyFilePath(name), QStringLiteral("pass=") + passphrase + QStringLiteral("\nlines=")
                                                  + linesText + QStringLiteral("\n"));
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
    if (in.atEnd())
        return passphrase;

    const QString second = in.readLine();
    const QLatin1String linesKey("lines=");
    const qsizetype linesAt = second.indexOf(linesKey);
    lineCount = (linesAt < 0 ? ui->nrOfLinesField->text() : second.mid(linesAt + linesKey.size())).toUInt();
    return passphrase;
}
