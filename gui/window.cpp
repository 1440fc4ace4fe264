#include "gui/gui.h"

#include "ui_gui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>

const QString kSetPathText = QStringLiteral("Set RDR2 Directory");
const QString kChangePathText = QStringLiteral("Change RDR2 Directory");
const QString kCreateLobbyText = QStringLiteral("Create New Lobby");
const QString kUpdateLobbyText = QStringLiteral("Update Lobby Code");

namespace {

QString createButtonText(bool lobbyShown)
{
    return lobbyShown ? kUpdateLobbyText : kCreateLobbyText;
}

} // namespace

GUI::GUI(QWidget *parent, QString path, unsigned lineCount)
    : QMainWindow(parent), ui(std::make_unique<GuiForm>()), gamePath(std::move(path))
{
    setupForm(*ui, this);
    showLineCount(lineCount);

    metaTemplate = kDefaultMetaTemplate;
    if (gamePath.isEmpty()) {
        ui->setPathButton->setText(kSetPathText);
    } else {
        useGameDirectory(gamePath);
        captureTemplate();
        ui->clearBackup->setEnabled(QFile::exists(backupPath()));
    }
    refreshLobbyList();
    updateStatus(QString());
}

GUI::~GUI() = default;

// Players often choose the game's x64 folder, or the data folder in it,
// for the game's own; either is taken for the folder that holds it.
QString gameFolderOf(const QString &chosen)
{
    const auto named = [](const QString &path, const char *name) {
        return QFileInfo(path).fileName().compare(QLatin1String(name), kFileNameCase) == 0;
    };
    const QString parent = QFileInfo(chosen).path();
    if (named(chosen, "x64") && QFileInfo(chosen + QStringLiteral("/data")).isDir())
        return parent;
    if (named(chosen, "data") && named(parent, "x64"))
        return QFileInfo(parent).path();
    return chosen;
}

void GUI::useGameDirectory(const QString &directory)
{
    gamePath = directory;
    metaPath = gamePath + QStringLiteral("/x64/data/startup.meta");
    ui->setPathButton->setText(kChangePathText);
    // The window shows the folder nowhere else. It gets a line of its own,
    // as Qt only takes a tooltip for markup when its first line looks so.
    ui->setPathButton->setToolTip(QStringLiteral("Game folder in use:\n") + QDir::toNativeSeparators(gamePath)
                                  + QStringLiteral("\nClick to choose another one."));
    ui->statusbar->setNote(StatusLine::GameFolderProblem, gameFolderProblem());
}

QString GUI::gameFolderProblem() const
{
    if (QFileInfo(gamePath + QStringLiteral("/x64/data")).isDir())
        return QString();
    const QString found = findGameFolder(gameRecords());
    const QString choose = found.isEmpty() ? QStringLiteral(".")
                                           : QStringLiteral(": %1 is one.").arg(QDir::toNativeSeparators(found));
    return QStringLiteral("%1 holds no %2 folder, where RDR2 reads its meta file. Choose the game's own folder, the "
                          "one that holds RDR2.exe%3")
        .arg(QDir::toNativeSeparators(gamePath), QDir::toNativeSeparators(QStringLiteral("x64/data")), choose);
}

unsigned GUI::shownLineCount() const
{
    return ui->nrOfLinesField->text().toUInt();
}

void GUI::showLineCount(unsigned lineCount)
{
    // Counts of 2^31 and up arrive negative and the spin box raises them to 1.
    ui->nrOfLinesField->setValue(static_cast<int>(lineCount));
}

void GUI::updateStatus(const QString &prefix)
{
    if (!prefix.isEmpty())
        showStatus(prefix, QString(), QString());
    else if (!ui->lobbyNameField->text().isEmpty())
        showStatus(QStringLiteral("Private ("), ui->lobbyNameField->text(), QStringLiteral(")"));
    else if (!ui->passphraseField->text().isEmpty())
        showStatus(QStringLiteral("Private (unknown lobby)"), QString(), QString());
    else
        showStatus(QStringLiteral("Public"), QString(), QString());
}

void GUI::showStatus(const QString &head, const QString &name, const QString &close)
{
    const QString tail = close + QStringLiteral("  |  Lobbies: ") + QString::number(ui->lobbyList->count() - 1)
                         + QStringLiteral("  |  Using ")
                         + (usingDefaultTemplate() ? QStringLiteral("default") : QStringLiteral("custom"))
                         + QStringLiteral(" XML");
    ui->statusbar->showStatus(head, name, tail);
}

void GUI::refreshLobbyList()
{
    const QStringList files = listLobbies();
    unsigned activeLineCount = 0;
    const QString activePassphrase = readActivePassphrase(activeLineCount);

    ui->lobbyList->clear();
    // The first item becomes current and empties the fields through the slot.
    ui->lobbyList->addItem(QIcon(), QString());

    QStringList names;
    names.reserve(files.size());
    int found = 0;
    for (const QString &file : files) {
        names << lobbyDisplayName(file);
        if (activePassphrase.isEmpty() || found != 0)
            continue;
        unsigned lobbyLineCount = 0;
        if (readLobbyFile(names.last(), lobbyLineCount) != activePassphrase)
            continue;
        if (lobbyLineCount != 0 && lobbyLineCount != activeLineCount)
            continue;
        found = static_cast<int>(names.size()) + 1;
        if (lobbyLineCount != activeLineCount)
            showLineCount(activeLineCount);
    }
    // Added in one go: items after the first change no selection, so no slot
    // notices the difference, and a long list is built once.
    ui->lobbyList->addItems(names);

    if (found != 0)
        ui->lobbyList->setCurrentIndex(found - 1);
    else if (!activePassphrase.isEmpty() || !ui->passphraseField->text().isEmpty())
        ui->passphraseField->setText(activePassphrase);
}

void GUI::on_lobbyList_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    const QString name = ui->lobbyList->itemText(index);
    if (name == ui->lobbyNameField->text())
        return;

    unsigned lineCount = shownLineCount();
    const QString passphrase = readLobbyFile(name, lineCount);
    ui->lobbyNameField->setText(name);
    ui->passphraseField->setText(passphrase);
    showLineCount(lineCount);
    ui->createButton->setText(createButtonText(!name.isEmpty() && !passphrase.isEmpty()));
}

void GUI::on_lobbyNameField_textChanged(const QString &arg1)
{
    const int index = ui->lobbyList->findText(arg1, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 1 || index == ui->lobbyList->currentIndex()) {
        ui->createButton->setText(createButtonText(false));
        return;
    }

    unsigned lineCount = shownLineCount();
    const QString passphrase = readLobbyFile(arg1, lineCount);
    if (passphrase.isEmpty())
        return;
    ui->lobbyList->setCurrentIndex(index);
    ui->passphraseField->setText(passphrase);
    showLineCount(lineCount);
    ui->createButton->setText(createButtonText(true));
}
