// The login, first-password and change-password windows, driven through
// their controls against the real password value. Most tests plant a plain
// password as an earlier version stored it, which is checked without the
// slow hash; the saves are real.
#include <functional>

#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "access/PasswordStore.h"
#include "app/Form1.h"
#include "app/FrmAbout.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "mru/FrmMRU.h"
#include "support/Messages.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"

#include <functional>
#include <random>

namespace {

using test::Box;
using ui::Icon;

using namespace test::password;

using msg::kIncorrect;
const Box kRetype{"Please Re-Type", "Hidewell", Icon::Information};

class PasswordWindowsTest : public test::Sandbox {
protected:
    [[nodiscard]] static ::testing::AssertionResult plant(const std::string& password) {
        return test::PasswordSandbox::plantPlain(password);
    }
    static std::string stored() { return test::password::stored().data; }

    FrmPass& login = ui::shared<FrmPass>();
    FrmNewPass& first = ui::shared<FrmNewPass>();
    FrmChangePass& change = ui::shared<FrmChangePass>();
    Form1& main = ui::shared<Form1>();

private:
    test::PasswordSandbox passwords_;
};

TEST_F(PasswordWindowsTest, WithoutAPasswordOnlyTheFirstPasswordWindowShows) {
    if (!test::PasswordSandbox::noneStored()) GTEST_SKIP() << test::password::kNeedsMachine;
    login.Show();
    EXPECT_TRUE(login.loaded());
    EXPECT_FALSE(login.visible());
    EXPECT_TRUE(first.visible());
    EXPECT_TRUE(first.TxtNewpass1.hasFocus());
    EXPECT_FALSE(main.loaded());
}

TEST_F(PasswordWindowsTest, TheLoginAcceptsOnlyTheExactPassword) {
    ASSERT_TRUE(plant("Secret"));
    login.Show();
    EXPECT_TRUE(login.visible());
    EXPECT_TRUE(login.TxtPass.hasFocus());
    for (const char* wrong : {"secret", "Secret ", " Secret", ""}) {
        test::typeOver(login.TxtPass.hwnd(), wrong);
        login.CmdPassoK.click();
        EXPECT_EQ(host.takeBoxes(), std::vector<Box>{kIncorrect}) << '"' << wrong << '"';
        EXPECT_EQ(login.TxtPass.text(), "");
        EXPECT_TRUE(login.TxtPass.hasFocus());
    }
    EXPECT_FALSE(main.loaded());

    EXPECT_EQ(stored(), "Secret" + std::string(1, '\0')) << "unchanged by wrong passwords";
    test::typeOver(login.TxtPass.hwnd(), "Secret");
    login.CmdPassoK.click();
    EXPECT_EQ(stored().rfind("pbkdf2-sha256-utf8$", 0), 0u) << "the plain value replaced by a record";
    EXPECT_FALSE(login.visible());
    EXPECT_TRUE(login.loaded());
    EXPECT_EQ(login.TxtPass.text(), "") << "the password does not stay in the hidden window";
    EXPECT_TRUE(main.visible());

    main.close();
    EXPECT_EQ(host.programEnds, 1);
    EXPECT_FALSE(login.visible());
}

// What `send` returns when a thread of its own calls it, as another program
// would: this thread handles the messages it sends meanwhile.
LRESULT fromAnotherThread(const std::function<LRESULT()>& send) {
    struct Job {
        const std::function<LRESULT()>& send;
        LRESULT result = 0;
    } job{send};
    HANDLE other = CreateThread(
        nullptr, 0,
        [](void* j) -> DWORD {
            static_cast<Job*>(j)->result = static_cast<Job*>(j)->send();
            return 0;
        },
        &job, 0, nullptr);
    if (!other) return -1;
    while (MsgWaitForMultipleObjects(1, &other, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
    }
    CloseHandle(other);
    return job.result;
}

TEST_F(PasswordWindowsTest, AnotherProgramMayPutAPasswordInButNeitherUnmaskNorReadIt) {
    ASSERT_TRUE(plant("Secret"));
    login.Show();
    const HWND box = login.TxtPass.hwnd();
    const std::wstring secret = L"Secret";
    EXPECT_TRUE(fromAnotherThread([&] {
        return SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(secret.c_str()));
    })) << "a password manager fills the box";
    wchar_t seen[64] = L"poison";
    EXPECT_EQ(fromAnotherThread([&] { return SendMessageW(box, EM_SETPASSWORDCHAR, 0, 0); }), 0);
    EXPECT_EQ(SendMessageW(box, EM_GETPASSWORDCHAR, 0, 0), L'*') << "still masked";
    EXPECT_EQ(fromAnotherThread([&] { return SendMessageW(box, WM_GETTEXTLENGTH, 0, 0); }), 0);
    EXPECT_EQ(
        fromAnotherThread([&] { return SendMessageW(box, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(seen)); }),
        0);
    EXPECT_STREQ(seen, L"");
    seen[0] = 64;  // EM_GETLINE: the buffer's size in its first character
    EXPECT_EQ(
        fromAnotherThread([&] { return SendMessageW(box, EM_GETLINE, 0, reinterpret_cast<LPARAM>(seen)); }),
        0);
    // Other windows answer as ever, and the program reads its own box, also
    // when another program clicks "OK" (as an accessibility tool may).
    EXPECT_EQ(fromAnotherThread([&] { return SendMessageW(login.hwnd(), WM_GETTEXTLENGTH, 0, 0); }), 17);
    const HWND ok = login.CmdPassoK.hwnd();
    fromAnotherThread([&] {
        return SendMessageW(login.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
                            reinterpret_cast<LPARAM>(ok));
    });
    EXPECT_TRUE(host.takeBoxes().empty());
    EXPECT_TRUE(main.visible());
}

TEST_F(PasswordWindowsTest, EnterInThePasswordBoxMovesToOkAndTheSecondEnterChecks) {
    ASSERT_TRUE(plant("Secret"));
    login.Show();
    test::typeOver(login.TxtPass.hwnd(), "Secret");
    test::pressEnter(login.TxtPass.hwnd());
    EXPECT_TRUE(login.CmdPassoK.hasFocus());
    EXPECT_TRUE(login.visible()) << "the first Enter checks nothing";
    EXPECT_TRUE(host.takeBoxes().empty());
    test::pressEnter(login.CmdPassoK.hwnd());
    EXPECT_TRUE(main.visible());
    EXPECT_TRUE(host.takeBoxes().empty());
}

TEST_F(PasswordWindowsTest, ClosingTheLoginOrFirstPasswordWindowEndsTheProgram) {
    if (!test::PasswordSandbox::noneStored()) GTEST_SKIP() << test::password::kNeedsMachine;
    ASSERT_TRUE(plant("Secret"));
    login.Show();
    login.close();
    EXPECT_EQ(host.programEnds, 1);

    test::deleteRaw(HKEY_CURRENT_USER, kUser, kName);
    login.Show();
    first.close();
    EXPECT_EQ(host.programEnds, 2);
    EXPECT_FALSE(login.loaded());
}

TEST_F(PasswordWindowsTest, TheFirstPasswordIsSavedExactlyWhenTypedTwiceAlike) {
    if (!test::PasswordSandbox::noneStored()) GTEST_SKIP() << test::password::kNeedsMachine;
    login.Show();
    test::typeOver(first.TxtNewpass1.hwnd(), "0042 Pass");
    test::typeOver(first.txtnewpass2.hwnd(), "0042 pass");
    first.CmdNewpassok.click();
    EXPECT_EQ(host.takeBoxes(),
              (std::vector<Box>{{"the two passwords do not co-incide", "Hidewell", Icon::Exclamation}}));
    EXPECT_EQ(first.TxtNewpass1.text(), "0042 Pass") << "both boxes keep their text";
    EXPECT_TRUE(PasswordStore::isEmpty());

    // Enter moves from box to box to OK; the last Enter saves.
    first.TxtNewpass1.setFocus();
    test::pressEnter(first.TxtNewpass1.hwnd());
    EXPECT_TRUE(first.txtnewpass2.hasFocus());
    test::typeOver(first.txtnewpass2.hwnd(), "0042 Pass");
    test::pressEnter(first.txtnewpass2.hwnd());
    EXPECT_TRUE(first.CmdNewpassok.hasFocus());
    EXPECT_TRUE(host.takeBoxes().empty());
    test::pressEnter(first.CmdNewpassok.hwnd());

    EXPECT_EQ(host.takeBoxes(), std::vector<Box>{msg::kPasswordSaved});
    EXPECT_FALSE(first.visible());
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(first.TxtNewpass1.text() + first.txtnewpass2.text(), "") << "nor in this one";
    EXPECT_EQ(stored().rfind("pbkdf2-sha256-utf8$", 0), 0u) << "a salted hash, not the password";
    EXPECT_TRUE(PasswordStore::matches("0042 Pass")) << "leading zeros and the blank are kept";
    EXPECT_FALSE(PasswordStore::matches("42 Pass"));
}

TEST_F(PasswordWindowsTest, AnEmptyFirstPasswordMeansNoPasswordYet) {
    if (!test::PasswordSandbox::noneStored()) GTEST_SKIP() << test::password::kNeedsMachine;
    login.Show();
    first.CmdNewpassok.click();
    EXPECT_EQ(host.boxes, std::vector<Box>{msg::kPasswordSaved});
    EXPECT_TRUE(main.visible());
    EXPECT_TRUE(PasswordStore::isEmpty());
    ui::unloadAll();
    login.Show();
    EXPECT_TRUE(first.visible()) << "the next start asks again";
}

TEST_F(PasswordWindowsTest, ARefusedSaveIsReportedAndKeepsTheWindowOpen) {
    if (!test::password::machineWritable()) GTEST_SKIP() << test::password::kNeedsMachine;
    test::AccessDenied machine(HKEY_LOCAL_MACHINE, kMachine);
    test::AccessDenied user(HKEY_CURRENT_USER, kUser);
    ASSERT_TRUE(machine.inPlace());
    ASSERT_TRUE(user.inPlace());
    login.Show();
    test::typeOver(first.TxtNewpass1.hwnd(), "pw");
    test::typeOver(first.txtnewpass2.hwnd(), "pw");
    first.CmdNewpassok.click();
    EXPECT_EQ(host.boxes, (std::vector<Box>{{PasswordStore::kFirstNotSaved, "Error", Icon::Exclamation}}))
        << "no password was there to be changed";
    EXPECT_TRUE(first.visible());
    EXPECT_FALSE(main.loaded());
    EXPECT_TRUE(PasswordStore::isEmpty());
}

TEST_F(PasswordWindowsTest, AChangeChecksTheOldPasswordThenTheNewPair) {
    ASSERT_TRUE(plant("old"));
    main.Show();
    main.Lblchangepass.click();
    EXPECT_TRUE(change.visible());
    EXPECT_FALSE(main.visible());
    EXPECT_TRUE(change.TxtOldPass.hasFocus());

    test::typeOver(change.TxtOldPass.hwnd(), "Old");
    test::typeOver(change.Text1.hwnd(), "new");
    test::typeOver(change.Text2.hwnd(), "new");
    change.CmdChangepass.click();
    EXPECT_EQ(host.takeBoxes(),
              (std::vector<Box>{
                  {"The existing password was not entered correctly", "Error", Icon::Exclamation}, kRetype}));
    EXPECT_EQ(change.TxtOldPass.text(), "");
    EXPECT_TRUE(change.TxtOldPass.hasFocus());
    EXPECT_EQ(change.Text1.text(), "new");
    EXPECT_EQ(change.Text2.text(), "new");

    test::typeOver(change.TxtOldPass.hwnd(), "old");
    test::typeOver(change.Text2.hwnd(), "New");
    change.CmdChangepass.click();
    EXPECT_EQ(
        host.takeBoxes(),
        (std::vector<Box>{{"The two new passwords were not entered correctly", "Error", Icon::Exclamation},
                          kRetype}));
    EXPECT_EQ(change.Text1.text(), "");
    EXPECT_EQ(change.Text2.text(), "");
    EXPECT_TRUE(change.Text1.hasFocus());
    EXPECT_EQ(change.TxtOldPass.text(), "old");
    EXPECT_EQ(stored(), std::string("old") + '\0') << "nothing stored";
}

TEST_F(PasswordWindowsTest, ASuccessfulChangeShowsTheMainWindowAndKeepsTheBoxes) {
    ASSERT_TRUE(plant("old"));
    main.Show();
    main.Lblchangepass.click();
    // Enter moves through the three boxes to the button.
    test::typeOver(change.TxtOldPass.hwnd(), "old");
    test::pressEnter(change.TxtOldPass.hwnd());
    EXPECT_TRUE(change.Text1.hasFocus());
    EXPECT_TRUE(host.takeBoxes().empty());
    test::typeOver(change.Text1.hwnd(), " new ");
    test::pressEnter(change.Text1.hwnd());
    EXPECT_TRUE(change.Text2.hasFocus());
    EXPECT_TRUE(host.takeBoxes().empty());
    test::typeOver(change.Text2.hwnd(), " new ");
    test::pressEnter(change.Text2.hwnd());
    EXPECT_TRUE(change.CmdChangepass.hasFocus());
    EXPECT_TRUE(host.takeBoxes().empty());
    test::pressEnter(change.CmdChangepass.hwnd());

    EXPECT_EQ(host.takeBoxes(), std::vector<Box>{msg::kPasswordChanged});
    EXPECT_FALSE(change.visible());
    EXPECT_TRUE(main.visible());
    EXPECT_TRUE(PasswordStore::matches(" new "));
    EXPECT_FALSE(PasswordStore::matches("old"));

    main.Lblchangepass.click();
    EXPECT_TRUE(change.visible());
    EXPECT_TRUE(main.visible()) << "only hidden before, so no Form_Load: the two stand side by side";
    EXPECT_EQ(change.Text1.text(), " new ");
}

TEST_F(PasswordWindowsTest, WhileABoxOfOneWindowIsOpenTheOtherTakesNoInputAndStays) {
    if (const std::string why = test::whyClicksCannotBeMade(); !why.empty()) GTEST_SKIP() << why;
    // The About window stays beside the change window when that opens from
    // the main window with the About window shown again beside it.
    ASSERT_TRUE(plant("old"));
    auto& about = ui::shared<FrmAbout>();
    main.Show();
    main.Label4.click();
    about.LblMainWindow.click();
    main.Label4.click();
    main.Lblchangepass.click();
    ASSERT_TRUE(change.visible() && about.visible() && !main.visible());
    SetWindowPos(change.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    host.reset();
    RECT link;
    GetWindowRect(about.LblMainWindow.hwnd(), &link);
    const POINT onLink{(link.left + link.right) / 2, (link.top + link.bottom) / 2};

    // While the box about a wrong old password is open, the user clicks the
    // About window's "main window" link and tries to close both windows.
    host.whileOpen = [&] {
        host.whileOpen = nullptr;
        EXPECT_FALSE(IsWindowEnabled(about.hwnd()));
        EXPECT_TRUE(test::clickAt(onLink));
        PostMessageW(about.LblMainWindow.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        PostMessageW(about.LblMainWindow.hwnd(), WM_LBUTTONUP, 0, 0);
        PostMessageW(about.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the taskbar's "Close window"
        PostMessageW(change.hwnd(), WM_CLOSE, 0, 0);
        ui::pumpMessages();
        EXPECT_TRUE(about.visible()) << "no handler ran inside the box";
    };
    test::typeOver(change.TxtOldPass.hwnd(), "wrong");
    change.CmdChangepass.click();
    EXPECT_EQ(host.boxes.size(), 2u) << "the wrong password's two boxes, nothing else";
    EXPECT_TRUE(about.visible() && change.visible() && !main.visible());
    EXPECT_TRUE(IsWindowEnabled(about.hwnd())) << "enabled again once the box is gone";

    // Afterwards the same click swaps the About window for the main window,
    // beside the change window.
    ASSERT_TRUE(test::clickAt(onLink));
    EXPECT_FALSE(about.visible());
    EXPECT_TRUE(change.visible() && main.visible());
}

TEST_F(PasswordWindowsTest, TheChangeWindowLeadsBackToTheLogin) {
    ASSERT_TRUE(plant("old"));
    login.Show();
    test::typeOver(login.TxtPass.hwnd(), "typed");
    login.LblChangePass.click();
    EXPECT_TRUE(change.visible());
    EXPECT_FALSE(login.visible());
    EXPECT_TRUE(main.loaded()) << "loaded hidden by the change window";
    EXPECT_FALSE(main.visible());

    change.close();
    EXPECT_TRUE(login.visible());
    EXPECT_EQ(login.TxtPass.text(), "");
    EXPECT_TRUE(login.TxtPass.hasFocus());
    EXPECT_FALSE(main.visible());

    test::typeOver(login.TxtPass.hwnd(), "old");
    login.CmdPassoK.click();
    EXPECT_TRUE(main.visible());
}

TEST_F(PasswordWindowsTest, AnEmptyStoredPasswordLetsAnEmptyOldPasswordThrough) {
    if (!test::PasswordSandbox::noneStored()) GTEST_SKIP() << test::password::kNeedsMachine;
    ASSERT_TRUE(test::writeRaw(HKEY_CURRENT_USER, kUser, kName, REG_SZ, std::string(1, '\0')));
    main.Show();
    main.Lblchangepass.click();
    change.CmdChangepass.click();  // all three boxes empty
    EXPECT_EQ(host.boxes, std::vector<Box>{msg::kPasswordChanged});
    change.close();
    login.CmdPassoK.click();
    EXPECT_TRUE(main.visible()) << "the login takes the empty password too";
}

// The hide and unhide windows are never open together: the list file relies
// on it. Whatever a user does, in any order: the entries, the About window's
// link, a password changed or typed at the login, windows closed (the main
// or login window's ending the program, which starts again).
TEST_F(PasswordWindowsTest, NoRouteOpensTheHideAndUnhideWindowsTogether) {
    ASSERT_TRUE(test::writeFile(listFile(), ""));
    ASSERT_TRUE(plant("pw"));
    auto& hide = ui::shared<FrmHidef>();
    auto& unhide = ui::shared<FrmUnhidef>();
    auto& mru = ui::shared<FrmMRU>();
    auto& about = ui::shared<FrmAbout>();
    int saves = 0;  // each hashes at full strength: a few are enough
    auto savePassword = [&](const std::function<void()>& step) {
        ++saves;
        step();
        ASSERT_TRUE(plant("pw"));  // plain again, checked without the slow hash
    };
    std::vector<std::function<void()>> steps;
    auto offer = [&](ui::Form& window, std::function<void()> step) {
        if (window.visible()) steps.push_back(std::move(step));
    };
    auto close = [](ui::Form& window) { return [&window] { window.close(); }; };
    std::mt19937 random(2026);
    login.Show();
    for (int i = 0; i < 150; ++i) {
        steps.clear();
        for (ui::Label* entry :
             {&main.LblHidef, &main.LblUnhidef, &main.LblMRU, &main.Lblchangepass, &main.Label4})
            offer(main, [entry] { entry->click(); });
        offer(main, close(main));
        offer(about, [&] { about.LblMainWindow.click(); });
        offer(login, [&] { login.LblChangePass.click(); });
        offer(login, close(login));
        for (ui::Form* f : std::initializer_list<ui::Form*>{&about, &change, &hide, &unhide, &mru})
            offer(*f, close(*f));
        if (saves < 4) {
            offer(login, [&] {
                savePassword([&] {
                    test::typeOver(login.TxtPass.hwnd(), "pw");
                    login.CmdPassoK.click();
                });
            });
            offer(change, [&] {
                savePassword([&] {
                    test::typeOver(change.TxtOldPass.hwnd(), "pw");
                    test::typeOver(change.Text1.hwnd(), "pw");
                    test::typeOver(change.Text2.hwnd(), "pw");
                    change.CmdChangepass.click();
                });
            });
        }
        ASSERT_FALSE(steps.empty()) << "no window left on the screen after step " << i;
        steps[random() % steps.size()]();
        if (host.programEnds) {
            host.reset();
            login.Show();
        }
        ASSERT_FALSE(hide.loaded() && unhide.loaded()) << "step " << i;
        ASSERT_FALSE(main.visible() && (hide.visible() || unhide.visible())) << "step " << i;
    }
}

}  // namespace
