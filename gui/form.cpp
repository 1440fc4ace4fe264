#include "gui/gui.h"

#include "ui_gui.h"

// The slots are found by their object names (connectSlotsByName in setupUi),
// so the names in gui.ui are wiring, not decoration.
void setupForm(GuiForm &form, QMainWindow *window)
{
    form.setupUi(window);
    new FormFit(form, window);
}
