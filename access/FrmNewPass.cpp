#include "access/FrmNewPass.h"

#include "access/PasswordStore.h"
#include "ui/Program.h"
#include "ui/WaitCursor.h"

FrmNewPass::FrmNewPass()
    : Form({.caption = "Enter New Password",
            .width = 5175,
            .height = 3855,
            .border = ui::Border::FixedDialog}) {
    CmdNewpassok.Click = [this] { CmdNewpassok_Click(); };
    TxtNewpass1.KeyPress = [this](int key) { TxtNewpass1_KeyPress(key); };
    txtnewpass2.KeyPress = [this](int key) { txtnewpass2_KeyPress(key); };
}

// Called when "OK" is clicked: saves the password when both entries agree.
void FrmNewPass::CmdNewpassok_Click() {
    const ui::WaitCursor wait;  // saving takes a moment: the password is hashed
    const std::string password = TxtNewpass1.text();
    if (password != txtnewpass2.text()) {
        MsgBox("the two passwords do not co-incide", "Hidewell", ui::Icon::Exclamation);
        return;
    }
    if (!TxtNewpass1.textIsExact()) {
        MsgBox(PasswordStore::kBrokenCharacter, "Error", ui::Icon::Exclamation);
        return;
    }
    if (!PasswordStore::save(password)) {
        MsgBox(PasswordStore::kFirstNotSaved, "Error", ui::Icon::Exclamation);
        return;
    }
    MsgBox("The password was successfully saved", "Hidewell", ui::Icon::Information);
    // Nothing shows this window again: the password need not stay in it.
    TxtNewpass1.setText("");
    txtnewpass2.setText("");
    Hide();
    ui::mainWindow().Show();
}

void FrmNewPass::TxtNewpass1_KeyPress(int keyAscii) {
    if (keyAscii == VK_RETURN) txtnewpass2.setFocus();
}

void FrmNewPass::txtnewpass2_KeyPress(int keyAscii) {
    if (keyAscii == VK_RETURN) CmdNewpassok.setFocus();
}

// Called when the user closes the window: no password, no program.
void FrmNewPass::Form_Unload() { ui::endProgram(); }
