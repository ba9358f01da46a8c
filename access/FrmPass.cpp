#include "access/FrmPass.h"

#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/PasswordStore.h"
#include "ui/Program.h"
#include "ui/WaitCursor.h"

FrmPass::FrmPass()
    : Form({.caption = "Password Required",
            .width = 4680,
            .height = 3360,
            .border = ui::Border::FixedDialog}) {
    CmdPassoK.Click = [this] { CmdPassoK_Click(); };
    TxtPass.KeyPress = [this](int key) { TxtPass_KeyPress(key); };
    LblChangePass.Click = [this] { LblChangePass_Click(); };
}

// With no password chosen yet, the user chooses one first.
void FrmPass::Form_Load() {
    if (!PasswordStore::isEmpty()) return;
    Hide();
    ui::shared<FrmNewPass>().Show();
}

// Called when "OK" is clicked: the typed password against the stored one.
void FrmPass::CmdPassoK_Click() {
    const ui::WaitCursor wait;  // checking takes a moment: the password is hashed
    if (TxtPass.textIsExact() && PasswordStore::logIn(TxtPass.text())) {
        // Nothing shows this window with the password again: it need not
        // stay in the box for the rest of the run.
        TxtPass.setText("");
        Hide();
        ui::mainWindow().Show();
        return;
    }
    MsgBox("The password entered is incorrect, Please try again", "Error", ui::Icon::Exclamation);
    TxtPass.setText("");
    TxtPass.setFocus();
}

// Enter moves on to "OK"; a second Enter clicks it.
void FrmPass::TxtPass_KeyPress(int keyAscii) {
    if (keyAscii == VK_RETURN) CmdPassoK.setFocus();
}

// Called when "Change Password" is clicked.
void FrmPass::LblChangePass_Click() {
    ui::shared<FrmChangePass>().Show();
    Hide();
}

// Called when the user closes the login window.
void FrmPass::Form_Unload() { ui::endProgram(); }
