#include "gui/gui.h"

#include <QFile>
#include <QTextStream>

const QString kMetaClosingTag = QStringLiteral("</CDataFileMgr__ContentsOfDataFileXml>");

// Kept with explicit "\n" rather than a raw string so that a checkout with
// CR LF line ends cannot change the bytes written to the game.
const QString kDefaultMetaTemplate = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<CDataFileMgr__ContentsOfDataFileXml>\n"
    " <disabledFiles />\n"
    " <includedXmlFiles itemType=\"CDataFileMgr__DataFileArray\" />\n"
    " <includedDataFiles />\n"
    " <dataFiles itemType=\"CDataFileMgr__DataFile\">\n"
    "  <Item>\n"
    "   <filename>platform:/data/cdimages/scaleform_platform_pc.rpf</filename>\n"
    "   <fileType>RPF_FILE</fileType>\n"
    "  </Item>\n"
    "  <Item>\n"
    "   <filename>platform:/data/ui/value_conversion.rpf</filename>\n"
    "   <fileType>RPF_FILE</fileType>\n"
    "  </Item>\n"
    "  <Item>\n"
    "   <filename>platform:/data/ui/widgets.rpf</filename>\n"
    "   <fileType>RPF_FILE</fileType>\n"
    "  </Item>\n"
    "  <Item>\n"
    "   <filename>platform:/textures/ui/ui_photo_stickers.rpf</filename>\n"
    "   <fileType>RPF_FILE</fileType>\n"
    "  </Item>\n"
    "  <Item>\n"
    "   <filename>platform:/textures/ui/ui_platform.rpf</filename>\n"
    "   <fileType>RPF_FILE</fileType>\n"
    "  </Item>\n"
    "  <Item>\n"
    "   <filename>platform:/data/ui/stylesCatalog</filename>\n"
    "   <fileType>aWeaponizeDisputants</fileType> <!-- collision -->\n"
    "  </Item>\n"
    "  <Item>\n"
    "   <filename>platform:/data/cdimages/scaleform_frontend.rpf</filename>\n"
    "   <fileType>RPF_FILE_PRE_INSTALL</fileType>\n"
    "  </Item>\n"
    "  <Item>\n"
    "   <filename>platform:/textures/ui/ui_startup_textures.rpf</filename>\n"
    "   <fileType>RPF_FILE</fileType>\n"
    "  </Item>\n"
    "  <Item>\n"
    "   <filename>platform:/data/ui/startup_data.rpf</filename>\n"
    "   <fileType>RPF_FILE</fileType>\n"
    "  </Item>\n"
    " </dataFiles>\n"
    " <contentChangeSets itemType=\"CDataFileMgr__ContentChangeSet\" />\n"
    " <patchFiles />\n"
    "</CDataFileMgr__ContentsOfDataFileXml>");

QString GUI::backupPath() const
{
    return metaPath + QStringLiteral(".original");
}

void GUI::captureTemplate()
{
    QFile file(metaPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;

    QTextStream in(&file);
    QString text;
    QString line;
    while (!in.atEnd() && line != kMetaClosingTag) {
        line = in.readLine();
        text += line;
        if (line != kMetaClosingTag)
            text += QLatin1Char('\n');
    }
    // Without the closing tag nothing written after this template could be
    // read back, so such a file is no template to keep.
    if (line != kMetaClosingTag)
        return;
    metaTemplate = text;
}

bool GUI::usingDefaultTemplate() const
{
    return metaTemplate == kDefaultMetaTemplate;
}

QString GUI::lineBreaks() const
{
    return QString(static_cast<qsizetype>(shownLineCount()), QLatin1Char('\n'));
}

bool GUI::writeMeta(const QString &passphrase)
{
    // Without a game directory there is nothing to open, and Qt would warn.
    if (metaPath.isEmpty())
        return false;
    return writeTextFile(metaPath, metaTemplate + lineBreaks() + passphrase);
}

QString GUI::readActivePassphrase(unsigned &lineCount) const
{
    QFile file(metaPath);
    if (metaPath.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();

    QTextStream in(&file);
    unsigned counter = 1;
    QString passphrase;
    while (!in.atEnd() && passphrase.isEmpty()) {
        if (in.readLine() != kMetaClosingTag)
            continue;
        QString line = in.readLine();
        while (!in.atEnd() && line.isEmpty()) {
            ++counter;
            line = in.readLine();
        }
        passphrase = line;
    }
    lineCount = counter;
    return passphrase;
}

bool GUI::backupMeta()
{
    if (!QFile::exists(metaPath))
        return false;
    // QFile::copy never replaces an existing file, so the first backup stays.
    QFile::copy(metaPath, backupPath());
    return true;
}

void GUI::restoreMeta()
{
    if (!QFile::exists(metaPath))
        return;
    QFile backup(backupPath());
    if (!backup.exists()) {
        QFile::remove(metaPath);
        return;
    }
    // The backup replaces the meta file in one step, so a copy that fails
    // leaves the game with the file it had rather than with none.
    if (!backup.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = backup.readAll();
    if (backup.error() == QFileDevice::NoError)
        replaceFileWith(metaPath, bytes);
}

void GUI::removeBackup()
{
    // Without a game directory the backup path would name a stray file in
    // the working directory.
    if (metaPath.isEmpty())
        return;
    QFile::remove(backupPath());
}
