// Text typed on the keyboard reaches the boxes as it was typed, whatever the
// characters. Built twice: as the program runs, and with UTF-8 as the
// program's code page (tests/CMakeLists.txt); both must pass alike.
#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "access/PasswordStore.h"
#include "app/Form1.h"
#include "hiding/FrmUnhidef.h"
#include "platform/Text.h"
#include "support/Messages.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"

namespace {

using test::Box;
using test::type;

// Cyrillic, CJK and an emoji (a surrogate pair); the other has as many
// UTF-16 units, each different, so that no code page's stand-ins make the
// two alike.
const std::wstring kPassword = L"\u041A\u043B\u044E\u0447 \u65E5\u672C \U0001F600";
const std::wstring kOther = L"\u0412\u0445\u043E\u0434 \u4E2D\u6587 \U0001F603";

class TypingTest : public test::Sandbox {
protected:
    FrmPass& login = ui::shared<FrmPass>();
    test::PasswordSandbox passwords;
};

TEST_F(TypingTest, ATypedPasswordOfAnyLettersOpensWithItselfAndNothingElse) {
    if (!test::PasswordSandbox::noneStored()) GTEST_SKIP() << test::password::kNeedsMachine;
    login.Show();
    auto& first = ui::shared<FrmNewPass>();
    ASSERT_TRUE(first.visible());
    type(first.TxtNewpass1.hwnd(), kPassword);
    type(first.txtnewpass2.hwnd(), kPassword);
    EXPECT_EQ(first.TxtNewpass1.text(), platform::narrow(kPassword)) << "the box holds what was typed";
    first.CmdNewpassok.click();
    EXPECT_EQ(host.boxes, std::vector<Box>{msg::kPasswordSaved});
    EXPECT_TRUE(PasswordStore::matches(platform::narrow(kPassword)));
    ui::unloadAll();
    host.reset();

    login.Show();
    ASSERT_TRUE(login.visible());
    type(login.TxtPass.hwnd(), kOther);
    login.CmdPassoK.click();
    EXPECT_EQ(host.takeBoxes(), std::vector<Box>{msg::kIncorrect});
    type(login.TxtPass.hwnd(), L"??????????");
    login.CmdPassoK.click();
    EXPECT_EQ(host.takeBoxes(), std::vector<Box>{msg::kIncorrect})
        << "nor by question marks, as code-page text would read";
    type(login.TxtPass.hwnd(), kPassword);
    login.CmdPassoK.click();
    EXPECT_TRUE(host.takeBoxes().empty());
    EXPECT_TRUE(ui::shared<Form1>().visible());
}

TEST_F(TypingTest, ATypedPasswordChangesToATypedPassword) {
    ASSERT_TRUE(test::PasswordSandbox::plantPlain(platform::narrow(kPassword)));
    auto& change = ui::shared<FrmChangePass>();
    change.Show();
    type(change.TxtOldPass.hwnd(), kPassword);
    type(change.Text1.hwnd(), kOther);
    type(change.Text2.hwnd(), kOther);
    change.CmdChangepass.click();
    EXPECT_EQ(host.boxes, std::vector<Box>{msg::kPasswordChanged});
    EXPECT_TRUE(PasswordStore::matches(platform::narrow(kOther)));
    EXPECT_FALSE(PasswordStore::matches(platform::narrow(kPassword)));
}

TEST_F(TypingTest, ATypedPathOfAnyLettersIsUnhidden) {
    const std::wstring name = L"Caf\u00E9 \u03A9 \u0416 \u65E5\u672C \U0001F600";
    const std::string folder = at(platform::narrow(name));
    ASSERT_TRUE(test::makeFolder(folder));
    SetFileAttributesW(test::wide(folder).c_str(), test::kHiddenSystem);
    auto& unhide = ui::shared<FrmUnhidef>();
    unhide.Show();
    host.reset();  // the list file is missing
    type(unhide.TxtUnhide.hwnd(), test::wide(folder));
    EXPECT_EQ(unhide.TxtUnhide.text(), folder);
    unhide.CmdQuickUnhide.click();
    EXPECT_EQ(host.boxes, std::vector<Box>{msg::kQuickUnhidden});
    EXPECT_EQ(test::flags(folder), 0u);
}

}  // namespace
