// What the program file carries: its version, in the version record and the
// manifest, the pointing hand, and the buttons' pictures.
// The tests link the same resources as the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "app/Form1.h"
#include "hiding/FrmHidef.h"
#include "hiding/FrmUnhidef.h"
#include "mru/FrmMRU.h"
#include "platform/Text.h"
#include "support/Sandbox.h"
#include "ui/Form.h"
#include "version.h"

namespace {

std::string versionString(const std::vector<char>& block, const char* name) {
    wchar_t* value = nullptr;
    UINT size = 0;
    const std::wstring key = L"\\StringFileInfo\\040904B0\\" + test::wide(name);
    if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &size)) return "<none>";
    return platform::narrow(value);
}

TEST(ProgramFileTest, CarriesTheVersionInItsRecordAndManifest) {
    wchar_t self[MAX_PATH];
    ASSERT_LT(GetModuleFileNameW(nullptr, self, MAX_PATH), DWORD{MAX_PATH});
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeW(self, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(self, 0, static_cast<DWORD>(block.size()), block.data()));

    EXPECT_EQ(versionString(block, "FileVersion"), HIDEWELL_VERSION);
    EXPECT_EQ(versionString(block, "ProductVersion"), HIDEWELL_VERSION);
    EXPECT_EQ(versionString(block, "FileDescription"), "Hide files/folders, Delete MRUs");
    EXPECT_EQ(versionString(block, "ProductName"), "Hidewell");
    EXPECT_EQ(versionString(block, "InternalName"), "Hidewell v" HIDEWELL_VERSION);
    EXPECT_EQ(versionString(block, "OriginalFilename"), "Hidewell v" HIDEWELL_VERSION ".exe");
    EXPECT_NE(versionString(block, "CompanyName"), "<none>");
    EXPECT_NE(versionString(block, "LegalCopyright"), "<none>");

    struct Translation {
        WORD language, codePage;
    }* t = nullptr;
    UINT size = 0;
    ASSERT_TRUE(
        VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&t), &size));
    EXPECT_EQ(t->language, 0x0409);  // US English
    EXPECT_EQ(t->codePage, 1200);    // Unicode

    // The same version in the manifest, as the four numbers without which
    // Windows starts no program.
    HRSRC found = FindResource(nullptr, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_TRUE(found);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                               SizeofResource(nullptr, found));
    std::smatch version;
    ASSERT_TRUE(std::regex_search(
        manifest, version, std::regex(R"(name="Tarnwick\.Hidewell" version="(\d+)\.(\d+)\.\d+\.\d+")")));
    EXPECT_EQ(version[1].str() + "." + version[2].str(),
              std::to_string(HIDEWELL_VERSION_MAJOR) + "." + std::to_string(HIDEWELL_VERSION_MINOR));
}

class PointerTest : public test::Sandbox {};

TEST_F(PointerTest, EntriesShowTheProgramsPointingHand) {
    HCURSOR hand = ui::pointingHand();
    ASSERT_NE(hand, LoadCursor(nullptr, IDC_HAND)) << "the program's own cursor, not the system's";
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(info.xHotspot, 5u) << "at the fingertip";
    EXPECT_EQ(info.yHotspot, 0u);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);

    auto& main = ui::shared<Form1>();
    main.Show();
    EXPECT_TRUE(SendMessageA(main.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(main.LblMRU.hwnd()),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), hand);
    EXPECT_FALSE(SendMessageA(main.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(main.Label1.hwnd()),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
        << "the heading is no entry";
}

// The widths of the images an icon resource holds.
std::set<int> iconSizes(int id) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    if (!found) return {};
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    std::set<int> sizes;
    const WORD count = *reinterpret_cast<const WORD*>(dir + 4);
    for (WORD i = 0; i < count; ++i) sizes.insert(dir[6 + 14 * i] ? dir[6 + 14 * i] : 256);
    return sizes;
}

class PictureTest : public test::Sandbox {};

TEST_F(PictureTest, EveryButtonShowsAPictureBesideItsCaptionDrawnForTheDpi) {
    const std::pair<ui::Button*, const char*> buttons[] = {
        {&ui::shared<FrmPass>().CmdPassoK, "OK"},
        {&ui::shared<FrmNewPass>().CmdNewpassok, "OK"},
        {&ui::shared<FrmChangePass>().CmdChangepass, "Change Password"},
        {&ui::shared<FrmHidef>().CmdHideDir, "Hide Folder"},
        {&ui::shared<FrmHidef>().CmdHideFil, "Hide File"},
        {&ui::shared<FrmUnhidef>().CmdUnhide, "Unhide"},
        {&ui::shared<FrmUnhidef>().CmdImpList, "Import List"},
        {&ui::shared<FrmUnhidef>().CmdExpList, "Export List"},
        {&ui::shared<FrmUnhidef>().CmdQuickUnhide, "Unhide"},
        {&ui::shared<FrmMRU>().CmdDelMRU, "Delete MRU item"},
    };
    for (const auto& [button, caption] : buttons) {
        HWND h = button->hwnd();
        EXPECT_EQ(button->text(), caption);
        EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & (BS_ICON | BS_BITMAP), 0)
            << caption << ": the caption shows";
        const auto picture = reinterpret_cast<HICON>(SendMessageW(h, BM_GETIMAGE, IMAGE_ICON, 0));
        ICONINFO info{};
        ASSERT_TRUE(picture && GetIconInfo(picture, &info)) << caption;
        BITMAP bm{};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, MulDiv(16, button->owner().dpi(), 96)) << caption;
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        // Drawn, not stretched, at 96, 120, 144, 168 and 192 DPI.
        const std::set<int> sizes = iconSizes(button->design().picture);
        for (int size : {16, 20, 24, 28, 32}) EXPECT_TRUE(sizes.count(size)) << caption << " " << size;
    }
}

}  // namespace
