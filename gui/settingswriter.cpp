#include "gui/gui.h"

#include "ui_gui.h"

void GUI::saveSettings()
{
    writeTextFile(QStringLiteral("data/settings.txt"),
                  QStringLiteral("path=") + gamePath + QStringLiteral("\nlines=")
                      + QString::number(shownLineCount()) + QStringLiteral("\n"));
}

void GUI::on_nrOfLinesField_textChanged(const QString &)
{
    saveSettings();
}
