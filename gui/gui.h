#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

QT_BEGIN_NAMESPACE
namespace Ui {
class GUI;
}
QT_END_NAMESPACE

// The window's child widgets, generated from gui.ui. The widgets belong to
// their parents; the record only points at them.
using GuiForm = Ui::GUI;

void setupForm(GuiForm &form, QMainWindow *window);

// Writes text as UTF-8 in text mode, all or nothing: the old file stays
// untouched unless every byte reached the new one. Only a file in a folder
// that refuses new files is written in place, as a plain write would.
bool writeTextFile(const QString &path, const QString &text);
bool replaceFileWith(const QString &path, const QByteArray &bytes);

// Lobby files: "data/<name>.lobby", two lines "pass=" and "lines=".
QString lobbyFilePath(const QString &name);
QStringList listLobbies();
QString lobbyDisplayName(const QString &fileName);
// Whether the name can be a file of its own inside "data" on this system.
bool isSafeLobbyName(const QString &name);
bool writeLobbyFile(const QString &name, const QString &passphrase, const QString &linesText);

// One value of a KeyValues text (Valve's format for Steam's library list and
// app manifests) with the keys that lead to it, lower-cased, as Steam
// ignores their case.
struct KeyValue
{
    QStringList keys;
    QString value;
};
// False for text that is malformed, nested too deep or too long.
bool readKeyValues(const QByteArray &text, QList<KeyValue> &values);

// Where the launchers on a computer record the folders they installed games
// in, each list in the order it is tried.
struct GameRecords
{
    QStringList steamFolders;
    QStringList epicManifestFolders;
    QStringList rockstarFolders;
    QStringList legendaryFiles;
};
// This computer's: registry values and the usual folders on Windows, the
// home folder and the XDG folders elsewhere.
GameRecords gameRecordsOnThisComputer();
// The first folder the records name that holds RDR2.exe, or empty. Reads
// the records only; anything missing, malformed or too large is skipped.
QString findGameFolder(const GameRecords &records);

extern const QString kMetaClosingTag;
extern const QString kDefaultMetaTemplate;

class GUI : public QMainWindow
{
    Q_OBJECT

public:
    GUI(QWidget *parent, QString path, unsigned lineCount);
    ~GUI() override;

    void saveSettings();

    QString readLobbyFile(const QString &name, unsigned &lineCount) const;

    void captureTemplate();
    QString lineBreaks() const;
    bool writeMeta(const QString &passphrase);
    QString readActivePassphrase(unsigned &lineCount) const;
    bool backupMeta();
    void restoreMeta();
    void removeBackup();

    bool usingDefaultTemplate() const;
    void updateStatus(const QString &prefix);
    void refreshLobbyList();
    bool applyLobby(const QString &name);

    // Where "Set RDR2 Directory" looks for the game while none is known;
    // tests give records of their own instead of this computer's.
    void setGameRecords(std::function<GameRecords()> records);

private slots:
    void on_setPathButton_clicked();
    void on_resetButton_clicked();
    void on_createButton_clicked();
    void on_useSelectedButton_clicked();
    void on_removeSelectedButton_clicked();
    void on_lobbyList_currentIndexChanged(int index);
    void on_lobbyNameField_textChanged(const QString &arg1);
    void on_nrOfLinesField_textChanged(const QString &arg1);
    void on_clearBackup_clicked();

private:
    unsigned shownLineCount() const;
    void showLineCount(unsigned lineCount);
    QString backupPath() const;
    void useGameDirectory(const QString &directory);

    std::unique_ptr<GuiForm> ui;
    QString gamePath;
    QString metaPath;
    QString metaTemplate;
    std::function<GameRecords()> gameRecords = gameRecordsOnThisComputer;
};
