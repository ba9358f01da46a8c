#include "mru/FrmMRU.h"

#include <string>

#include "mru/MruTargets.h"
#include "registry/ModRegedit.h"
#include "ui/Program.h"

using ui::Icon;

FrmMRU::FrmMRU()
    : Form({.caption = "Delete Most Recently Used Items (MRU) ",
            .width = 4680,
            .height = 2745,
            .border = ui::Border::FixedSingle,
            .escapeCloses = true}) {
    CmdDelMRU.Click = [this] { CmdDelMRU_Click(); };
}

void FrmMRU::Form_Load() {
    ui::mainWindow().Hide();
    for (const MruTarget& t : MruTargets) CmbMRU.addItem(t.name);
    LblNoMRU.setCaption(std::to_string(CmbMRU.listCount()));
}

void FrmMRU::Form_Unload() { ui::mainWindow().Show(); }

// Called when "Delete MRU item" is clicked: deletes the chosen program's list.
void FrmMRU::CmdDelMRU_Click() {
    const std::string chosen = CmbMRU.selectedText();
    if (chosen.empty()) {
        MsgBox("Please select an MRU list to delete", "Error", Icon::Information);
        return;
    }
    for (const MruTarget& t : MruTargets) {
        if (chosen != t.name) continue;
        // Some programs keep their list in subkeys: the key goes whole, and
        // only a key that is gone is reported as removed. A program that has
        // the key open does not keep it from going; its security, or a
        // registry link on the way to it, does.
        if (!ModRegedit::RegDeleteSubkeyTree(ModRegedit::HKCU, t.parent, t.subkey)) {
            MsgBox(
                "The " + chosen +
                    " list could not be removed: its registry key could not be deleted. The key's "
                    "permissions may protect it, or it lies behind a registry link, through which Hidewell "
                    "deletes nothing.",
                "Error", Icon::Exclamation);
            return;
        }
        MsgBox(t.confirmation, "Confirmation", Icon::Information);
        if (t.rebootNote)
            MsgBox("Please reboot the computer for the changes to take effect", "Hidewell",
                   Icon::Information);
        return;
    }
}
