// The four routines against Wine's real registry, in a fresh key per test.
#include "registry/ModRegedit.h"

#include <climits>
#include <utility>

#include "platform/Text.h"
#include "support/RegistrySandbox.h"

namespace {

using ModRegedit::HKCU;
using ModRegedit::RegValue;
using test::readRaw;
using test::writeRaw;

class ModRegeditTest : public test::RegistrySandbox {
protected:
    void SetUp() override {
        test::RegistrySandbox::SetUp();
        handlesBefore_ = test::keyHandles();
    }
    void TearDown() override {
        EXPECT_TRUE(test::noKeyHandleLeft(handlesBefore_));
        test::RegistrySandbox::TearDown();
    }

    RegValue read(const std::string& name) { return ModRegedit::RegReadValue(HKCU, path, name); }
    void write(const std::string& name, const RegValue& value) {
        ModRegedit::RegWriteValue(HKCU, path, name, value);
    }
    test::RawValue raw(const std::string& name) { return readRaw(HKEY_CURRENT_USER, path, name); }
    [[nodiscard]] ::testing::AssertionResult plant(const std::string& name, DWORD type,
                                                   const std::string& data) {
        return writeRaw(HKEY_CURRENT_USER, path, name, type, data);
    }

private:
    DWORD handlesBefore_ = 0;
};

// --- RegKeyExists ---

TEST_F(ModRegeditTest, KeyExistsOnlyForKeysThatCanBeOpenedAndCreatesNothing) {
    EXPECT_TRUE(ModRegedit::RegKeyExists(HKCU, path));
    EXPECT_FALSE(ModRegedit::RegKeyExists(HKCU, at("missing\\deeper")));
    EXPECT_FALSE(test::keyExists(HKEY_CURRENT_USER, at("missing")));
}

// --- RegReadValue ---

TEST_F(ModRegeditTest, ReadOfMissingKeyOrValueIsEmptyTextAndCreatesNothing) {
    const RegValue missingKey = ModRegedit::RegReadValue(HKCU, at("missing"), "openID");
    EXPECT_EQ(missingKey, RegValue(""));
    EXPECT_FALSE(test::keyExists(HKEY_CURRENT_USER, at("missing")));
    EXPECT_EQ(read("openID"), RegValue(""));
}

TEST_F(ModRegeditTest, StringEndsBeforeItsFirstNul) {
    ASSERT_TRUE(plant("terminated", REG_SZ, std::string("abc\0", 4)));
    ASSERT_TRUE(plant("embedded", REG_SZ, std::string("ab\0cd\0", 6)));
    ASSERT_TRUE(plant("unterminated", REG_SZ, "xyz"));
    ASSERT_TRUE(plant("nothing", REG_SZ, ""));
    ASSERT_TRUE(plant("digits", REG_SZ, std::string("42\0", 3)));
    EXPECT_EQ(read("terminated"), RegValue("abc"));
    EXPECT_EQ(read("embedded"), RegValue("ab"));
    EXPECT_EQ(read("unterminated"), RegValue("xyz"));
    EXPECT_EQ(read("nothing"), RegValue(""));
    // The registry type decides, not the look of the text.
    EXPECT_FALSE(read("digits").isNumber());
    EXPECT_EQ(read("digits").toText(), "42");
}

TEST_F(ModRegeditTest, LongStringIsReadWhole) {
    std::string text(100000, 'x');
    text[0] = 'a';
    text.back() = 'z';
    ASSERT_TRUE(plant("long", REG_SZ, text + '\0'));
    EXPECT_EQ(read("long").toText(), text);
}

TEST_F(ModRegeditTest, DwordReadsAsSignedNumber) {
    ASSERT_TRUE(plant("answer", REG_DWORD, test::dwordBytes(42)));
    ASSERT_TRUE(plant("negative", REG_DWORD, test::dwordBytes(0xFFFFFFFBu)));
    ASSERT_TRUE(plant("lowest", REG_DWORD, test::dwordBytes(0x80000000u)));
    EXPECT_TRUE(read("answer").isNumber());
    EXPECT_EQ(read("answer").number(), 42);
    EXPECT_EQ(read("answer").toText(), "42");
    EXPECT_EQ(read("negative").toText(), "-5");
    EXPECT_EQ(read("lowest").number(), INT_MIN);
    EXPECT_EQ(read("lowest").toText(), "-2147483648");
}

TEST_F(ModRegeditTest, OtherTypesReadAsEmptyText) {
    ASSERT_TRUE(plant("expand", REG_EXPAND_SZ, std::string("%TEMP%\0", 7)));
    ASSERT_TRUE(plant("binary", REG_BINARY, "\x01\x02\x03\x04"));
    ASSERT_TRUE(plant("multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)));
    ASSERT_TRUE(plant("qword", REG_QWORD, std::string("\x2A\0\0\0\0\0\0\0", 8)));
    // A number value of the wrong size holds no 32-bit number.
    ASSERT_TRUE(plant("dword0", REG_DWORD, ""));
    ASSERT_TRUE(plant("dword2", REG_DWORD, "\x07\x01"));
    ASSERT_TRUE(plant("dword8", REG_DWORD, std::string("\x07\0\0\0\0\0\0\0", 8)));
    for (const char* name : {"expand", "binary", "multi", "qword", "dword0", "dword2", "dword8"})
        EXPECT_EQ(read(name), RegValue("")) << name;
}

// --- RegWriteValue ---

struct NumericCase {
    const char* text;
    std::int32_t stored;
};

TEST_F(ModRegeditTest, NumericTextIsWrittenAsRoundedDword) {
    // clang-format off
    const NumericCase cases[] = {
        {"007", 7}, {"-5", -5}, {" 42 ", 42}, {"+3", 3}, {"0000000000000000000042", 42}, {"-0", 0},
        // half to even, decided on the exact digits
        {"12.5", 12}, {"13.5", 14}, {"-2.5", -2}, {"-3.5", -4}, {"0.5", 0}, {"1.5", 2}, {"2.4999", 2},
        {"2.5000001", 3}, {"0.50000000000000000001", 1}, {"2147483646.5", 2147483646},
        {".5", 0}, {"5.", 5}, {"1e3", 1000}, {"1.5E+2", 150}, {"250e-2", 2}, {"15e-1", 2}, {"9e-1", 1},
        {"9e-2", 0}, {"0e999999999999", 0}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
    };
    // clang-format on
    for (const auto& c : cases) {
        write("v", RegValue(c.text));
        const test::RawValue stored = raw("v");
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD)) << c.text;
        EXPECT_EQ(stored.data, test::dwordBytes(static_cast<DWORD>(c.stored))) << c.text;
    }
    write("v", RegValue("-5"));
    EXPECT_EQ(raw("v").data, std::string("\xFB\xFF\xFF\xFF", 4));
}

TEST_F(ModRegeditTest, OtherTextIsWrittenAsStringTrimmedOfSpacesOnly) {
    // clang-format off
    const std::pair<const char*, std::string> cases[] = {
        {"abc", "abc"}, {" abc ", "abc"}, {"", ""}, {"   ", ""}, {"\tabc\t", "\tabc\t"}, {"a b", "a b"},
        {"1,000", "1,000"}, {"0x1F", "0x1F"}, {"1e", "1e"}, {"e5", "e5"}, {".", "."}, {"--5", "--5"},
        {"- 5", "- 5"}, {"1 2", "1 2"}, {"12abc", "12abc"},
    };
    // clang-format on
    for (const auto& [text, stored] : cases) {
        write("s", RegValue(text));
        const test::RawValue got = raw("s");
        EXPECT_EQ(got.type, static_cast<DWORD>(REG_SZ)) << '"' << text << '"';
        EXPECT_EQ(got.data, stored + '\0') << '"' << text << '"';  // the length includes the NUL
    }
    // Any text goes to the registry in UTF-16, as itself, and comes back so.
    const std::string any = "caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80";
    write("s", RegValue(any));
    wchar_t stored[16] = L"";
    DWORD size = sizeof stored;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, platform::widen(path).c_str(), L"s", RRF_RT_REG_SZ, nullptr,
                           stored, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(stored, L"caf\u00E9 \u65E5 \U0001F600");
    EXPECT_EQ(read("s"), RegValue(any));
}

TEST_F(ModRegeditTest, WrittenValuesReadBackAsTheCallersInheritThem) {
    write("zeros", RegValue("0042"));
    EXPECT_EQ(read("zeros"), RegValue(std::int32_t{42}));
    EXPECT_EQ(read("zeros").toText(), "42");
    write("blank", RegValue(" abc "));
    EXPECT_EQ(read("blank"), RegValue("abc"));
    write("empty", RegValue(""));
    EXPECT_EQ(read("empty"), RegValue(""));
    write("number", RegValue(std::int32_t{-7}));
    EXPECT_EQ(read("number"), RegValue(std::int32_t{-7}));
}

TEST_F(ModRegeditTest, OverflowIsRaisedAfterTheKeyIsCreatedAndWritesNothing) {
    for (const char* text :
         {"2147483648", "-2147483649", "2147483647.5", "1e10", "99999999999999999999999"}) {
        EXPECT_THROW(ModRegedit::RegWriteValue(HKCU, at("new"), "v", RegValue(text)), ModRegedit::Overflow)
            << text;
        EXPECT_TRUE(test::keyExists(HKEY_CURRENT_USER, at("new"))) << text;
        EXPECT_EQ(readRaw(HKEY_CURRENT_USER, at("new"), "v").rc, ERROR_FILE_NOT_FOUND) << text;
    }
    // An earlier value stays as it was.
    write("kept", RegValue("old"));
    EXPECT_THROW(write("kept", RegValue("3000000000")), ModRegedit::Overflow);
    EXPECT_EQ(raw("kept").data, std::string("old\0", 4));
}

TEST_F(ModRegeditTest, WriteCreatesMissingLevelsOfThePath) {
    ASSERT_TRUE(test::makeKey(HKEY_CURRENT_USER, at("one")));
    ModRegedit::RegWriteValue(HKCU, at("one\\two\\three"), "v", RegValue("x"));
    EXPECT_EQ(readRaw(HKEY_CURRENT_USER, at("one\\two\\three"), "v").data, std::string("x\0", 2));
}

TEST_F(ModRegeditTest, RefusedWriteStoresNothingAndRaisesNothing) {
    ASSERT_TRUE(plant("old", REG_SZ, std::string("before\0", 7)));
    {
        test::AccessDenied denied(HKEY_CURRENT_USER, path);
        ASSERT_TRUE(denied.inPlace());
        EXPECT_NO_THROW(write("new", RegValue("text")));
        EXPECT_NO_THROW(write("old", RegValue("17")));
    }
    EXPECT_EQ(raw("new").rc, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(raw("old").data, std::string("before\0", 7));
}

// --- RegDeleteSubkey ---

TEST_F(ModRegeditTest, DeleteNeedsAnExistingParentAndSubkeyAndCreatesNothing) {
    EXPECT_FALSE(ModRegedit::RegDeleteSubkey(HKCU, at("absent"), "child"));
    EXPECT_FALSE(test::keyExists(HKEY_CURRENT_USER, at("absent")));
    EXPECT_FALSE(ModRegedit::RegDeleteSubkey(HKCU, path, "child"));
    EXPECT_FALSE(test::keyExists(HKEY_CURRENT_USER, at("child")));
}

TEST_F(ModRegeditTest, DeleteRemovesASubkeyWithValuesButNotOneWithSubkeys) {
    ASSERT_TRUE(writeRaw(HKEY_CURRENT_USER, at("leaf"), "v", REG_SZ, std::string("x\0", 2)));
    ASSERT_TRUE(writeRaw(HKEY_CURRENT_USER, at("leaf"), "n", REG_DWORD, test::dwordBytes(1)));
    EXPECT_TRUE(ModRegedit::RegDeleteSubkey(HKCU, path, "leaf"));
    EXPECT_FALSE(test::keyExists(HKEY_CURRENT_USER, at("leaf")));

    ASSERT_TRUE(test::makeKey(HKEY_CURRENT_USER, at("tree\\branch")));
    EXPECT_FALSE(ModRegedit::RegDeleteSubkey(HKCU, path, "tree"));
    EXPECT_TRUE(test::keyExists(HKEY_CURRENT_USER, at("tree\\branch")));
    // The parent path may have several levels, as the MRU targets do.
    EXPECT_TRUE(ModRegedit::RegDeleteSubkey(HKCU, at("tree"), "branch"));
    EXPECT_TRUE(test::keyExists(HKEY_CURRENT_USER, at("tree")));
}

TEST_F(ModRegeditTest, DeletesGoNoFurtherThanTheNamedKeyWhereverLinksStand) {
    // What the links name: a key with a value and a subkey, which must stay.
    ASSERT_TRUE(test::makeKey(HKEY_CURRENT_USER, at("elsewhere\\inner")));
    ASSERT_TRUE(writeRaw(HKEY_CURRENT_USER, at("elsewhere"), "v", REG_SZ, test::sz("keep")));
    auto elsewhereStays = [&] {
        return test::keyExists(HKEY_CURRENT_USER, at("elsewhere\\inner")) &&
               readRaw(HKEY_CURRENT_USER, at("elsewhere"), "v").data == test::sz("keep");
    };
    const test::RegistryLink named(at("one\\link"), at("elsewhere"));
    const test::RegistryLink nested(at("tree\\deep\\link"), at("elsewhere"));
    const test::RegistryLink above(at("above"), at("elsewhere"));
    for (const auto* link : {&named, &nested, &above}) ASSERT_TRUE(link->made());

    // A link in the named place goes as a link (else the name would still
    // lead to what it names), and so does one inside the tree.
    EXPECT_TRUE(ModRegedit::RegDeleteSubkeyTree(HKCU, at("one"), "link"));
    EXPECT_FALSE(test::keyExists(HKEY_CURRENT_USER, at("one\\link")));
    EXPECT_TRUE(ModRegedit::RegDeleteSubkeyTree(HKCU, path, "tree"));
    EXPECT_FALSE(test::keyExists(HKEY_CURRENT_USER, at("tree")));
    EXPECT_TRUE(elsewhereStays());
    // A key reached through a link above it is not the named one: it stays,
    // and is not reported gone.
    EXPECT_FALSE(ModRegedit::RegDeleteSubkeyTree(HKCU, at("above"), "inner"));
    EXPECT_FALSE(ModRegedit::RegDeleteSubkey(HKCU, at("above"), "inner"));
    EXPECT_TRUE(elsewhereStays());
}

}  // namespace
