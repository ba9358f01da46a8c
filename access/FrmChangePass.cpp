#include "access/FrmChangePass.h"

#include "access/FrmPass.h"
#include "access/PasswordStore.h"
#include "ui/Program.h"
#include "ui/WaitCursor.h"

using ui::Icon;

FrmChangePass::FrmChangePass()
    : Form({.caption = "Change Password...",
            .width = 4815,
            .height = 3735,
            .border = ui::Border::FixedDialog,
            .escapeCloses = true}) {
    CmdChangepass.Click = [this] { CmdChangepass_Click(); };
    TxtOldPass.KeyPress = [this](int key) { TxtOldPass_KeyPress(key); };
    Text1.KeyPress = [this](int key) { Text1_KeyPress(key); };
    Text2.KeyPress = [this](int key) { Text2_KeyPress(key); };
}

// Opened from the login window, this loads the main window hidden.
void FrmChangePass::Form_Load() { ui::mainWindow().Hide(); }

// Called when "Change Password" is clicked: the old password first, then the
// two new entries; the first check that fails ends it.
void FrmChangePass::CmdChangepass_Click() {
    const ui::WaitCursor wait;  // the old password is checked and the new one saved, each hashed
    if (!TxtOldPass.textIsExact() || !PasswordStore::matches(TxtOldPass.text())) {
        askToRetype("The existing password was not entered correctly");
        TxtOldPass.setText("");
        TxtOldPass.setFocus();
        return;
    }
    const std::string password = Text1.text();
    if (Text2.text() != password) {
        askToRetype("The two new passwords were not entered correctly");
        Text1.setText("");
        Text2.setText("");
        Text1.setFocus();
        return;
    }
    if (!Text1.textIsExact()) {
        MsgBox(PasswordStore::kBrokenCharacter, "Error", Icon::Exclamation);
        return;
    }
    if (!PasswordStore::save(password)) {
        MsgBox(PasswordStore::kNotSaved, "Error", Icon::Exclamation);
        return;
    }
    MsgBox("The password was successfully changed", "Hidewell", Icon::Information);
    Hide();
    ui::mainWindow().Show();
}

void FrmChangePass::askToRetype(const char* prompt) {
    MsgBox(prompt, "Error", Icon::Exclamation);
    MsgBox("Please Re-Type", ui::programTitle(), Icon::Information);
}

void FrmChangePass::TxtOldPass_KeyPress(int keyAscii) {
    if (keyAscii == VK_RETURN) Text1.setFocus();
}

void FrmChangePass::Text1_KeyPress(int keyAscii) {
    if (keyAscii == VK_RETURN) Text2.setFocus();
}

void FrmChangePass::Text2_KeyPress(int keyAscii) {
    if (keyAscii == VK_RETURN) CmdChangepass.setFocus();
}

// Called when the user closes the window: back to the login window, with an
// empty password box. The main window stays as it is.
void FrmChangePass::Form_Unload() {
    FrmPass& login = ui::shared<FrmPass>();
    login.TxtPass.setText("");
    login.Show();
    login.TxtPass.setFocus();
}
