// The keyboard across the windows: Tab goes through each window's boxes,
// buttons, entries and links in their order, Enter or Space on an entry does
// what a click does, access keys, Alt+F4 and Escape close as the close box
// does, and Enter clicks nothing but a focused button or the button beside a
// box.
#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "app/Form1.h"
#include "app/FrmAbout.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "mru/FrmMRU.h"
#include "support/Messages.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"

#include <cctype>
#include <cwctype>
#include <set>

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
    EXPECT_TRUE(tabsInOrder(login, {&login.TxtPass, &login.CmdPassoK, &login.LblChangePass}));
    auto& first = ui::shared<FrmNewPass>();
    EXPECT_TRUE(tabsInOrder(first, {&first.TxtNewpass1, &first.txtnewpass2, &first.CmdNewpassok}));
    auto& change = ui::shared<FrmChangePass>();
    EXPECT_TRUE(
        tabsInOrder(change, {&change.TxtOldPass, &change.Text1, &change.Text2, &change.CmdChangepass}));
    auto& hide = ui::shared<FrmHidef>();
    EXPECT_TRUE(
        tabsInOrder(hide, {&hide.drive1, &hide.Dir1, &hide.CmdHideDir, &hide.CmdHideFil, &hide.LblQ}));
    auto& mru = ui::shared<FrmMRU>();
    EXPECT_TRUE(tabsInOrder(mru, {&mru.CmbMRU, &mru.CmdDelMRU}));
    ui::unloadAll();
    auto& main = ui::shared<Form1>();
    EXPECT_TRUE(tabsInOrder(main, {&main.LblHidef, &main.LblUnhidef, &main.LblMRU, &main.Lblchangepass,
                                   &main.Label4, &main.LblURL, &main.LblContact}));
    auto& about = ui::shared<FrmAbout>();
    EXPECT_TRUE(tabsInOrder(about, {&about.LblURL, &about.LblMainWindow}));
}

// The access key a window's text marks ("&H"), in capitals; 0 for none.
wchar_t accessKeyOf(HWND h) {
    wchar_t text[256] = L"";
    GetWindowTextW(h, text, 256);
    for (const wchar_t* c = text; *c; ++c)
        if (*c == L'&' && c[1]) {
            if (c[1] != L'&') return static_cast<wchar_t>(towupper(c[1]));
            ++c;
        }
    return 0;
}

TEST_F(KeyboardTest, EveryEntryLinkButtonAndLabelledBoxHasAnAccessKeyOfItsOwn) {
    test::PasswordSandbox passwords;
    ASSERT_TRUE(passwords.plantPlain("x"));
    for (ui::Form* form : std::initializer_list<ui::Form*>{
             &ui::shared<Form1>(), &ui::shared<FrmPass>(), &ui::shared<FrmNewPass>(),
             &ui::shared<FrmChangePass>(), &ui::shared<FrmHidef>(), &ui::shared<FrmUnhidef>(),
             &ui::shared<FrmMRU>(), &ui::shared<FrmAbout>()}) {
        ui::unloadAll();
        form->Show();
        std::set<wchar_t> keys;
        for (HWND c = GetWindow(form->hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!IsWindowVisible(c)) continue;
            char kind[32] = "";
            GetClassNameA(c, kind, sizeof kind);
            const LONG style = GetWindowLongA(c, GWL_STYLE);
            const bool box =
                !lstrcmpiA(kind, "Edit") || !lstrcmpiA(kind, "ListBox") || !lstrcmpiA(kind, "ComboBox");
            // A box's key is its label's (a label or frame before it).
            HWND owner = c;
            if (box) do
                    owner = GetWindow(owner, GW_HWNDPREV);
                while (owner && !IsWindowVisible(owner));
            const wchar_t key = owner ? accessKeyOf(owner) : 0;
            const bool needsOne = box || (style & WS_TABSTOP);
            char text[128] = "";
            GetWindowTextA(owner ? owner : c, text, sizeof text);
            EXPECT_TRUE(!needsOne || key) << form->design().caption << ": \"" << text << "\"";
            if (key && owner == c) {
                EXPECT_TRUE(keys.insert(key).second) << form->design().caption << ": " << text;
            }
        }
    }
}

// Alt with a letter as the keyboard sends it: the system key, which the loop
// turns into a character.
void alt(char letter) {
    const UINT vk = static_cast<UINT>(toupper(letter));
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(GetFocus(), WM_SYSKEYDOWN, vk, scan | 0x20000001);
    PostMessageW(GetFocus(), WM_SYSKEYUP, vk, scan | static_cast<LPARAM>(0xE0000001u));
    ui::pumpMessages();
}

