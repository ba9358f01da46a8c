// With UTF-8 as the ANSI code page, as Windows 10 and 11 can run a program
// (this test program's manifest asks for it): the conversions hold every
// name, and paths do not come out empty.
#include <gtest/gtest.h>

#include "hiding/FileAttributes.h"
#include "hiding/ListFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "support/Sandbox.h"

namespace {

class Utf8CodePageTest : public test::Sandbox {};

TEST_F(Utf8CodePageTest, TextAndPathsConvertWhole) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest did not make UTF-8 the code page";

    const std::wstring name = L"Fotos \u65E5\u672C \u03A9";
    std::string narrow;
    ASSERT_TRUE(platform::toAnsi(name, narrow));
    EXPECT_EQ(narrow, "Fotos \xE6\x97\xA5\xE6\x9C\xAC \xCE\xA9");
    std::wstring back;
    EXPECT_TRUE(platform::fromAnsi(narrow, back));
    EXPECT_EQ(back, name);
    // What UTF-8 cannot hold: half a surrogate pair, and bytes that are no UTF-8.
    EXPECT_FALSE(platform::toAnsi(std::wstring(L"a\xD800z"), narrow));
    EXPECT_FALSE(platform::fromAnsi("caf\xE9", back));

    // The program's own folder, and so the list file, are where they are.
    platform::setApplicationFolder({});
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::string expected;
    ASSERT_TRUE(platform::toAnsi(module, expected));
    EXPECT_EQ(platform::applicationFolder(), expected.substr(0, expected.find_last_of('\\')));
    platform::setApplicationFolder(dir);
}

TEST_F(Utf8CodePageTest, AFolderWithAnyNameIsHiddenAndUnhidden) {
    std::string path;
    ASSERT_TRUE(
        platform::toAnsi(platform::fromAnsi(dir) + L"\\\u0416\u0443\u0440\u043D\u0430\u043B \u2713", path));
    test::makeFolder(path);
    DWORD previous = 0;
    ASSERT_TRUE(hiding::hideItem(path, previous));
    EXPECT_EQ(test::attributes(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(hiding::appendEntry(listFile(), path));
    std::vector<std::string> entries;
    ASSERT_EQ(hiding::readEntries(listFile(), entries), hiding::ReadResult::Complete);
    EXPECT_EQ(entries, std::vector<std::string>{path});
    EXPECT_TRUE(hiding::unhideItem(path));
    EXPECT_EQ(test::attributes(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
}

}  // namespace
