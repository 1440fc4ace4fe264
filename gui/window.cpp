#include "gui/gui.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

GUI::GUI(QWidget *parent, QString path, unsigned lineCount)
    : QMainWindow(parent), ui(std::make_unique<GuiForm>()), gamePath(std::move(path))
{
    setupForm(*ui, this);
    showLineCount(lineCount);
}

GUI::~GUI() = default;

unsigned GUI::shownLineCount() const
{
    return ui->nrOfLinesField->text().toUInt();
}

void GUI::showLineCount(unsigned lineCount)
{
    // Counts of 2^31 and up arrive negative and the spin box raises them to 1.
    ui->nrOfLinesField->setValue(static_cast<int>(lineCount));
}

void GUI::on_lobbyList_currentIndexChanged(int) {}
void GUI::on_lobbyNameField_textChanged(const QString &) {}
