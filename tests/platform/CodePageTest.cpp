// UTF-8 is the program's code page, as its manifest asks and Windows 10
// (1903 and later) and 11 grant: the conversions hold every name, paths do
// not come out empty, and text of the legacy code page is told apart.
#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "platform/Text.h"
#include "support/Sandbox.h"

namespace {

class CodePageTest : public test::Sandbox {};

TEST_F(CodePageTest, TextAndPathsConvertWhole) {
    if (!test::grantsUtf8())
        GTEST_SKIP() << "this Windows keeps the legacy code page: 10 before version 1903";
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest did not make UTF-8 the code page";
    EXPECT_TRUE(platform::codePageIsUtf8());

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

TEST_F(CodePageTest, Utf8IsToldFromTheLegacyCodePage) {
    for (const char* valid : {"", "C:\\plain", "caf\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "a\0b"})
        EXPECT_TRUE(platform::isUtf8(valid)) << valid;
    // A lone lead or follower, a sequence cut short, an overlong form, a
    // surrogate, beyond U+10FFFF.
    for (const char* invalid :
         {"caf\xE9", "\x80", "\xC3", "\xE6\x97", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(platform::isUtf8(invalid)) << invalid;

    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    EXPECT_EQ(platform::fromLegacy("C:\\Data\\Caf\xE9"), "C:\\Data\\Caf\xC3\xA9");
    EXPECT_EQ(platform::fromLegacy("C:\\Data\\Caf\xC3\xA9"), "C:\\Data\\Caf\xC3\xA9") << "UTF-8 stays";
    EXPECT_EQ(platform::toLegacy("Passw\xC3\xB6rt"), "Passw\xF6rt");
}

}  // namespace
