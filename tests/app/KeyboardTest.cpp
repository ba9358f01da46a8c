// The keyboard across the windows: Tab goes through each window's boxes and
// buttons in their order, Alt+F4 closes as the close box does, and Enter
// clicks nothing but a focused button.
#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "app/Form1.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "mru/FrmMRU.h"
#include "support/Messages.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"

namespace {

class KeyboardTest : public test::Sandbox {};

void press(UINT key) {
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    ui::pumpMessages();
}

// Tab from the first control goes through all the others and back to it.
::testing::AssertionResult tabsInOrder(ui::Form& form, std::vector<const ui::Control*> order) {
    form.Show();
    if (!order.front()->hasFocus())
        return ::testing::AssertionFailure()
               << form.design().caption << ": the first has no focus when shown";
    for (size_t i = 1; i <= order.size(); ++i) {
        press(VK_TAB);
        if (!order[i % order.size()]->hasFocus())
            return ::testing::AssertionFailure()
                   << form.design().caption << ", Tab number " << i << " goes astray";
    }
    return ::testing::AssertionSuccess();
}

TEST_F(KeyboardTest, TabFollowsEachWindowsOrder) {
    // A stored password, so that the login window asks for it.
    test::PasswordSandbox passwords;
    ASSERT_TRUE(passwords.plantPlain("x"));
    auto& login = ui::shared<FrmPass>();
    EXPECT_TRUE(tabsInOrder(login, {&login.TxtPass, &login.CmdPassoK}));
    auto& first = ui::shared<FrmNewPass>();
    EXPECT_TRUE(tabsInOrder(first, {&first.TxtNewpass1, &first.txtnewpass2, &first.CmdNewpassok}));
    auto& change = ui::shared<FrmChangePass>();
    EXPECT_TRUE(
        tabsInOrder(change, {&change.TxtOldPass, &change.Text1, &change.Text2, &change.CmdChangepass}));
    auto& hide = ui::shared<FrmHidef>();
    EXPECT_TRUE(tabsInOrder(hide, {&hide.drive1, &hide.Dir1, &hide.CmdHideDir, &hide.CmdHideFil}));
    auto& mru = ui::shared<FrmMRU>();
    EXPECT_TRUE(tabsInOrder(mru, {&mru.CmbMRU, &mru.CmdDelMRU}));
}

// Alt+F4 to the control with the focus, as the keyboard sends it.
void altF4() {
    PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
    ui::pumpMessages();
}

TEST_F(KeyboardTest, AltF4ClosesAsTheCloseBoxDoes) {
    auto& main = ui::shared<Form1>();
    main.Show();
    main.LblMRU.click();
    auto& mru = ui::shared<FrmMRU>();
    ASSERT_TRUE(mru.visible());
    altF4();  // from its drop-down list
    EXPECT_FALSE(mru.loaded());
    EXPECT_TRUE(main.visible()) << "its Form_Unload ran";

    auto& hide = ui::shared<FrmHidef>();
    main.LblHidef.click();
    hide.drive1.setFocus();
    altF4();
    EXPECT_FALSE(hide.loaded()) << "from the drive list";

    altF4();
    EXPECT_EQ(host.programEnds, 1);
}

TEST_F(KeyboardTest, EnterOnlyClicksAFocusedButton) {
    auto& unhide = ui::shared<FrmUnhidef>();
    unhide.Show();
    host.boxes.clear();  // the missing list file
    unhide.TxtUnhide.setFocus();
    press(VK_RETURN);
    EXPECT_TRUE(host.boxes.empty()) << "no default button takes Enter from the text box";
    // However the focus reached the button: a click or the program, or Tab.
    unhide.CmdQuickUnhide.setFocus();
    press(VK_RETURN);
    EXPECT_EQ(host.boxes, std::vector{msg::kTypePath});
    unhide.TxtUnhide.setFocus();
    press(VK_TAB);
    ASSERT_TRUE(unhide.CmdQuickUnhide.hasFocus());
    press(VK_RETURN);
    EXPECT_EQ(host.boxes, (std::vector{msg::kTypePath, msg::kTypePath})) << "after Tab";
}

}  // namespace
