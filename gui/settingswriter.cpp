#include "gui/gui.h"

#include "ui_gui.h"

void GUI::saveSettings()
{
    const QString text = QStringLiteral("path=") + gamePath + QStringLiteral("\nlines=")
                         + QString::number(shownLineCount()) + QStringLiteral("\n");
    writeTextFile(QStringLiteral("data/settings.txt"), text);
}

void GUI::on_nrOfLinesField_textChanged(const QString &)
{
    saveSettings();
}
