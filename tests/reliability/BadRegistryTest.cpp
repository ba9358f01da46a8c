// Hostile registry data: odd values where the password lives, and odd values
// and deep key trees in the MRU window's targets. Nothing crashes, nothing
// is read past the data, nothing the user did not name changes.
#include <windows.h>
// bcrypt.h needs the types of windows.h.
#include <bcrypt.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>

#include "access/FrmChangePass.h"
#include "access/FrmNewPass.h"
#include "access/FrmPass.h"
#include "access/PasswordStore.h"
#include "app/Form1.h"
#include "mru/FrmMRU.h"
#include "mru/MruTargets.h"
#include "platform/Text.h"
#include "registry/ModRegedit.h"
#include "reliability/Reliability.h"
#include "support/RegistrySandbox.h"
#include "support/Sandbox.h"

namespace reliability {
namespace {

using ui::Icon;

using namespace test::password;

using test::sz;

std::string noNulBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(1, 255);
    std::string out(n, 'x');
    for (char& c : out) c = static_cast<char>(byte(gen));
    return out;
}

// An odd value and the text the program must read from it ("" for no
// password). `loginWith` is false where typing that text is not to be tried:
// a malformed record matches nothing.
struct OddValue {
    const char* what;
    DWORD type;
    std::string data;
    std::string password;
    bool loginWith = true;
};

std::vector<OddValue> oddValues() {
    const std::string mib(1 << 20, 'p'), any = noNulBytes(1 << 20, 3), record = "pbkdf2-sha256$1$00$" + mib;
    return {
        {"REG_SZ without a terminating NUL", REG_SZ, "secret", "secret"},
        {"REG_SZ of odd length", REG_SZ, "abc", "abc"},
        {"REG_SZ of odd length ending in NUL", REG_SZ, std::string("ab\0", 3), "ab"},
        {"REG_SZ of no bytes", REG_SZ, "", ""},
        {"REG_SZ of 1 MiB", REG_SZ, sz(mib), mib},
        {"REG_SZ of 1 MiB of any bytes, no NUL", REG_SZ, any, any, false},
        {"REG_SZ of 1 MiB that starts like a record", REG_SZ, sz(record), record, false},
        {"REG_DWORD of 0 bytes", REG_DWORD, "", ""},
        {"REG_DWORD of 2 bytes", REG_DWORD, "\x07\x01", ""},
        {"REG_DWORD of 8 bytes", REG_DWORD, std::string("\x07\0\0\0\0\0\0\0", 8), ""},
        {"REG_DWORD of 4 bytes", REG_DWORD, test::dwordBytes(static_cast<DWORD>(-7)), "-7"},
        {"REG_BINARY", REG_BINARY, "secret", ""},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, sz("%TEMP%"), ""},
        {"REG_MULTI_SZ", REG_MULTI_SZ, std::string("a\0b\0\0", 5), ""},
        {"REG_QWORD", REG_QWORD, std::string("\x2A\0\0\0\0\0\0\0", 8), ""},
        {"REG_NONE", REG_NONE, "secret", ""},
    };
}

class BadRegistryTest : public test::Sandbox {
protected:
    void SetUp() override {
        Sandbox::SetUp();
        test::deleteRaw(HKEY_LOCAL_MACHINE, kMachine, kName);
        test::deleteRaw(HKEY_CURRENT_USER, kUser, kName);
    }

    FrmPass& login = ui::shared<FrmPass>();
    FrmNewPass& first = ui::shared<FrmNewPass>();
    Form1& main = ui::shared<Form1>();

private:
    test::PreservedValue savedMachine_{HKEY_LOCAL_MACHINE, kMachine, kName};
    test::PreservedValue savedUser_{HKEY_CURRENT_USER, kUser, kName};
};

