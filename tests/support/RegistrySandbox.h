// Registry fixtures and probes for tests that touch Wine's real registry:
// a fresh sandbox key per test, raw reads through a poisoned buffer, a key
// whose security refuses new values, values put back as they were, and a
// probe for leaked key handles.
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

// Reads a value through a buffer much larger than the value and filled with
// poison; fails the test when the registry touched bytes past the data.
RawValue readRaw(HKEY root, const std::string& path, const std::string& name);
void writeRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const std::string& data);
void deleteRaw(HKEY root, const std::string& path, const std::string& name);
bool keyExists(HKEY root, const std::string& path);
void makeKey(HKEY root, const std::string& path);

// The bytes of a REG_DWORD as the registry stores them.
std::string dwordBytes(DWORD value);

// While it lives, nobody (its creator included) has the denied access to the
// key (by default: setting values): a deny entry for Everyone in the key's
// access list. The key is created when missing; its previous access list
// comes back afterwards.
class AccessDenied {
public:
    AccessDenied(HKEY root, const std::string& path, REGSAM denied = KEY_SET_VALUE);
    ~AccessDenied();
    AccessDenied(const AccessDenied&) = delete;
    AccessDenied& operator=(const AccessDenied&) = delete;

private:
    HKEY key_ = nullptr;
    std::string saved_;  // self-relative security descriptor
};

// Remembers a value and whether its key existed, and puts both back as they
// were when it goes: for values outside the sandbox, such as HKCR\.mp3.
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

// Where the login password is kept: the value kName of kMachine under
// HKEY_CLASSES_ROOT and of kUser under HKEY_CURRENT_USER.
namespace password {
inline constexpr char kMachine[] = ".mp3";
inline constexpr char kUser[] = "Software\\Classes\\.mp3";
inline constexpr char kName[] = "openID";
}  // namespace password

// While it lives, both password values start absent; afterwards they are put
// back as they were.
class PasswordSandbox {
public:
    PasswordSandbox();
    // A password as an earlier version kept it, plain REG_SZ text: checked
    // without the slow hash.
    static void plantPlain(const std::string& password);

private:
    PreservedValue machine_{HKEY_CLASSES_ROOT, password::kMachine, password::kName};
    PreservedValue user_{HKEY_CURRENT_USER, password::kUser, password::kName};
};

// The handle value the next opened key gets. Freed handles are reused first,
// so a call that leaks a key handle changes it.
HKEY nextKeyHandle();

}  // namespace test
