// As Windows before 10 version 1903 runs the program: it ignores the
// manifest's UTF-8 code page (this test program's manifest has none), so the
// program keeps the system's legacy code page. A name or a password that code
// page cannot hold is refused before anything changes, not kept with
// stand-ins.
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "access/PasswordStore.h"
#include "hiding/FrmHidef.h"
#include "platform/Text.h"
#include "support/Messages.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"

namespace {

using test::Box;
using ui::Icon;

class LegacyCodePageTest : public test::Sandbox {
protected:
    void SetUp() override {
        Sandbox::SetUp();
        // Windows' option "Use Unicode UTF-8 for worldwide language support"
        // gives every program UTF-8, manifest or none.
        if (GetACP() == CP_UTF8) GTEST_SKIP() << "this system runs every program with UTF-8";
        // U+03A9 has no place in a Western code page.
        std::string fits;
        if (platform::toAnsi(L"\u03A9", fits)) GTEST_SKIP() << "this code page has a place for U+03A9";
    }
};

TEST_F(LegacyCodePageTest, ANameTheCodePageCannotHoldIsRefusedBeforeAnythingChanges) {
    auto& form = ui::shared<FrmHidef>();
    const std::wstring wide = platform::fromAnsi(at("Greek-")) + L"\u03A9";
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    const DWORD before = GetFileAttributesW(wide.c_str());

    EXPECT_FALSE(form.Dir1.setPath(at("Greek-") + "\xD9"));  // no such folder: nothing changes
    EXPECT_EQ(form.Dir1.path(), dir);
    int greek = -1;
    for (int i = 0; i < form.Dir1.listCount(); ++i)
        if (form.Dir1.list(i).rfind(at("Greek-"), 0) == 0) greek = i;
    ASSERT_GE(greek, 0);
    form.Dir1.open(greek);
    EXPECT_FALSE(form.Dir1.pathFitsCodePage());
    form.CmdHideDir.click();

    host.chooseFile(at("Greek-?.txt"), false);
    form.CmdHideFil.click();

    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].title, "Error");
    EXPECT_EQ(host.boxes[0].icon, Icon::Exclamation);
    EXPECT_EQ(host.boxes[1], host.boxes[0]);
    EXPECT_EQ(GetFileAttributesW(wide.c_str()), before);
    EXPECT_FALSE(test::exists(listFile()));
    RemoveDirectoryW(wide.c_str());
}

TEST_F(LegacyCodePageTest, APasswordTheCodePageCannotHoldIsRefusedNotFolded) {
    test::PasswordSandbox passwords;
    if (!test::PasswordSandbox::noneStored()) GTEST_SKIP() << test::password::kNeedsMachine;
    ui::shared<FrmPass>().Show();
    auto& first = ui::shared<FrmNewPass>();
    ASSERT_TRUE(first.visible());
    for (HWND box : {first.TxtNewpass1.hwnd(), first.txtnewpass2.hwnd()})
        SetWindowTextW(box, L"\u03A9mega \u65E5\u672C ok");
    first.CmdNewpassok.click();
    EXPECT_EQ(host.boxes, (std::vector<Box>{{PasswordStore::kCannotKeep, "Error", Icon::Exclamation}}));
    EXPECT_TRUE(first.visible());
    EXPECT_TRUE(PasswordStore::isEmpty()) << "nothing was stored";
}

}  // namespace
