#include "app/FrmAbout.h"

#include "app/Links.h"
#include "ui/Program.h"

FrmAbout::FrmAbout()
    : Form({.caption = "About Hidewell",
            .width = 5055,
            .height = 4500,
            .border = ui::Border::FixedDialog,
            .escapeCloses = true}) {
    LblMainWindow.Click = [this] { LblMainWindow_Click(); };
    LblURL.Click = [this] { LblURL_Click(); };
}

void FrmAbout::Form_Load() { ui::mainWindow().Hide(); }

void FrmAbout::Form_Unload() { ui::mainWindow().Show(); }

// Called when "main window" is clicked: the two windows swap, and this one
// stays loaded as it is.
void FrmAbout::LblMainWindow_Click() {
    ui::mainWindow().Show();
    Hide();
}

// Called when "Visit Software Home Page" is clicked: the address is the link's tooltip.
void FrmAbout::LblURL_Click() { followLink(*this, LblURL.toolTipText(), LblURL.toolTipText()); }
