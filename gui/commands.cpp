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
    if (!writeMeta(passphrase)) {
        updateStatus(QStringLiteral("Could not access meta file."));
        return false;
    }
    updateStatus(QStringLiteral("Private (") + name + QStringLiteral(")"));
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
    if (!isSafeLobbyName(name) || !writeLobbyFile(name, passphrase, ui->nrOfLinesField->text())) {
        updateStatus(QStringLiteral("Could not create new lobby."));
        return;
    }
    if (!applyLobby(name))
        return;
    refreshLobbyList();
    updateStatus(QStringLiteral("Private: (") + name + QStringLiteral(")"));
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
    restoreMeta();
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

    useGameDirectory(chosen);
    if (backupMeta())
        ui->clearBackup->setEnabled(true);
    saveSettings();
    refreshLobbyList();
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
