// The window lifecycle and the controls, against the real platform.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "support/Messages.h"
#include "support/Sandbox.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace {

class Probe : public ui::Form {
public:
    Probe()
        : Form({.caption = "Probe",
                .width = 3000,
                .height = 2250,
                .border = ui::Border::FixedSingle,
                .back = ui::White}) {
        Cmd.Click = [this] {
            ++clicks;
            if (onClick) onClick();
        };
        Txt.KeyPress = [this](int key) {
            keys.push_back(key);
            if (onKey) onKey();
            if (key == VK_RETURN) Cmd.setFocus();
        };
    }
    ui::TextBox Txt{this, {.rect = {120, 120, 2400, 315}, .back = ui::LightGrey}};
    ui::Button Cmd{this, {.rect = {120, 600, 2400, 375}, .caption = "Go"}};
    ui::TextBox Plain{this, {.rect = {120, 1080, 2400, 315}}};
    ui::Label Link{this,
                   {.rect = {120, 1500, 2400, 255},
                    .caption = "a link",
                    .fore = ui::LinkBlue,
                    .handCursor = true,
                    .toolTip = "https://example.invalid/page?a=1&b=2"}};

    int loads = 0, unloads = 0, clicks = 0;
    std::vector<int> keys;
    std::function<void()> onLoad, onUnload, onClick, onKey, onF2;

    bool preTranslateKey(const MSG& key) override {
        if (key.message != WM_KEYDOWN || key.wParam != VK_F2 || !onF2) return Form::preTranslateKey(key);
        onF2();
        return true;
    }

protected:
    void Form_Load() override {
        ++loads;
        if (onLoad) onLoad();
    }
    void Form_Unload() override {
        ++unloads;
        if (onUnload) onUnload();
    }
};

class Other : public ui::Form {
public:
    Other() : Form({.caption = "Other", .width = 1500, .height = 1500, .border = ui::Border::FixedDialog}) {}
    int unloads = 0;

protected:
    void Form_Unload() override { ++unloads; }
};

class FormTest : public test::Sandbox {
protected:
    void SetUp() override {
        Sandbox::SetUp();
        probe.onLoad = probe.onUnload = probe.onClick = probe.onKey = probe.onF2 = nullptr;
        probe.loads = probe.unloads = probe.clicks = 0;
        probe.keys.clear();
    }
    Probe& probe = ui::shared<Probe>();
};

TEST_F(FormTest, ShowHideAndCloseFollowTheLifecycle) {
    EXPECT_EQ(&probe, &ui::shared<Probe>());
    EXPECT_FALSE(probe.loaded());

    probe.Show();
    EXPECT_TRUE(probe.loaded());
    EXPECT_TRUE(probe.visible());
    EXPECT_EQ(probe.loads, 1);

    probe.Txt.setText("kept");
    probe.Hide();
    EXPECT_TRUE(probe.loaded());
    EXPECT_FALSE(probe.visible());
    probe.Show();
    EXPECT_EQ(probe.loads, 1) << "showing a loaded window does not load it again";
    EXPECT_EQ(probe.Txt.text(), "kept");

    SendMessageA(probe.hwnd(), WM_CLOSE, 0, 0);  // the close box
    EXPECT_EQ(probe.unloads, 1);
    EXPECT_FALSE(probe.loaded());

    probe.Show();
    EXPECT_EQ(probe.loads, 2);
    EXPECT_EQ(probe.Txt.text(), "") << "a new load starts from the design-time state";
}

TEST_F(FormTest, HidingOrTouchingAControlLoadsHidden) {
    probe.Hide();
    EXPECT_EQ(probe.loads, 1);
    EXPECT_FALSE(probe.visible());
    ui::unloadAll();

    probe.Txt.setText("x");
    EXPECT_EQ(probe.loads, 2);
    EXPECT_FALSE(probe.visible());
    EXPECT_EQ(probe.unloads, 0);
}

TEST_F(FormTest, HidingItselfWhileLoadingWinsOverTheShowing) {
    probe.onLoad = [this] { probe.Hide(); };
    probe.Show();
    EXPECT_TRUE(probe.loaded());
    EXPECT_FALSE(probe.visible());
}

