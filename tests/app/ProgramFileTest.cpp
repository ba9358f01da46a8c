// What the program file carries: its version, in the version record and the
// manifest, and the pointing hand.
// The tests link the same resources as the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/Form1.h"
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

}  // namespace
