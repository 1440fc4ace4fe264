#pragma once

#include "core/core.h"

#include <QMainWindow>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

QT_BEGIN_NAMESPACE
namespace Ui {
class GUI;
}
QT_END_NAMESPACE

// The window's child widgets, generated from gui.ui. The widgets belong to
// their parents; the record only points at them.
using GuiForm = Ui::GUI;

void setupForm(GuiForm &form, QMainWindow *window);

// The captions of the two buttons that change with the window's state.
extern const QString kSetPathText;
extern const QString kChangePathText;
extern const QString kCreateLobbyText;
extern const QString kUpdateLobbyText;

// Keeps the form at the smallest scale at which every text it can show fits
// with the widgets' own fonts and style: as drawn in gui.ui where they fit,
// and fitted again when the font, the style or the screen's DPI changes.
// The whole form grows as one piece, so it keeps its shape.
class FormFit : public QObject
{
    Q_OBJECT

public:
    FormFit(GuiForm &form, QMainWindow *owner);
    // In hundredths: 100 as drawn.
    int scale() const { return current; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Part
    {
        QWidget *widget;
        QRect drawn;
        QStringList texts;
    };
    static constexpr std::size_t kNamePart = 2;
    static constexpr std::size_t kLinesPart = 3;
    // Where each control goes at the scale, or nothing when a text of one
    // does not fit there.
    std::optional<std::vector<QRect>> layoutAt(int candidate) const;
    void fit();

    QMainWindow *window;
    QSize drawnSize;
    std::vector<Part> frames;
    std::vector<Part> controls;
    int current = 100;
};

// The game's folder for a folder a player chose.
QString gameFolderOf(const QString &chosen);

// Lobby files: "data/<name>.lobby", two lines "pass=" and "lines=".
QString lobbyFilePath(const QString &name);
QStringList listLobbies();
QString lobbyDisplayName(const QString &fileName);
// Why the name cannot be a file of its own inside "data" on this system,
// or nothing when it can.
QString lobbyNameProblem(const QString &name);
// On failure, *error says why.
bool writeLobbyFile(const QString &name, const QString &passphrase, const QString &linesText, QString *error = nullptr);

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
    // Whether the meta file changed.
    bool restoreMeta();
    void removeBackup();

    bool usingDefaultTemplate() const;
    // The prefix, or what the fields show when it is empty, then the number
    // of lobbies and the template in use.
    void updateStatus(const QString &prefix);
    void refreshLobbyList();
    bool applyLobby(const QString &name);

    // Where "Set RDR2 Directory" looks for the game while none is known;
    // tests give records of their own instead of this computer's.
    void setGameRecords(std::function<GameRecords()> records);
    // How a change of a game file that was refused for lack of permission is
    // made once more as administrator: on Windows by Corvane's file mode
    // through the elevation prompt, elsewhere not at all; tests give one of
    // their own.
    using ElevatedRunner = std::function<ElevatedRun(const QStringList &arguments)>;
    void setElevatedRunner(ElevatedRunner runner);

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
    // The status line as head + name + close and the rest; where it is too
    // long only the name is shortened.
    void showStatus(const QString &head, const QString &name, const QString &close);
    unsigned shownLineCount() const;
    void showLineCount(unsigned lineCount);
    QString backupPath() const;
    void useGameDirectory(const QString &directory);
    QString gameFolderProblem() const;
    void noteNextGameStart(bool changed);
    bool copyToGameFile(const QString &source, const QString &target);
    bool deleteGameFile(const QString &target);
    bool finishGameFileChange(GameFileResult result, const QStringList &elevatedArguments);

    std::unique_ptr<GuiForm> ui;
    QString gamePath;
    QString metaPath;
    QString metaTemplate;
    std::function<GameRecords()> gameRecords = gameRecordsOnThisComputer;
#ifdef Q_OS_WIN
    ElevatedRunner runElevated = runCorvaneAsAdministrator;
#else
    ElevatedRunner runElevated;
#endif
};
