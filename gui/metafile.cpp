#include "gui/gui.h"

#include "ui_gui.h"

#include <QFile>
#include <QTemporaryFile>
#include <QTextStream>

#include <utility>

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

namespace {

bool writeTemporary(QTemporaryFile &file, const QByteArray &bytes)
{
    if (!file.open() || file.write(bytes) != bytes.size())
        return false;
    // Closed, it stays until the object goes.
    file.close();
    return file.error() == QFileDevice::NoError;
}

// What the file mode said as administrator, which the window cannot read:
// the words of the reason its exit code stands for, after what stands in
// place of the path in the mode's line.
QString asAdministrator(int exitCode)
{
    const GameFileReason reason = gameFileReasonOf(exitCode);
    const QString words = gameFileReasonWords(reason);
    if (!isGameFileRefusal(reason))
        return QStringLiteral(" As administrator it failed too: %1.").arg(words);
    QString subject;
    if (reason >= GameFileReason::SourceIsLink)
        subject = QStringLiteral("cannot read the file to copy: ");
    else if (reason != GameFileReason::Usage)
        subject = QStringLiteral("the path ");
    return QStringLiteral(" As administrator it was refused too: %1%2.").arg(subject, words);
}

} // namespace

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
    if (metaPath.isEmpty()) {
        ui->statusbar->setNote(StatusLine::GameFileProblem,
                               QStringLiteral("No RDR2 directory is set: choose the game's folder first."));
        return false;
    }
    const QByteArray bytes = textFileBytes(metaTemplate + lineBreaks() + passphrase);
    const GameFileResult result = writeGameFile(metaPath, bytes);
    // The file mode takes what to write from a file: one of Corvane's own,
    // gone once the change is over.
    QTemporaryFile content;
    QStringList elevated;
    if (result.refused && runElevated && writeTemporary(content, bytes))
        elevated = QStringList{QStringLiteral("write"), gameFileArgument(content.fileName()),
                               gameFileArgument(metaPath)};
    return finishGameFileChange(result, elevated);
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
    // The first backup is the game's own file, so it is never replaced.
    if (!QFile::exists(backupPath()))
        copyToGameFile(metaPath, backupPath());
    return true;
}

bool GUI::restoreMeta()
{
    if (!QFile::exists(metaPath))
        return false;
    // The backup replaces the meta file in one step, so a copy that fails
    // leaves the game with the file it had rather than with none.
    if (QFile::exists(backupPath()))
        return copyToGameFile(backupPath(), metaPath);
    return deleteGameFile(metaPath);
}

void GUI::removeBackup()
{
    // Without a game directory the backup path would name a stray file in
    // the working directory.
    if (!metaPath.isEmpty() && QFile::exists(backupPath()))
        deleteGameFile(backupPath());
}

bool GUI::copyToGameFile(const QString &source, const QString &target)
{
    return finishGameFileChange(::copyGameFile(source, target),
                                {QStringLiteral("write"), gameFileArgument(source), gameFileArgument(target)});
}

bool GUI::deleteGameFile(const QString &target)
{
    return finishGameFileChange(removeGameFile(target), {QStringLiteral("remove"), gameFileArgument(target)});
}

// A change refused for lack of permission is made once more as
// administrator, with one prompt at most; the status line's tooltip says
// why a change failed until the next one succeeds.
bool GUI::finishGameFileChange(GameFileResult result, const QStringList &elevatedArguments)
{
    if (result.refused && runElevated && !elevatedArguments.isEmpty()) {
        const ElevatedRun run = runElevated(QStringList{QStringLiteral("--game-file")} + elevatedArguments);
        if (run.outcome == ElevatedRun::Finished && run.exitCode == 0)
            result.done = true;
        else if (run.outcome == ElevatedRun::Declined)
            result.message += QStringLiteral(" The administrator prompt was declined.");
        else if (run.outcome == ElevatedRun::Finished)
            result.message += asAdministrator(run.exitCode);
        else
            result.message += QStringLiteral(" Corvane could not start itself as administrator.");
    }
    ui->statusbar->setNote(StatusLine::GameFileProblem, result.done ? QString() : result.message);
    return result.done;
}

void GUI::setElevatedRunner(ElevatedRunner runner)
{
    runElevated = std::move(runner);
}
