// The program's text is UTF-8 and Windows' UTF-16: the conversions hold every
// name, say when they cannot, and tell bytes of the legacy code page apart.
#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "platform/Text.h"
#include "support/Sandbox.h"

namespace {

class TextTest : public test::Sandbox {};

TEST_F(TextTest, TextAndPathsConvertWholeOrSaySo) {
    const std::wstring name = L"Fotos \u65E5\u672C \u03A9 \U0001F600";
    std::string utf8;
    ASSERT_TRUE(platform::toUtf8(name, utf8));
    EXPECT_EQ(utf8, "Fotos \xE6\x97\xA5\xE6\x9C\xAC \xCE\xA9 \xF0\x9F\x98\x80");
    std::wstring back;
    EXPECT_TRUE(platform::toWide(utf8, back));
    EXPECT_EQ(back, name);
    // What UTF-8 cannot hold, half a surrogate pair, and bytes that are no
    // UTF-8: a failure, and a stand-in only where text is just shown.
    EXPECT_FALSE(platform::toUtf8(std::wstring(L"a\xD800z"), utf8));
    EXPECT_EQ(platform::narrow(std::wstring(L"a\xD800z")), "a\xEF\xBF\xBDz");
    EXPECT_FALSE(platform::toWide("caf\xE9", back));
    EXPECT_EQ(platform::widen("caf\xE9"), L"caf\uFFFD");

    // The program's own folder, and so the list file, are where they are.
    platform::setApplicationFolder({});
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::string expected = platform::narrow(module);
    EXPECT_EQ(platform::applicationFolder(), expected.substr(0, expected.find_last_of('\\')));
    platform::setApplicationFolder(dir);
}

TEST_F(TextTest, Utf8IsToldFromTheLegacyCodePage) {
    for (const char* valid : {"", "C:\\plain", "caf\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "a\0b"})
        EXPECT_TRUE(platform::isUtf8(valid)) << valid;
    // A lone lead or follower, a sequence cut short, an overlong form, a
    // surrogate, beyond U+10FFFF.
    for (const char* invalid :
         {"caf\xE9", "\x80", "\xC3", "\xE6\x97", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(platform::isUtf8(invalid)) << invalid;

    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    EXPECT_EQ(platform::fromLegacy("C:\\Data\\Caf\xE9"), "C:\\Data\\Caf\xC3\xA9");
    EXPECT_EQ(platform::toLegacy("Passw\xC3\xB6rt"), "Passw\xF6rt");
}

}  // namespace
