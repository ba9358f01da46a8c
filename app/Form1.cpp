#include "app/Form1.h"

#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"

Form1::Form1()
    : Form({.caption = "Hidewell", .width = 3975, .height = 5175, .border = ui::Border::FixedSingle}) {
    LblHidef.Click = [this] { LblHidef_Click(); };
    LblUnhidef.Click = [this] { LblUnhidef_Click(); };
}

// Called when "Hide File or Folder" is clicked.
void Form1::LblHidef_Click() { ui::shared<FrmHidef>().Show(); }

// Called when "Unhide File or Folder" is clicked.
void Form1::LblUnhidef_Click() { ui::shared<FrmUnhidef>().Show(); }

// Called when the user closes the main window.
void Form1::Form_Unload() { ui::endProgram(); }
