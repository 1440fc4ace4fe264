#include "gui/gui.h"

void GUI::on_setPathButton_clicked() {}
void GUI::on_resetButton_clicked() {}
void GUI::on_createButton_clicked() {}
void GUI::on_useSelectedButton_clicked() {}
void GUI::on_removeSelectedButton_clicked() {}
void GUI::on_clearBackup_clicked() {}
