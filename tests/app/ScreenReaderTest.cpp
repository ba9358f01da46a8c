// What a screen reader reads of the windows, asked as one asks: through
// Windows' accessibility proxies (AccessibleObjectFromWindow) and the lists'
// own messages, from another thread while the windows' thread answers.
// Wine 8's proxies name a box only after the text before it and know no
// roles but those of boxes; the names of lists and drop-down lists and the
// links' role, which Windows' proxies give, are checked on Windows only.
#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>

#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "app/Form1.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "mru/FrmMRU.h"
#include "support/Sandbox.h"

namespace {

class ScreenReaderTest : public test::Sandbox {};

// Runs `ask` on a thread of its own; this thread handles what it sends meanwhile.
void fromAnotherThread(const std::function<void()>& ask) {
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            (*static_cast<const std::function<void()>*>(p))();
            CoUninitialize();
            return 0;
        },
        const_cast<std::function<void()>*>(&ask), 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        ui::pumpMessages();
    CloseHandle(thread);
}

struct Reading {
    std::wstring name;
    LONG role = 0;
};

Reading readerSees(HWND h) {
    Reading r;
    fromAnotherThread([&] {
        IAccessible* acc = nullptr;
        if (FAILED(AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                              reinterpret_cast<void**>(&acc))) ||
            !acc)
            return;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        if (acc->get_accName(self, &name) == S_OK && name) r.name = name;
        SysFreeString(name);
        VARIANT role{};
        if (SUCCEEDED(acc->get_accRole(self, &role)) && role.vt == VT_I4) r.role = role.lVal;
        acc->Release();
    });
    return r;
}

TEST_F(ScreenReaderTest, BoxesReadWithTheirLabelsButtonsAndLinksWithTheirCaptionsAndFoldersAsNames) {
    const bool windows = !test::underWine();
    const auto expectBox = [](HWND box, const wchar_t* name, LONG role) {
        const Reading r = readerSees(box);
        EXPECT_EQ(r.name, name);
        EXPECT_EQ(r.role, role) << name;
    };
    auto& login = ui::shared<FrmPass>();
    login.Hide();
    expectBox(login.TxtPass.hwnd(), L"Enter Password to continue", ROLE_SYSTEM_TEXT);
    auto& first = ui::shared<FrmNewPass>();
    expectBox(first.txtnewpass2.hwnd(), L"Re-Type new password:", ROLE_SYSTEM_TEXT);
    auto& change = ui::shared<FrmChangePass>();
    expectBox(change.Text1.hwnd(), L"Enter new password:", ROLE_SYSTEM_TEXT);
    EXPECT_EQ(readerSees(change.CmdChangepass.hwnd()).name, L"Change Password") << "no access key mark";
    auto& unhide = ui::shared<FrmUnhidef>();
    expectBox(unhide.TxtUnhide.hwnd(), L"Type the full path of the hidden file\\folder and click 'unhide'",
              ROLE_SYSTEM_TEXT);
    auto& main = ui::shared<Form1>();
    const Reading link = readerSees(main.LblURL.hwnd());
    EXPECT_EQ(link.name, L"Visit Hidewell Home Page");
    if (windows) {
        EXPECT_EQ(link.role, ROLE_SYSTEM_LINK);
        expectBox(unhide.LstUnhide.hwnd(), L"Select the File or Folder and click 'Unhide'", ROLE_SYSTEM_LIST);
        auto& mru = ui::shared<FrmMRU>();
        mru.CmbMRU.choose("Winrar");
        expectBox(mru.CmbMRU.hwnd(), L"Most Recently Used Items", ROLE_SYSTEM_COMBOBOX);
        expectBox(ui::shared<FrmHidef>().drive1.hwnd(), L"Select Drive", ROLE_SYSTEM_COMBOBOX);
    }

    // The folder list's entries are the folders' names, to a screen reader
    // and to typing: a letter goes to the next folder that starts with it.
    ASSERT_TRUE(makeItemsToHide());
    auto& hide = ui::shared<FrmHidef>();
    ASSERT_TRUE(hide.Dir1.setPath(dir));
    HWND list = hide.Dir1.hwnd();
    std::vector<std::wstring> names;
    fromAnotherThread([&] {
        const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            std::wstring item(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
            names.push_back(item);
        }
    });
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), L"Secret");
    if (windows) {
        EXPECT_EQ(readerSees(list).name, L"Select Folder (DOUBLE-CLICK)");
    }
    hide.Show();
    hide.Dir1.setFocus();
    test::type(list, L"s");
    EXPECT_EQ(hide.Dir1.list(hide.Dir1.listIndex()), at("Secret"));
    EXPECT_EQ(hide.Dir1.path(), dir) << "typing only highlights, as a single click";
}

}  // namespace