TEST_F(BadRegistryTest, AnOddPasswordValueIsReadAsWhatItHoldsAndLeftAsItIs) {
    const bool userKeyExisted = test::keyExists(HKEY_CURRENT_USER, kUser);
    std::optional<DWORD> handlesBefore;  // once the windows have been made the first time
    if (!test::PasswordSandbox::noneStored()) GTEST_SKIP() << test::password::kNeedsMachine;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        if (root == HKEY_LOCAL_MACHINE && !test::password::machineWritable()) {
            printf("The machine half is skipped: %s.\n", test::password::kNeedsMachine);
            continue;
        }
        const char* path = root == HKEY_LOCAL_MACHINE ? kMachine : kUser;
        for (const OddValue& v : oddValues()) {
            SCOPED_TRACE(std::string(v.what) + " at " + path);
            tally("bad input: registry values at the password key");
            test::deleteRaw(HKEY_LOCAL_MACHINE, kMachine, kName);
            test::deleteRaw(HKEY_CURRENT_USER, kUser, kName);
            ASSERT_TRUE(test::writeRaw(root, path, kName, v.type, v.data));
            const test::RawValue before = test::readRaw(root, path, kName);

            // Text as the registry now holds it, which the raw bytes give in
            // the code page they were written in.
            const std::string password =
                v.type == REG_SZ ? platform::fromLegacy(before.data.substr(0, before.data.find('\0')))
                                 : v.password;
            const ModRegedit::RegValue read = ModRegedit::RegReadValue(
                root == HKEY_LOCAL_MACHINE ? ModRegedit::HKLM : ModRegedit::HKCU, path, kName);
            EXPECT_EQ(read.toText(), password) << "read exactly what is there, nothing past it";
            EXPECT_EQ(PasswordStore::isEmpty(), password.empty());

            host.reset();
            login.Show();
            if (password.empty()) {
                EXPECT_TRUE(first.visible()) << "no password: the first-password window";
                EXPECT_FALSE(login.visible());
            } else {
                EXPECT_TRUE(login.visible());
                login.TxtPass.setText("wrong");
                login.CmdPassoK.click();
                EXPECT_EQ(host.boxes, std::vector<Box>{kIncorrect});
                if (v.loginWith) {
                    login.TxtPass.setText(password);
                    login.CmdPassoK.click();
                    EXPECT_TRUE(main.visible()) << "the stored text lets the user in";
                }
            }
            ui::unloadAll();
            const test::RawValue after = test::readRaw(root, path, kName);
            if (!password.empty() && v.loginWith) {
                EXPECT_EQ(after.data.rfind("pbkdf2-sha256-utf8$", 0), 0u)
                    << "the login left a record in its place";
            } else {
                EXPECT_EQ(after.type, before.type);
                EXPECT_EQ(after.data, before.data) << "reading changed the value";
            }
            if (!handlesBefore) handlesBefore = test::keyHandles();
        }
        // Reading the per-user location made nothing there.
        EXPECT_TRUE(root != HKEY_LOCAL_MACHINE ||
                    test::keyExists(HKEY_CURRENT_USER, kUser) == userKeyExisted);
    }
    if (handlesBefore) {
        EXPECT_TRUE(test::noKeyHandleLeft(*handlesBefore));
    }
}

TEST_F(BadRegistryTest, AFirstPasswordReplacesOddValuesWhereItIsStored) {
    if (!test::password::machineWritable()) GTEST_SKIP() << test::password::kNeedsMachine;
    tally("bad input: registry values at the password key", 2);
    ASSERT_TRUE(test::writeRaw(HKEY_LOCAL_MACHINE, kMachine, kName, REG_DWORD, "\x07\x01"));
    ASSERT_TRUE(test::writeRaw(HKEY_CURRENT_USER, kUser, kName, REG_BINARY, "secret"));
    login.Show();
    ASSERT_TRUE(first.visible());
    first.TxtNewpass1.setText("new one");
    first.txtnewpass2.setText("new one");
    first.CmdNewpassok.click();
    EXPECT_EQ(host.boxes, std::vector<Box>{kPasswordSaved});
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(test::readRaw(HKEY_LOCAL_MACHINE, kMachine, kName).type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(test::readRaw(HKEY_CURRENT_USER, kUser, kName).data, "secret")
        << "the per-user value is not named";
    EXPECT_TRUE(PasswordStore::matches("new one"));
}

double secondsFor(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A pasted password can be of any length; its check must not take longer
// with the length than the hash's own work does.
TEST_F(BadRegistryTest, ALongTypedPasswordIsCheckedInTime) {
    tally("bad input: typed passwords of 100 B to 1 MiB", 4);
    const std::string longer(100, 'L');  // beyond the hash's 64-byte block
    ASSERT_TRUE(
        test::writeRaw(HKEY_CURRENT_USER, kUser, kName, REG_SZ, sz(test::password::recordFor(longer, 2))));
    EXPECT_TRUE(PasswordStore::matches(longer)) << "records of long passwords stay valid";
    EXPECT_FALSE(PasswordStore::matches(longer + "L"));

    ASSERT_TRUE(test::writeRaw(HKEY_CURRENT_USER, kUser, kName, REG_SZ,
                               sz(test::password::recordFor("short", 20000))));
    const std::string pasted(1 << 20, 'P');
    login.Show();
    login.TxtPass.setText(pasted);
    EXPECT_EQ(login.TxtPass.text().size(), pasted.size()) << "the box holds it all";
    EXPECT_LT(secondsFor([&] { login.CmdPassoK.click(); }), 3.0);
    EXPECT_EQ(host.boxes, std::vector<Box>{kIncorrect});

    // And as a new password, saved at full strength and then logged in with.
    const std::string chosen = std::string(64 << 10, 'c') + "!";
    auto& change = ui::shared<FrmChangePass>();
    ASSERT_TRUE(test::writeRaw(HKEY_CURRENT_USER, kUser, kName, REG_SZ, sz("old")));
    change.Show();
    change.TxtOldPass.setText("old");
    change.Text1.setText(chosen);
    change.Text2.setText(chosen);
    host.reset();
    EXPECT_LT(secondsFor([&] { change.CmdChangepass.click(); }), 10.0);
    EXPECT_EQ(host.boxes, std::vector<Box>{kPasswordChanged});
    EXPECT_LT(secondsFor([&] { EXPECT_TRUE(PasswordStore::matches(chosen)); }), 10.0);
}

// --- The MRU window's targets ------------------------------------------------

class BadMruTargetTest : public test::Sandbox {
protected:
    void TearDown() override {
        for (const std::string& key : created_) RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
        Sandbox::TearDown();
    }
    // Remembers the topmost key of `path` that is not there yet: planting
    // makes it, and it goes again afterwards with everything under it.
    void willCreate(const std::string& path) {
        for (size_t cut = path.find('\\');; cut = path.find('\\', cut + 1)) {
            const std::string key = path.substr(0, cut);
            if (!test::keyExists(HKEY_CURRENT_USER, key)) {
                created_.push_back(key);
                return;
            }
            if (cut == std::string::npos) return;
        }
    }

    FrmMRU& form = ui::shared<FrmMRU>();

private:
    std::vector<std::string> created_;
};

// Subkeys of subkeys, `depth` deep, and `wide` side by side under the key.
[[nodiscard]] ::testing::AssertionResult plantTree(const std::string& key, int depth, int wide) {
    HKEY at = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &at,
                        nullptr) != ERROR_SUCCESS)
        return ::testing::AssertionFailure() << "could not make " << key;
    for (int i = 0; i < wide; ++i) {
        HKEY side = nullptr;
        RegCreateKeyExA(at, ("side " + std::to_string(i)).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &side, nullptr);
        RegSetValueExA(side, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), sizeof i);
        RegCloseKey(side);
    }
    ::testing::AssertionResult made = ::testing::AssertionSuccess();
    for (int level = 0; level < depth; ++level) {
        HKEY next = nullptr;
        if (RegCreateKeyExA(at, "d", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &next, nullptr) !=
            ERROR_SUCCESS) {
            made = ::testing::AssertionFailure() << "could not make level " << level;
            break;
        }
        RegSetValueExA(next, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
        RegCloseKey(at);
        at = next;
    }
    RegCloseKey(at);
    return made;
}

