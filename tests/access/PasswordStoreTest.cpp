// The password store against the real password values of this machine, the
// machine's and the user's .mp3 classes key: each test starts without them
// and puts them back afterwards.
// Tests that change the machine half skip where this user may not write it
// (a standard user on Windows). Every real save costs a full-strength hash
// (over half a second under Wine), so most tests plant records with small
// iteration counts instead.
#include "access/PasswordStore.h"

#include "platform/Handles.h"
#include "platform/Text.h"
#include "support/Sandbox.h"

#include "support/RegistrySandbox.h"

namespace {

using namespace test::password;

// RFC 7914 section 11, PBKDF2-HMAC-SHA256: "passwd" / "salt" / 1 iteration, 64 bytes.
const std::string kPasswdRecord =
    "pbkdf2-sha256$1$73616c74$55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
    "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783";
// Same document: "Password" / "NaCl" / 80000 iterations, its first 32 bytes.
const std::string kPasswordRecord =
    "pbkdf2-sha256$80000$4e61436c$4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56";

using test::sz;

class PasswordStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::deleteRaw(HKEY_LOCAL_MACHINE, kMachine, kName);
        test::deleteRaw(HKEY_CURRENT_USER, kUser, kName);
        handlesBefore_ = test::keyHandles();
    }
    void TearDown() override { EXPECT_TRUE(test::noKeyHandleLeft(handlesBefore_)); }

    [[nodiscard]] static ::testing::AssertionResult plantMachine(DWORD type, const std::string& data) {
        return test::writeRaw(HKEY_LOCAL_MACHINE, kMachine, kName, type, data);
    }
    [[nodiscard]] static ::testing::AssertionResult plantUser(DWORD type, const std::string& data) {
        return test::writeRaw(HKEY_CURRENT_USER, kUser, kName, type, data);
    }
    static test::RawValue machine() { return test::readRaw(HKEY_LOCAL_MACHINE, kMachine, kName); }
    static test::RawValue user() { return test::readRaw(HKEY_CURRENT_USER, kUser, kName); }

private:
    test::PreservedValue savedMachine_{HKEY_LOCAL_MACHINE, kMachine, kName};
    test::PreservedValue savedUser_{HKEY_CURRENT_USER, kUser, kName};
    DWORD handlesBefore_ = 0;
};

#define SKIP_UNLESS_MACHINE_WRITABLE() \
    if (!test::password::machineWritable()) GTEST_SKIP() << test::password::kNeedsMachine
#define SKIP_UNLESS_NONE_STORED() \
    if (!test::PasswordSandbox::noneStored()) GTEST_SKIP() << test::password::kNeedsMachine

TEST_F(PasswordStoreTest, RecordIsCheckedByItsOwnSaltAndIterations) {
    ASSERT_TRUE(plantUser(REG_SZ, sz(kPasswdRecord)));
    EXPECT_FALSE(PasswordStore::isEmpty());
    EXPECT_TRUE(PasswordStore::matches("passwd"));
    for (const char* wrong : {"Passwd", "passwd ", " passwd", "passw", "", "passwd\n"})
        EXPECT_FALSE(PasswordStore::matches(wrong)) << '"' << wrong << '"';
    // Whoever can read the value must not get in by typing it.
    EXPECT_FALSE(PasswordStore::matches(kPasswdRecord));
    // Every byte of the hash counts, the last one too.
    std::string lastByteOff = kPasswdRecord;
    lastByteOff.back() = '4';
    ASSERT_TRUE(plantUser(REG_SZ, sz(lastByteOff)));
    EXPECT_FALSE(PasswordStore::matches("passwd"));

    ASSERT_TRUE(plantUser(REG_SZ, sz(kPasswordRecord)));
    EXPECT_TRUE(PasswordStore::matches("Password"));
    EXPECT_FALSE(PasswordStore::matches("password"));
}

