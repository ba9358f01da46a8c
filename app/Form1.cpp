#include "app/Form1.h"

#include "access/FrmChangePass.h"
#include "app/AppTitle.h"
#include "app/FrmAbout.h"
#include "app/Links.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "mru/FrmMRU.h"
#include "ui/Program.h"

Form1::Form1()
    : Form({.caption = "Hidewell", .width = 3975, .height = 5175, .border = ui::Border::FixedSingle}) {
    LblHidef.Click = [this] { LblHidef_Click(); };
    LblUnhidef.Click = [this] { LblUnhidef_Click(); };
    LblMRU.Click = [this] { LblMRU_Click(); };
    Lblchangepass.Click = [this] { Lblchangepass_Click(); };
    Label4.Click = [this] { Label4_Click(); };
    LblURL.Click = [this] { LblURL_Click(); };
    LblContact.Click = [this] { LblContact_Click(); };
}

// Called when "Hide File or Folder" is clicked.
void Form1::LblHidef_Click() { ui::shared<FrmHidef>().Show(); }

// Called when "Unhide File or Folder" is clicked.
void Form1::LblUnhidef_Click() { ui::shared<FrmUnhidef>().Show(); }

// Called when "Delete MRU's" is clicked.
void Form1::LblMRU_Click() { ui::shared<FrmMRU>().Show(); }

// Called when "Change Login Password" is clicked.
void Form1::Lblchangepass_Click() { ui::shared<FrmChangePass>().Show(); }

// Called when "About" is clicked.
void Form1::Label4_Click() { ui::shared<FrmAbout>().Show(); }

// Called when "Visit Hidewell Home Page" is clicked: the address is the link's tooltip.
void Form1::LblURL_Click() { followLink(*this, LblURL.toolTipText(), LblURL.toolTipText()); }

// Called when "Contact Hidewell Author" is clicked: the tooltip holds the bare address.
void Form1::LblContact_Click() {
    const std::string address = LblContact.toolTipText();
    followLink(*this, "mailto:" + address + "?Subject=" + AppTitle, address);
}

// Called when the user closes the main window.
void Form1::Form_Unload() { ui::endProgram(); }
