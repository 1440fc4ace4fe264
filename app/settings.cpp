#include "app/settings.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

StartupSettings loadStartupSettings()
{
    QDir().mkdir(QStringLiteral("data"));

    StartupSettings settings;
    QFile file(QStringLiteral("data/settings.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return settings;

    const QLatin1String pathKey("path=");
    const QLatin1String linesKey("lines=");
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        // The keys count anywhere in a line; a line with both is a path line.
        const qsizetype pathAt = line.indexOf(pathKey);
        const qsizetype linesAt = line.indexOf(linesKey);
        if (pathAt >= 0)
            settings.gamePath = line.mid(pathAt + pathKey.size());
        else if (linesAt >= 0)
            settings.lineCount = line.mid(linesAt + linesKey.size()).toUInt();
    }
    return settings;
}