TEST_F(PasswordStoreTest, MalformedRecordMatchesNothing) {
    const std::string hash32 = "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56";
    const std::string broken[] = {
        "pbkdf2-sha256$",
        "pbkdf2-sha256$80000$4e61436c",
        "pbkdf2-sha256$0$4e61436c$" + hash32,
        "pbkdf2-sha256$080000$4e61436c$" + hash32,
        "pbkdf2-sha256$99999999$4e61436c$" + hash32,  // beyond the cap
        "pbkdf2-sha256$80000$4e61436c$" + hash32.substr(0, 30),
        "pbkdf2-sha256$80000$4e61436c$" + hash32 + "$",
        "pbkdf2-sha256$80000$4e61436c$" + hash32.substr(0, 63) + "g",
        // More work than twice a record written now: refused unhashed. An
        // earlier version's record may be tried twice, so half of that.
        "pbkdf2-sha256-utf8$1200001$4e61436c$" + hash32,
        "pbkdf2-sha256$600001$4e61436c$" + hash32 + hash32,
        "pbkdf2-sha256$600001$4e61436c$" + hash32,
    };
    const ULONGLONG start = GetTickCount64();
    for (const std::string& record : broken) {
        ASSERT_TRUE(plantUser(REG_SZ, sz(record)));
        EXPECT_FALSE(PasswordStore::isEmpty()) << record;
        EXPECT_FALSE(PasswordStore::matches("Password")) << record;
        EXPECT_FALSE(PasswordStore::matches(record)) << record;
        EXPECT_FALSE(PasswordStore::matches("")) << record;
    }
    EXPECT_LT(GetTickCount64() - start, 2000u) << "no record made the check wait";
}

TEST_F(PasswordStoreTest, SaveStoresAFullStrengthRecordNotThePassword) {
    ASSERT_TRUE(PasswordStore::save("Secret Word"));
    const test::RawValue first = test::password::stored();
    ASSERT_EQ(first.type, static_cast<DWORD>(REG_SZ));
    const std::string prefix = "pbkdf2-sha256-utf8$" + std::to_string(PasswordStore::kIterations) + "$";
    ASSERT_EQ(first.data.substr(0, prefix.size()), prefix);
    // 16 bytes of salt and 32 of hash in hex, then the terminating NUL.
    EXPECT_EQ(first.data.size(), prefix.size() + 32 + 1 + 64 + 1);
    EXPECT_EQ(first.data.find("Secret"), std::string::npos);
    if (test::password::machineWritable()) {
        EXPECT_EQ(user().rc, ERROR_FILE_NOT_FOUND) << "written where it was not needed";
    }

    EXPECT_TRUE(PasswordStore::matches("Secret Word"));
    EXPECT_FALSE(PasswordStore::matches("secret word"));

    // A fresh salt each time: the same password never gives the same record.
    ASSERT_TRUE(PasswordStore::save("Secret Word"));
    EXPECT_NE(test::password::stored().data, first.data);
}

TEST_F(PasswordStoreTest, PasswordsAreKeptExactlyAsTyped) {
    // Blanks and leading zeros that the plain value used to lose.
    ASSERT_TRUE(PasswordStore::save(" 0042 "));
    EXPECT_TRUE(PasswordStore::matches(" 0042 "));
    for (const char* wrong : {"0042", "42"}) EXPECT_FALSE(PasswordStore::matches(wrong)) << wrong;

    // Too large for a number value: it used to be refused with an overflow.
    bool saved = false;
    EXPECT_NO_THROW(saved = PasswordStore::save("99999999999999999999"));
    EXPECT_TRUE(saved);
    EXPECT_TRUE(PasswordStore::matches("99999999999999999999"));
}

TEST_F(PasswordStoreTest, OldPlainValuesAreAcceptedByTheirOldRules) {
    ASSERT_TRUE(plantUser(REG_SZ, sz("Abc")));
    EXPECT_TRUE(PasswordStore::matches("Abc"));
    for (const char* wrong : {"abc", "ABC", "Abc ", " Abc", ""})
        EXPECT_FALSE(PasswordStore::matches(wrong)) << wrong;

    ASSERT_TRUE(plantUser(REG_SZ, std::string("ab\0cd\0", 6)));
    EXPECT_TRUE(PasswordStore::matches("ab"));

    ASSERT_TRUE(plantUser(REG_DWORD, test::dwordBytes(42)));
    EXPECT_TRUE(PasswordStore::matches("42"));
    EXPECT_FALSE(PasswordStore::matches("042"));

    ASSERT_TRUE(plantUser(REG_DWORD, test::dwordBytes(static_cast<DWORD>(-5))));
    EXPECT_TRUE(PasswordStore::matches("-5"));
    EXPECT_FALSE(PasswordStore::isEmpty());

    // A number value 0 is a password "0", not the absence of one.
    ASSERT_TRUE(plantUser(REG_DWORD, test::dwordBytes(0)));
    EXPECT_FALSE(PasswordStore::isEmpty());
    EXPECT_TRUE(PasswordStore::matches("0"));
}