TEST_F(FormTest, EndingTheProgramRunsNoOtherUnload) {
    auto& other = ui::shared<Other>();
    other.unloads = 0;
    other.Hide();
    probe.onUnload = [] { ui::endProgram(); };
    probe.Show();
    probe.close();
    EXPECT_EQ(probe.unloads, 1);
    EXPECT_EQ(other.unloads, 0);
    EXPECT_FALSE(other.loaded());
    EXPECT_FALSE(probe.loaded());
    EXPECT_EQ(host.programEnds, 1);
}

TEST_F(FormTest, ControlsAreNativeWindowsSizedInTwips) {
    HWND form = probe.hwnd();
    char text[64];
    GetWindowTextA(form, text, sizeof text);
    EXPECT_STREQ(text, "Probe");
    GetWindowTextA(probe.Cmd.hwnd(), text, sizeof text);
    EXPECT_STREQ(text, "Go");
    GetClassNameA(probe.Cmd.hwnd(), text, sizeof text);
    EXPECT_STREQ(text, "Button");

    RECT client;
    GetClientRect(form, &client);
    const int dpi = probe.dpi();
    EXPECT_EQ(client.right, MulDiv(3000, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(2250, dpi, 1440));
    RECT r;
    GetWindowRect(probe.Cmd.hwnd(), &r);
    EXPECT_EQ(r.right - r.left, MulDiv(2400, dpi, 1440));

    EXPECT_EQ(probe.Link.toolTipText(), "https://example.invalid/page?a=1&b=2");
}

TEST_F(FormTest, EnterReachesTheKeyPressHandlerFirstAndThenClicksTheFocusedButton) {
    probe.Show();
    probe.Txt.setFocus();
    ASSERT_TRUE(probe.Txt.hasFocus());

    test::pressEnter(probe.Txt.hwnd());
    EXPECT_EQ(probe.keys, std::vector<int>{VK_RETURN});
    EXPECT_TRUE(probe.Cmd.hasFocus());
    EXPECT_EQ(probe.clicks, 0) << "moving the focus does not click";

    test::pressEnter(probe.Cmd.hwnd());
    EXPECT_EQ(probe.clicks, 1);
}

TEST_F(FormTest, EnterInABoxWithoutHandlerClicksNothing) {
    probe.Show();
    probe.Plain.setFocus();
    test::pressEnter(probe.Plain.hwnd());
    EXPECT_EQ(probe.clicks, 0);
    EXPECT_TRUE(probe.Plain.hasFocus());
}

TEST_F(FormTest, ShowingPutsTheFocusOnTheFirstTabStop) {
    probe.Show();
    EXPECT_TRUE(probe.Txt.hasFocus());
}

TEST_F(FormTest, AHandlerGoesNoFurtherWhenItsWindowWentWhileItsBoxWasOpen) {
    probe.Show();
    probe.onClick = [this] {
        probe.MsgBox("Sure?", "Probe", ui::Icon::None);
        probe.Txt.setText("after the box");
    };
    host.whileOpen = [] { ui::unloadAll(); };
    probe.Cmd.click();
    EXPECT_FALSE(probe.loaded()) << "the rest of the handler did not load it again";
    EXPECT_EQ(probe.loads, 1);
}

TEST_F(FormTest, AFailingHandlerIsReportedAndLeavesNoWindowHalfDone) {
    auto& other = ui::shared<Other>();
    // A click and a key press that fail: said so, in a box the window owns.
    probe.Show();
    probe.onClick = [] { throw std::bad_alloc(); };
    probe.Cmd.click();
    EXPECT_EQ(host.takeBoxes(), std::vector<test::Box>{msg::kNoMemory});
    probe.onKey = [] { throw std::runtime_error("broken"); };
    probe.Txt.setFocus();
    test::pressEnter(probe.Txt.hwnd());
    const std::vector<test::Box> onKey = host.takeBoxes();
    ASSERT_EQ(onKey.size(), 1u);
    EXPECT_EQ(onKey[0].title, "Error");
    // A window's own key, under the same boundary.
    probe.onF2 = [] { throw std::bad_alloc(); };
    PostMessageW(probe.Txt.hwnd(), WM_KEYDOWN, VK_F2, 1);
    ui::pumpMessages();
    EXPECT_EQ(host.takeBoxes(), std::vector<test::Box>{msg::kNoMemory});
    EXPECT_EQ(host.boxOwners, (std::vector<HWND>{probe.hwnd(), probe.hwnd(), probe.hwnd()}));

    // A Form_Load that fails leaves no window, and the one it hid comes back.
    probe.close();
    other.Show();
    probe.onLoad = [&] {
        other.Hide();
        throw std::bad_alloc();
    };
    EXPECT_THROW(probe.Show(), std::bad_alloc);
    EXPECT_TRUE(host.takeBoxes().empty()) << "the failed load is its caller's to report";
    EXPECT_FALSE(probe.loaded());
    EXPECT_EQ(probe.unloads, 1) << "no Form_Unload for the failed load";
    EXPECT_TRUE(other.visible());

    // A Form_Unload that fails still unloads.
    probe.onLoad = nullptr;
    probe.onUnload = [] { throw std::runtime_error("broken"); };
    probe.Show();
    PostMessageA(probe.hwnd(), WM_CLOSE, 0, 0);
    ui::pumpMessages();
    EXPECT_FALSE(probe.loaded());
    EXPECT_EQ(host.takeBoxes().size(), 1u);
}

TEST_F(FormTest, UnderHighContrastEveryColourIsTheSystemsFromTheNextDrawingOn) {
    probe.Show();
    HWND form = probe.hwnd();
    HDC dc = GetDC(form);
    // The brush and text colour a control is drawn with.
    const auto drawnWith = [&](UINT msg, const ui::Control& c) {
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(form, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(c.hwnd())));
        return std::pair{brush, GetTextColor(dc)};
    };
    EXPECT_EQ(drawnWith(WM_CTLCOLORSTATIC, probe.Link).second, ui::LinkBlue);
    const auto setting = ui::highContrastSetting;
    ui::highContrastSetting = [] { return true; };
    ValidateRect(form, nullptr);
    ValidateRect(probe.Txt.hwnd(), nullptr);
    SendMessageW(form, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_TRUE(GetUpdateRect(form, nullptr, FALSE) && GetUpdateRect(probe.Txt.hwnd(), nullptr, FALSE))
        << "drawn again at once";
    EXPECT_EQ(drawnWith(WM_CTLCOLORSTATIC, probe.Link),
              std::pair(GetSysColorBrush(COLOR_BTNFACE), GetSysColor(COLOR_HOTLIGHT)));
    EXPECT_EQ(drawnWith(WM_CTLCOLOREDIT, probe.Txt),
              std::pair(GetSysColorBrush(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(probe.backBrush(), GetSysColorBrush(COLOR_BTNFACE));
    ui::highContrastSetting = setting;
    EXPECT_EQ(drawnWith(WM_CTLCOLOREDIT, probe.Txt).second, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_NE(drawnWith(WM_CTLCOLOREDIT, probe.Txt).first, GetSysColorBrush(COLOR_WINDOW))
        << "its own grey again";
    ReleaseDC(form, dc);
}

// Lets no window be made, as a system out of resources would.
LRESULT CALLBACK refuseWindows(int code, WPARAM wp, LPARAM lp) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(FormTest, AProgramWhoseFirstWindowCannotBeMadeSaysSoAndEnds) {
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuseWindows, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    PostQuitMessage(7);  // ends a message loop at once, were one run
    const int rc = ui::runProgram(probe);
    UnhookWindowsHookEx(hook);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no message loop ran";
    EXPECT_EQ(rc, 1);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].title, "Error");
    EXPECT_EQ(host.boxes[0].prompt.rfind(ui::programTitle() + " could not open its window", 0), 0u)
        << "a box of no window names the program";
    EXPECT_EQ(host.boxes[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(host.boxOwners[0], nullptr);
    EXPECT_FALSE(probe.loaded());
}

}  // namespace
