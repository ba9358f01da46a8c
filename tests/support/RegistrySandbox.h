// Registry fixtures and probes for tests that touch Wine's real registry:
// a fresh sandbox key per test, raw reads and writes, a key whose security
// refuses new values, values put back as they were, and a count of the key
// handles left open.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace test {

// A fresh key HKCU\Software\HidewellTests\<process>-<n> for each test,
// removed with everything under it afterwards.
class RegistrySandbox : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string at(const std::string& sub) const { return path + "\\" + sub; }

    std::string path;  // of the sandbox key, relative to HKEY_CURRENT_USER
};

struct RawValue {
    LONG rc = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::string data;  // exactly the bytes the registry holds
};

// Reads a value with the narrow call: text comes in the program's code page.
RawValue readRaw(HKEY root, const std::string& path, const std::string& name);
// These two say whether they did, and why not, for the caller to assert on.
[[nodiscard]] ::testing::AssertionResult writeRaw(HKEY root, const std::string& path, const std::string& name,
                                                  DWORD type, const std::string& data);
void deleteRaw(HKEY root, const std::string& path, const std::string& name);
bool keyExists(HKEY root, const std::string& path);
[[nodiscard]] ::testing::AssertionResult makeKey(HKEY root, const std::string& path);

// The bytes of a REG_DWORD as the registry stores them.
std::string dwordBytes(DWORD value);
// The bytes of a REG_SZ as the registry stores them: the text and its NUL.
inline std::string sz(const std::string& text) { return text + '\0'; }

// While it lives, nobody (its creator included) has the denied access to the
// key (by default: setting values): a deny entry for Everyone in the key's
// access list. The key is created when missing; its previous access list
// comes back afterwards. The test checks inPlace() before it relies on it.
class AccessDenied {
public:
    AccessDenied(HKEY root, const std::string& path, REGSAM denied = KEY_SET_VALUE);
    ~AccessDenied();
    AccessDenied(const AccessDenied&) = delete;
    AccessDenied& operator=(const AccessDenied&) = delete;

    // Whether the deny entry is there; why not when it is not.
    const ::testing::AssertionResult& inPlace() const { return inPlace_; }

private:
    HKEY key_ = nullptr;
    std::string saved_;  // self-relative security descriptor
    ::testing::AssertionResult inPlace_ = ::testing::AssertionSuccess();
};

// Remembers a value and whether its key existed, and puts both back as they
// were when it goes: for values outside the sandbox, such as the real
// password value. What did not change is left alone (a standard user may
// read values that only an administrator may write).
class PreservedValue {
public:
    PreservedValue(HKEY root, std::string path, std::string name);
    ~PreservedValue();
    PreservedValue(const PreservedValue&) = delete;
    PreservedValue& operator=(const PreservedValue&) = delete;

private:
    HKEY root_;
    std::string path_, name_;
    bool keyExisted_;
    RawValue value_;
};

// Remembers a whole key, its values and subkeys, and puts it back as it was
// when it goes (or removes it when it was not there): for the real keys of
// other programs that the MRU window deletes. The copy is kept under the
// tests' own key meanwhile; the test checks kept() before it changes the key.
class PreservedKey {
public:
    PreservedKey(HKEY root, std::string path);
    ~PreservedKey();
    PreservedKey(const PreservedKey&) = delete;
    PreservedKey& operator=(const PreservedKey&) = delete;

    // Whether the key, where there was one, has its copy; why not when not.
    const ::testing::AssertionResult& kept() const { return kept_; }

private:
    HKEY root_;
    std::string path_, copy_;
    bool existed_;
    ::testing::AssertionResult kept_ = ::testing::AssertionSuccess();
};

// While it lives, a registry link at `path` that stands for the key `target`,
// both under HKEY_CURRENT_USER, as another program could plant one: opened
// by name, it gives the target. It goes with this object, as a link (the
// target stays). The test checks made() before it relies on it.
class RegistryLink {
public:
    RegistryLink(std::string path, const std::string& target);
    ~RegistryLink();
    RegistryLink(const RegistryLink&) = delete;
    RegistryLink& operator=(const RegistryLink&) = delete;

    const ::testing::AssertionResult& made() const { return made_; }

private:
    std::string path_;
    ::testing::AssertionResult made_ = ::testing::AssertionSuccess();
};

// Where the login password is kept: the value kName of the key .mp3 of the
// classes, in two halves, each reached by its own path: kMachine under
// HKEY_LOCAL_MACHINE and kUser under HKEY_CURRENT_USER. (HKEY_CLASSES_ROOT
// is a view of the two; see access/PasswordStore.h.)
namespace password {
inline constexpr char kMachine[] = "Software\\Classes\\.mp3";
inline constexpr char kUser[] = "Software\\Classes\\.mp3";
inline constexpr char kName[] = "openID";
// Tests that must change the machine half skip with this where they may not.
inline constexpr char kNeedsMachine[] =
    "the machine half of the password (HKEY_LOCAL_MACHINE\\Software\\Classes\\.mp3) may be changed by an "
    "administrator only, which this user is not";

// Whether this user may write the machine half: an administrator on Windows;
// anyone under Wine.
bool machineWritable();
// A record made here with the platform's own PBKDF2, on the bytes given, with
// a fixed salt: few iterations make it cheap to check.
std::string recordFor(const std::string& bytes, unsigned long iterations);
// The stored value as the program reads it: the per-user value unless it is
// empty or missing, else the machine value.
RawValue stored();
}  // namespace password

// Whether HKEY_CLASSES_ROOT merges the per-user classes into the machine's,
// as Windows does (Wine does not): probed with a key of the tests' own.
bool classesMerged();

// While it lives, both password values start absent (where this user may
// remove them); afterwards they are put back as they were.
class PasswordSandbox {
public:
    PasswordSandbox();
    // A password as an earlier version kept it, plain REG_SZ text, in the
    // per-user half, which every user may write: checked without the slow
    // hash.
    [[nodiscard]] static ::testing::AssertionResult plantPlain(const std::string& password);
    // True when no password is stored: false only where the machine half
    // holds one that this user may not remove.
    static bool noneStored();

private:
    PreservedValue machine_{HKEY_LOCAL_MACHINE, password::kMachine, password::kName};
    PreservedValue user_{HKEY_CURRENT_USER, password::kUser, password::kName};
};

// The kernel handles open now (kernelHandles), after the registry's roots
// have been used once, as their first use opens handles that stay: a call
// that leaks a key handle raises the count.
DWORD keyHandles();
// Whether no more handles are open than `before` (keyHandles), give or take
// the platform's slack (handleSlack).
[[nodiscard]] ::testing::AssertionResult noKeyHandleLeft(DWORD before);

}  // namespace test