TEST_F(PasswordStoreTest, ALoginReplacesWhatAnEarlierVersionStoredInTheSameHalf) {
    // A plain value, a number and a record of an earlier version, in the
    // per-user half: a wrong password changes nothing, the right one opens
    // once more and leaves a record written now in their place.
    const struct {
        DWORD type;
        std::string data, password;
    } earlier[] = {{REG_SZ, sz("Abc"), "Abc"},
                   {REG_DWORD, test::dwordBytes(42), "42"},
                   {REG_SZ, sz(kPasswordRecord), "Password"}};
    const std::string current = "pbkdf2-sha256-utf8$" + std::to_string(PasswordStore::kIterations) + "$";
    for (const auto& e : earlier) {
        ASSERT_TRUE(plantUser(e.type, e.data));
        EXPECT_FALSE(PasswordStore::logIn(e.password + "x"));
        EXPECT_EQ(user().data, e.data) << "unchanged by a wrong password";
        EXPECT_TRUE(PasswordStore::logIn(e.password));
        EXPECT_EQ(user().data.rfind(current, 0), 0u) << e.password;
        EXPECT_EQ(machine().rc, ERROR_FILE_NOT_FOUND) << "not moved to the machine half";
    }
    const std::string record = user().data;
    EXPECT_TRUE(PasswordStore::logIn("Password"));
    EXPECT_EQ(user().data, record) << "a record written now stays";

    SKIP_UNLESS_MACHINE_WRITABLE();
    test::deleteRaw(HKEY_CURRENT_USER, kUser, kName);
    ASSERT_TRUE(plantMachine(REG_SZ, sz("Machine")));
    {
        // Refused there: the old value stays, and still opens.
        test::AccessDenied denied(HKEY_LOCAL_MACHINE, kMachine);
        ASSERT_TRUE(denied.inPlace());
        EXPECT_TRUE(PasswordStore::logIn("Machine"));
        EXPECT_EQ(machine().data, sz("Machine"));
    }
    EXPECT_TRUE(PasswordStore::logIn("Machine"));
    EXPECT_EQ(machine().data.rfind(current, 0), 0u);
    EXPECT_EQ(user().rc, ERROR_FILE_NOT_FOUND) << "not moved to the per-user half";
}

TEST_F(PasswordStoreTest, ALookAlikeOpensAnEarlierValueButLeavesIt) {
    // What the legacy code page folds to an earlier version's value opens
    // it, as that version's 8-bit windows folded what was typed; but the
    // value may be the owner's own text, which a record of the look-alike
    // would shut out. Full-width letters and digits fold to ASCII, a letter
    // the code page lacks to "?".
    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    const std::string fullWidth = "\xEF\xBD\x90\xEF\xBD\x81\xEF\xBD\x93\xEF\xBD\x93";  // "pass"
    const struct {
        DWORD type;
        std::string data, owner, lookAlike;
    } earlier[] = {{REG_SZ, sz("pass"), "pass", fullWidth},
                   {REG_DWORD, test::dwordBytes(42), "42", "\xEF\xBC\x94\xEF\xBC\x92"},
                   {REG_SZ, sz("Ab?"), "Ab?", "Ab\xD0\x96"},
                   {REG_SZ, sz(test::password::recordFor("pass", 2)), "pass", fullWidth},
                   // The bytes of "\u00E9" in UTF-8 are "\u00C3\u00A9" in the legacy code
                   // page: either may have been typed into the earlier version.
                   {REG_SZ, sz(test::password::recordFor("\xC3\xA9", 2)), "\xC3\x83\xC2\xA9", "\xC3\xA9"}};
    for (const auto& e : earlier) {
        ASSERT_TRUE(plantUser(e.type, e.data));
        EXPECT_TRUE(PasswordStore::logIn(e.lookAlike)) << e.lookAlike;
        EXPECT_EQ(user().data, e.data) << e.lookAlike << " replaced the value";
        EXPECT_TRUE(PasswordStore::matches(e.owner)) << e.owner;
    }
}

