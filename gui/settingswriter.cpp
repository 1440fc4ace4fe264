#include "gui/gui.h"

#include "ui_gui.h"

#include <QDir>

void GUI::saveSettings()
{
    const QString path = QStringLiteral("data/settings.txt");
    const QString text = QStringLiteral("path=") + gamePath + QStringLiteral("\nlines=")
                         + QString::number(shownLineCount()) + QStringLiteral("\n");
    QString error;
    // Otherwise the next start would silently forget the game folder.
    const QString problem = writeTextFile(path, text, &error)
                                ? QString()
                                : QStringLiteral("Could not save the settings in %1: %2.")
                                      .arg(QDir::toNativeSeparators(QDir(path).absolutePath()), error);
    ui->statusbar->setNote(StatusLine::SettingsProblem, problem);
}

void GUI::on_nrOfLinesField_textChanged(const QString &)
{
    saveSettings();
}