TEST_F(KeyboardTest, AnAccessKeyClicksItsButtonOrEntryOrGoesToTheBoxItLabels) {
    auto& first = ui::shared<FrmNewPass>();
    first.Show();
    alt('r');
    EXPECT_TRUE(first.txtnewpass2.hasFocus()) << "its label's key";
    test::type(first.txtnewpass2.hwnd(), L"o");
    EXPECT_EQ(first.txtnewpass2.text(), "o") << "a box takes letters as typing";
    alt('t');
    EXPECT_TRUE(first.TxtNewpass1.hasFocus());
    ui::unloadAll();

    auto& main = ui::shared<Form1>();
    main.Show();
    alt('m');
    EXPECT_TRUE(host.boxes.empty() && main.visible()) << "no control has that key";
    alt('d');
    auto& mru = ui::shared<FrmMRU>();
    ASSERT_TRUE(mru.visible());
    alt('m');
    EXPECT_TRUE(mru.CmbMRU.hasFocus()) << "the key of the frame around it";
    alt('d');
    EXPECT_EQ(host.takeBoxes().size(), 1u) << "Delete MRU item, with nothing chosen";
    mru.close();
    // Where the focus takes no typing, the key alone does, as in dialogs.
    ASSERT_TRUE(main.LblMRU.hasFocus()) << "back on the entry that opened it";
    test::type(main.LblMRU.hwnd(), L"a");
    EXPECT_TRUE(ui::shared<FrmAbout>().visible());
}

TEST_F(KeyboardTest, EnterOrSpaceOnAnEntryOrLinkDoesWhatAClickDoes) {
    auto& main = ui::shared<Form1>();
    auto& about = ui::shared<FrmAbout>();
    main.Show();
    main.Label4.setFocus();
    press(VK_SPACE);
    ASSERT_TRUE(about.visible());
    EXPECT_FALSE(main.visible());
    about.LblMainWindow.setFocus();
    press(VK_RETURN);
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(about.visible()) << "the link swapped the windows";
    EXPECT_TRUE(host.boxes.empty());
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

TEST_F(KeyboardTest, EscapeClosesAsTheCloseBoxDoesWhereClosingDoesNotEndTheProgram) {
    test::PasswordSandbox passwords;
    ASSERT_TRUE(passwords.plantPlain("x"));
    auto& main = ui::shared<Form1>();
    auto& login = ui::shared<FrmPass>();
    for (ui::Form* form : std::initializer_list<ui::Form*>{&main, &login, &ui::shared<FrmNewPass>()}) {
        form->Show();
        press(VK_ESCAPE);
        EXPECT_TRUE(form->visible()) << form->design().caption;
    }
    EXPECT_EQ(host.programEnds, 0);
    ui::unloadAll();

    main.Show();
    for (ui::Label* entry : {&main.LblHidef, &main.LblUnhidef, &main.LblMRU, &main.Label4}) {
        entry->click();
        host.boxes.clear();  // the unhide window's missing list file
        press(VK_ESCAPE);
        EXPECT_TRUE(main.visible()) << entry->text() << ": its Form_Unload ran";
        for (ui::Form* f : ui::Form::every()) {
            if (f != &main) {
                EXPECT_FALSE(f->loaded()) << entry->text();
            }
        }
    }
    main.Lblchangepass.click();
    press(VK_ESCAPE);
    EXPECT_FALSE(ui::shared<FrmChangePass>().loaded());
    EXPECT_TRUE(login.visible()) << "closing it leads to the login window";

    // An open drop-down list takes Escape for itself.
    ui::unloadAll();
    main.Show();
    main.LblMRU.click();
    auto& mru = ui::shared<FrmMRU>();
    SendMessageA(mru.CmbMRU.hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageA(mru.CmbMRU.hwnd(), CB_GETDROPPEDSTATE, 0, 0));
    press(VK_ESCAPE);
    EXPECT_TRUE(mru.visible());
    EXPECT_FALSE(SendMessageA(mru.CmbMRU.hwnd(), CB_GETDROPPEDSTATE, 0, 0));
    press(VK_ESCAPE);
    EXPECT_FALSE(mru.loaded());
}

TEST_F(KeyboardTest, EnterClicksAFocusedButtonOrTheUnhideBesideABoxOrList) {
    ASSERT_TRUE(test::writeFile(listFile(), msg::lines({at("gone")})));
    auto& unhide = ui::shared<FrmUnhidef>();
    unhide.Show();
    unhide.TxtUnhide.setFocus();
    press(VK_RETURN);
    EXPECT_EQ(host.takeBoxes(), std::vector{msg::kTypePath}) << "Enter in the box is its Unhide";
    // However the focus reached the button: a click or the program, or Tab.
    unhide.TxtUnhide.setFocus();
    press(VK_TAB);
    ASSERT_TRUE(unhide.CmdQuickUnhide.hasFocus());
    press(VK_RETURN);
    EXPECT_EQ(host.takeBoxes(), std::vector{msg::kTypePath}) << "after Tab";

    unhide.LstUnhide.setFocus();
    press(VK_RETURN);
    EXPECT_EQ(host.takeBoxes(), std::vector{msg::kNoSelection}) << "on the list, the list's Unhide";
    unhide.LstUnhide.setListIndex(0);
    host.answer(ui::Answer::No);
    press(VK_RETURN);
    EXPECT_EQ(host.takeBoxes(), (std::vector{msg::kCannotBeFound, msg::kRemoveQuestion}));
}

}  // namespace