TEST_F(PasswordStoreTest, APasswordWrittenThroughTheClassesRootIsFoundWhereverItWent) {
    // Earlier versions wrote HKEY_CLASSES_ROOT\.mp3 itself. Windows sends
    // that write to the per-user key where it exists, else to the machine's.
    const bool toUser = test::classesMerged() && test::keyExists(HKEY_CURRENT_USER, kUser);
    if (!toUser && !test::password::machineWritable()) GTEST_SKIP() << test::password::kNeedsMachine;
    ASSERT_TRUE(test::writeRaw(HKEY_CLASSES_ROOT, ".mp3", kName, REG_SZ, sz("Older")));
    EXPECT_EQ((toUser ? user() : machine()).data, sz("Older"));
    EXPECT_TRUE(PasswordStore::matches("Older"));
}

TEST_F(PasswordStoreTest, PasswordsOfAnyCharactersAreToldApartAndOlderOnesStillOpen) {
    // Any character is kept: two passwords the legacy code page would make
    // the same ("?mega ?? ok") are told apart.
    const std::string japanese = "\xCE\xA9mega \xE6\x97\xA5\xE6\x9C\xAC ok";
    const std::string chinese = "\xCE\xA9mega \xE4\xB8\xAD\xE6\x96\x87 ok";
    ASSERT_TRUE(PasswordStore::save(japanese));
    EXPECT_TRUE(PasswordStore::matches(japanese));
    EXPECT_FALSE(PasswordStore::matches(chinese));
    // Nor does a password saved now open with what the legacy code page
    // makes of another text: "\u0151" and full-width letters as their
    // best-fit ASCII, "\u00C3\u00A9" as the bytes of "\u00E9".
    ASSERT_TRUE(PasswordStore::save("C\xC3\xA9 password"));
    for (const char* folded : {"C\xC3\xA9 passw\xC5\x91rd", "C\xC3\xA9 \xEF\xBD\x90\xEF\xBD\x81ssword",
                               "C\xC3\x83\xC2\xA9 password"})
        EXPECT_FALSE(PasswordStore::matches(folded)) << folded;

    // A record and a plain value that an earlier version made of "Passw\u00F6rt"
    // in the legacy code page (1252).
    if (!test::readsWesternLegacy()) GTEST_SKIP() << test::kNotWesternLegacy;
    const std::string typed = "Passw\xC3\xB6rt";
    ASSERT_TRUE(plantUser(REG_SZ, sz(test::password::recordFor("Passw\xF6rt", 2))));
    EXPECT_TRUE(PasswordStore::matches(typed));
    EXPECT_FALSE(PasswordStore::matches("Passwort"));
    // The earlier version kept the plain text through the registry, which
    // holds UTF-16: written here the same way.
    const std::wstring plain = L"Passw\u00F6rt";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kUser, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const platform::KeyHandle owned(key);
    ASSERT_EQ(RegSetValueExW(key, L"openID", 0, REG_SZ, reinterpret_cast<const BYTE*>(plain.c_str()),
                             static_cast<DWORD>((plain.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    EXPECT_TRUE(PasswordStore::matches(typed));
}

TEST_F(PasswordStoreTest, NothingUsableStoredMeansNoPassword) {
    SKIP_UNLESS_NONE_STORED();
    // No password: empty, the empty text opens, and nothing else does.
    auto none = [](const std::string& what) {
        if (!PasswordStore::isEmpty()) return ::testing::AssertionFailure() << what << ": not empty";
        if (!PasswordStore::matches(""))
            return ::testing::AssertionFailure() << what << ": \"\" does not open";
        if (PasswordStore::matches("x")) return ::testing::AssertionFailure() << what << ": \"x\" opens";
        return ::testing::AssertionSuccess();
    };
    EXPECT_TRUE(none("no value"));
    const bool machineToo = test::password::machineWritable();
    for (auto plant : {plantUser, plantMachine}) {
        if (plant == plantMachine && !machineToo) break;
        const std::string half = plant == plantUser ? "per-user " : "machine ";
        ASSERT_TRUE(plant(REG_SZ, sz("")));
        EXPECT_TRUE(none(half + "empty string"));
        ASSERT_TRUE(plant(REG_EXPAND_SZ, sz("secret")));
        EXPECT_TRUE(none(half + "REG_EXPAND_SZ"));
        ASSERT_TRUE(plant(REG_BINARY, "secret"));
        EXPECT_TRUE(none(half + "REG_BINARY"));
    }
}

TEST_F(PasswordStoreTest, EmptySaveStoresTheEmptyString) {
    SKIP_UNLESS_NONE_STORED();
    ASSERT_TRUE(plantUser(REG_SZ, sz(kPasswdRecord)));
    ASSERT_TRUE(PasswordStore::save(""));
    EXPECT_EQ(user().type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(user().data, std::string(1, '\0'));
    EXPECT_TRUE(PasswordStore::isEmpty());
    EXPECT_TRUE(PasswordStore::matches(""));
}

TEST_F(PasswordStoreTest, PerUserValueComesFirstUnlessEmpty) {
    SKIP_UNLESS_MACHINE_WRITABLE();
    ASSERT_TRUE(plantMachine(REG_SZ, sz("machine")));
    ASSERT_TRUE(plantUser(REG_SZ, sz(kPasswdRecord)));
    EXPECT_TRUE(PasswordStore::matches("passwd"));
    EXPECT_FALSE(PasswordStore::matches("machine"));

    ASSERT_TRUE(plantUser(REG_SZ, sz("")));
    EXPECT_TRUE(PasswordStore::matches("machine"));
}

TEST_F(PasswordStoreTest, RefusedMachineKeyFallsBackToThePerUserKey) {
    SKIP_UNLESS_MACHINE_WRITABLE();
    ASSERT_TRUE(plantMachine(REG_SZ, sz("old")));
    test::AccessDenied denied(HKEY_LOCAL_MACHINE, kMachine);
    ASSERT_TRUE(denied.inPlace());
    ASSERT_TRUE(PasswordStore::save("new one"));
    EXPECT_EQ(machine().data, sz("old"));
    EXPECT_EQ(user().data.substr(0, 19), "pbkdf2-sha256-utf8$");
    EXPECT_TRUE(PasswordStore::matches("new one"));
    EXPECT_FALSE(PasswordStore::matches("old"));
}

TEST_F(PasswordStoreTest, RefusedAtBothKeysFailsAndKeepsThePassword) {
    SKIP_UNLESS_MACHINE_WRITABLE();
    ASSERT_TRUE(plantMachine(REG_SZ, sz("old")));
    test::AccessDenied deniedMachine(HKEY_LOCAL_MACHINE, kMachine);
    test::AccessDenied deniedUser(HKEY_CURRENT_USER, kUser);
    ASSERT_TRUE(deniedMachine.inPlace());
    ASSERT_TRUE(deniedUser.inPlace());
    EXPECT_FALSE(PasswordStore::save("new one"));
    EXPECT_EQ(user().rc, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(PasswordStore::matches("old"));

    // Nor can an empty password be made to take.
    EXPECT_FALSE(PasswordStore::save(""));
    EXPECT_TRUE(PasswordStore::matches("old"));
}

TEST_F(PasswordStoreTest, SaveReplacesAnOlderPerUserValueThatWouldHideIt) {
    SKIP_UNLESS_NONE_STORED();
    ASSERT_TRUE(plantUser(REG_SZ, sz("stale")));
    ASSERT_TRUE(PasswordStore::save("fresh"));
    EXPECT_TRUE(PasswordStore::matches("fresh"));
    EXPECT_FALSE(PasswordStore::matches("stale"));
    EXPECT_EQ(machine().rc, ERROR_FILE_NOT_FOUND) << "written to the per-user half alone";
    {
        // Refused there, it is written nowhere: the machine half, hidden
        // behind the per-user one, does not quietly take it.
        test::AccessDenied denied(HKEY_CURRENT_USER, kUser);
        ASSERT_TRUE(denied.inPlace());
        EXPECT_FALSE(PasswordStore::save("other"));
    }
    EXPECT_TRUE(PasswordStore::matches("fresh"));
    EXPECT_EQ(machine().rc, ERROR_FILE_NOT_FOUND);

    ASSERT_TRUE(plantUser(REG_SZ, sz("stale")));
    ASSERT_TRUE(PasswordStore::save(""));
    EXPECT_TRUE(PasswordStore::isEmpty());
}

TEST_F(PasswordStoreTest, EmptySaveCannotUncoverARefusedMachinePassword) {
    SKIP_UNLESS_MACHINE_WRITABLE();
    ASSERT_TRUE(plantMachine(REG_SZ, sz("machine")));
    ASSERT_TRUE(plantUser(REG_SZ, sz("user")));
    test::AccessDenied denied(HKEY_LOCAL_MACHINE, kMachine);
    ASSERT_TRUE(denied.inPlace());
    // Emptying the per-user value would make "machine" the password.
    EXPECT_FALSE(PasswordStore::save(""));
    EXPECT_EQ(user().data, sz("user"));
    EXPECT_TRUE(PasswordStore::matches("user"));
}

}  // namespace