std::vector<std::string> subkeysOf(const std::string& key) {
    std::vector<std::string> out;
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return out;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        out.emplace_back(name, size);
    }
    RegCloseKey(h);
    return out;
}

TEST_F(BadMruTargetTest, OddValuesAndDeepTreesGoWholeAndNothingBesideThem) {
    const DWORD handlesBefore = test::keyHandles();
    int row = 0;
    for (const MruTarget& t : MruTargets) {
        SCOPED_TRACE(t.name);
        const std::string target = std::string(t.parent) + "\\" + t.subkey;
        const test::PreservedKey real(HKEY_CURRENT_USER, target);
        ASSERT_TRUE(real.kept());
        willCreate(target);
        willCreate(std::string(t.parent) + "\\HidewellSibling");
        // The deepest the registry allows for one row, a wide level for another.
        const int depth = row == 0 ? 500 : 20, wide = row == 1 ? 5000 : 10;
        ++row;
        ASSERT_TRUE(plantTree(target, depth, wide));
        ASSERT_TRUE(test::makeKey(HKEY_CURRENT_USER, std::string(t.parent) + "\\HidewellSibling"));
        for (const OddValue& v : oddValues()) {
            tally("bad input: odd values in MRU target keys and beside them", 2);
            // And on, to remove the values beside the target at the end.
            EXPECT_TRUE(test::writeRaw(HKEY_CURRENT_USER, target, v.what, v.type, v.data));
            EXPECT_TRUE(test::writeRaw(HKEY_CURRENT_USER, t.parent, std::string("HidewellSibling ") + v.what,
                                       v.type, v.data));
        }
        tally("bad input: MRU target trees (levels deep)", depth);
        std::vector<test::RawValue> siblings;
        for (const OddValue& v : oddValues())
            siblings.push_back(
                test::readRaw(HKEY_CURRENT_USER, t.parent, std::string("HidewellSibling ") + v.what));
        std::vector<std::string> others = subkeysOf(t.parent);
        std::erase(others, std::string(t.subkey));

        host.reset();
        ASSERT_TRUE(form.CmbMRU.choose(t.name));
        form.CmdDelMRU.click();
        std::vector<Box> expected{{t.confirmation, "Confirmation", Icon::Information}};
        if (t.rebootNote) expected.push_back(kReboot);
        EXPECT_EQ(host.boxes, expected);
        EXPECT_FALSE(test::keyExists(HKEY_CURRENT_USER, target)) << "gone whole";
        EXPECT_EQ(subkeysOf(t.parent), others) << "every other key stays";
        size_t i = 0;
        for (const OddValue& v : oddValues()) {
            const test::RawValue now =
                test::readRaw(HKEY_CURRENT_USER, t.parent, std::string("HidewellSibling ") + v.what);
            EXPECT_EQ(now.type, siblings[i].type) << v.what;
            EXPECT_EQ(now.data, siblings[i].data) << v.what;
            ++i;
            test::deleteRaw(HKEY_CURRENT_USER, t.parent, std::string("HidewellSibling ") + v.what);
        }
    }
    form.close();
    EXPECT_TRUE(test::noKeyHandleLeft(handlesBefore));
}

}  // namespace
}  // namespace reliability
