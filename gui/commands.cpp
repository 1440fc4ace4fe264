#include "gui/gui.h"

#include "ui_gui.h"

#include <QFile>
#include <QFileDialog>

#include <utility>

bool GUI::applyLobby(const QString &name)
{
    unsigned lineCount = 0;
    const QString passphrase = readLobbyFile(name, lineCount);
    if (passphrase.isEmpty())
        return false;
    if (lineCount != shownLineCount())
        showLineCount(lineCount);
    const bool written = writeMeta(passphrase);
    noteNextGameStart(written);
    if (!written) {
        updateStatus(QStringLiteral("Could not access meta file."));
        return false;
    }
    showStatus(QStringLiteral("Private ("), name, QStringLiteral(")"));
    return true;
}

void GUI::on_useSelectedButton_clicked()
{
    applyLobby(ui->lobbyList->currentText());
}

void GUI::on_createButton_clicked()
{
    const QString name = ui->lobbyNameField->text();
    const QString passphrase = ui->passphraseField->text();
    if (name.isEmpty() || passphrase.isEmpty())
        return;
    QString error;
    const bool written = writeLobbyFile(name, passphrase, ui->nrOfLinesField->text(), &error);
    ui->statusbar->setNote(StatusLine::LobbyFileProblem,
                           written ? QString()
                                   : QStringLiteral("Could not save the lobby \"%1\": %2.").arg(name, error));
    if (!written) {
        updateStatus(QStringLiteral("Could not create new lobby."));
        return;
    }
    if (!applyLobby(name))
        return;
    refreshLobbyList();
    showStatus(QStringLiteral("Private: ("), name, QStringLiteral(")"));
}

void GUI::on_removeSelectedButton_clicked()
{
    const QString path = lobbyFilePath(ui->lobbyList->currentText());
    if (!QFile::exists(path))
        return;
    QFile::remove(path);
    refreshLobbyList();
    updateStatus(QString());
}

void GUI::on_resetButton_clicked()
{
    noteNextGameStart(restoreMeta());
    refreshLobbyList();
    updateStatus(QString());
}

void GUI::on_setPathButton_clicked()
{
    // On a first start the chooser opens where a launcher installed the game,
    // so that choosing it is one click.
    const QString start = gamePath.isEmpty() ? findGameFolder(gameRecords()) : gamePath;
    const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Select RDR2 root directory"), start,
                                                             QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return;

    useGameDirectory(gameFolderOf(chosen));
    if (backupMeta())
        ui->clearBackup->setEnabled(true);
    saveSettings();
    refreshLobbyList();
    updateStatus(QString());
}

// The game reads its meta file only as it starts, so a player who switches
// while it runs would otherwise wonder why nothing changed.
void GUI::noteNextGameStart(bool changed)
{
    const bool running = changed && gameIsRunning().value_or(false);
    ui->statusbar->setNote(StatusLine::NextGameStart,
                           running ? QStringLiteral("RDR2 is running: the change takes effect the next time it starts.")
                                   : QString());
}

void GUI::setGameRecords(std::function<GameRecords()> records)
{
    gameRecords = std::move(records);
}

void GUI::on_clearBackup_clicked()
{
    removeBackup();
    ui->clearBackup->setEnabled(false);
}
