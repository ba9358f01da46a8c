// Clicks land where a user clicks: in each of the eight windows every control
// that acts on a click takes it over its whole box (no other control lies
// over it and takes the click away), and a real mouse click at the top of
// the About window's "main window" link follows the link.
#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "app/Form1.h"
#include "app/FrmAbout.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "mru/FrmMRU.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"

namespace {

class ClickTest : public test::Sandbox {};

// A child that a click acts on: a button (not a frame), a box or a list, or
// a label that tells its window of clicks.
bool takesClicks(HWND h) {
    char kind[32] = "";
    GetClassNameA(h, kind, sizeof kind);
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    if (!IsWindowVisible(h)) return false;
    if (!lstrcmpiA(kind, "Button")) return (style & BS_TYPEMASK) != BS_GROUPBOX;
    if (!lstrcmpiA(kind, "Static")) return style & SS_NOTIFY;
    return !lstrcmpiA(kind, "Edit") || !lstrcmpiA(kind, "ListBox") || !lstrcmpiA(kind, "ComboBox");
}

TEST_F(ClickTest, EveryClickableControlTakesClicksOverItsWholeBox) {
    test::PasswordSandbox passwords;
    ASSERT_TRUE(passwords.plantPlain("x"));  // so that the login window shows itself
    for (ui::Form* form : std::initializer_list<ui::Form*>{
             &ui::shared<Form1>(), &ui::shared<FrmPass>(), &ui::shared<FrmNewPass>(),
             &ui::shared<FrmChangePass>(), &ui::shared<FrmHidef>(), &ui::shared<FrmUnhidef>(),
             &ui::shared<FrmMRU>(), &ui::shared<FrmAbout>()}) {
        ui::unloadAll();
        form->Show();
        ui::pumpMessages();
        int checked = 0;
        for (HWND c = GetWindow(form->hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!takesClicks(c)) continue;
            ++checked;
            RECT r;
            GetWindowRect(c, &r);
            char text[64] = "";
            GetWindowTextA(c, text, sizeof text);
            for (POINT p : {POINT{r.left + 1, r.top + 1}, POINT{r.right - 2, r.top + 1},
                            POINT{r.left + 1, r.bottom - 2}, POINT{r.right - 2, r.bottom - 2},
                            POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}}) {
                HWND hit = WindowFromPoint(p);
                EXPECT_TRUE(hit == c || IsChild(c, hit))
                    << form->design().caption << ": \"" << text << "\" at " << p.x << "," << p.y;
            }
        }
        EXPECT_GT(checked, 0) << form->design().caption;
    }
}

TEST_F(ClickTest, AMouseClickAtTheTopOfTheAboutLinkFollowsIt) {
    if (const std::string why = test::whyClicksCannotBeMade(); !why.empty()) GTEST_SKIP() << why;
    auto& main = ui::shared<Form1>();
    auto& about = ui::shared<FrmAbout>();
    main.Show();
    main.Label4.click();
    ASSERT_TRUE(about.visible());
    RECT link;
    GetWindowRect(about.LblMainWindow.hwnd(), &link);
    ASSERT_TRUE(test::clickAt({(link.left + link.right) / 2, link.top + 1}));
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(about.visible());
}

// The mouse-click tests run under Wine, which lets synthesised input reach
// any desktop; where the desktop takes none they skip and say why.
TEST_F(ClickTest, MouseClickTestsSkipOnlyWhereTheDesktopTakesNoInput) {
    if (test::underWine()) {
        EXPECT_EQ(test::whyClicksCannotBeMade(), "");
    }
    const auto check = test::inputReachesThisThread;
    test::inputReachesThisThread = [] { return false; };
    const std::string why = test::whyClicksCannotBeMade();
    test::inputReachesThisThread = check;
    EXPECT_NE(why.find("this thread's desktop \""), std::string::npos) << why;
    EXPECT_EQ(why.find("desktop \"\""), std::string::npos) << "a desktop without its name: " << why;
}

}  // namespace
