#include "support/RegistrySandbox.h"

#include <aclapi.h>
#include <sddl.h>
// bcrypt.h needs the types of windows.h.
#include <bcrypt.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/Text.h"
#include "support/Sandbox.h"

namespace test {

namespace {
constexpr char kTestsKey[] = "Software\\HidewellTests";
}  // namespace

void RegistrySandbox::SetUp() {
    static int serial = 0;
    path = std::string(kTestsKey) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++serial);
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    ASSERT_TRUE(makeKey(HKEY_CURRENT_USER, path));
}

void RegistrySandbox::TearDown() {
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);  // the key itself too
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, path));
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestsKey);  // only once it is empty
}

RawValue readRaw(HKEY root, const std::string& path, const std::string& name) {
    RawValue out;
    HKEY key = nullptr;
    out.rc = RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (out.rc != ERROR_SUCCESS) return out;
    DWORD size = 0;
    RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, &size);
    // Only the bytes the call says it returned are the value's: converting
    // text to the code page, the narrow call may use the rest of the buffer.
    std::vector<unsigned char> buffer(size + 64);
    DWORD got = static_cast<DWORD>(buffer.size());
    out.rc = RegQueryValueExA(key, name.c_str(), nullptr, &out.type, buffer.data(), &got);
    RegCloseKey(key);
    if (out.rc == ERROR_SUCCESS) out.data.assign(reinterpret_cast<const char*>(buffer.data()), got);
    return out;
}

::testing::AssertionResult writeRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
                                    const std::string& data) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return ::testing::AssertionFailure() << "could not open " << path << ": " << rc;
    rc = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    if (rc == ERROR_SUCCESS) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "could not write " << path << " \"" << name << "\": " << rc;
}

void deleteRaw(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

bool keyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

::testing::AssertionResult makeKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    const LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return ::testing::AssertionFailure() << "could not make " << path << ": " << rc;
    RegCloseKey(key);
    return ::testing::AssertionSuccess();
}

std::string dwordBytes(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

AccessDenied::AccessDenied(HKEY root, const std::string& path, REGSAM denied) {
    const LONG rc =
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr, &key_, nullptr);
    if (rc != ERROR_SUCCESS) {
        inPlace_ = ::testing::AssertionFailure()
                   << "cannot open " << path << " to change its security: " << rc;
        key_ = nullptr;
        return;
    }
    DWORD size = 0;
    RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    if (size == 0 ||
        RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS) {
        // Without the old access list there is no putting it back: change nothing.
        inPlace_ = ::testing::AssertionFailure() << "cannot read the access list of " << path;
        RegCloseKey(key_);
        key_ = nullptr;
        return;
    }

    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    alignas(DWORD) char aclBuffer[256];
    PACL acl = reinterpret_cast<PACL>(aclBuffer);
    InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
    AddAccessDeniedAce(acl, ACL_REVISION, denied, everyone);
    AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
    if (const LONG set = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, &sd); set != ERROR_SUCCESS)
        inPlace_ = ::testing::AssertionFailure() << "cannot deny access to " << path << ": " << set;
    FreeSid(everyone);
}

AccessDenied::~AccessDenied() {
    if (!key_) return;
    // The handle was opened with WRITE_DAC before the deny entry came, so it
    // may still put the old list back.
    EXPECT_EQ(RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data()), ERROR_SUCCESS)
        << "a deny entry was left behind";
    RegCloseKey(key_);
}

PreservedValue::PreservedValue(HKEY root, std::string path, std::string name)
    : root_(root), path_(std::move(path)), name_(std::move(name)), keyExisted_(keyExists(root_, path_)) {
    if (keyExisted_) value_ = readRaw(root_, path_, name_);
}

PreservedValue::~PreservedValue() {
    const RawValue now = readRaw(root_, path_, name_);
    const bool same = now.rc == value_.rc &&
                      (now.rc != ERROR_SUCCESS || (now.type == value_.type && now.data == value_.data));
    if (!same) {
        if (value_.rc == ERROR_SUCCESS)
            EXPECT_TRUE(writeRaw(root_, path_, name_, value_.type, value_.data)) << "not put back";
        else
            deleteRaw(root_, path_, name_);
    }
    if (!keyExisted_) RegDeleteKeyA(root_, path_.c_str());  // refused if something else has put subkeys there
}

PreservedKey::PreservedKey(HKEY root, std::string path)
    : root_(root), path_(std::move(path)), existed_(keyExists(root_, path_)) {
    static int serial = 0;
    copy_ = std::string("Software\\HidewellTests\\kept-") + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    if (!existed_) return;
    HKEY from = nullptr, to = nullptr;
    LONG rc = RegOpenKeyExA(root_, path_.c_str(), 0, KEY_READ, &from);
    if (rc == ERROR_SUCCESS)
        rc = RegCreateKeyExA(HKEY_CURRENT_USER, copy_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to,
                             nullptr);
    if (rc == ERROR_SUCCESS) rc = RegCopyTreeA(from, nullptr, to);
    if (from) RegCloseKey(from);
    if (to) RegCloseKey(to);
    if (rc != ERROR_SUCCESS)
        kept_ = ::testing::AssertionFailure() << "could not keep a copy of " << path_ << ": " << rc;
}

PreservedKey::~PreservedKey() {
    RegDeleteTreeA(root_, path_.c_str());
    RegDeleteKeyA(root_, path_.c_str());
    if (existed_) {
        HKEY from = nullptr, to = nullptr;
        LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, copy_.c_str(), 0, KEY_READ, &from);
        if (rc == ERROR_SUCCESS)
            rc = RegCreateKeyExA(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr);
        if (rc == ERROR_SUCCESS) rc = RegCopyTreeA(from, nullptr, to);
        if (from) RegCloseKey(from);
        if (to) RegCloseKey(to);
        EXPECT_EQ(rc, ERROR_SUCCESS) << "could not put back " << path_;
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, copy_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, copy_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\HidewellTests");  // only once it is empty
}

namespace {

// The registry's own name of a key under HKEY_CURRENT_USER, which is how a
// link names its target: \Registry\User\<the user's SID>\<path>.
std::wstring nativeUserPath(const std::string& path) {
    HANDLE token = nullptr;
    std::wstring out;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return out;
    alignas(TOKEN_USER) char buffer[256];
    DWORD size = 0;
    wchar_t* sid = nullptr;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
        out = std::wstring(L"\\Registry\\User\\") + sid + L"\\" + platform::widen(path);
        LocalFree(sid);
    }
    CloseHandle(token);
    return out;
}

}  // namespace

RegistryLink::RegistryLink(std::string path, const std::string& target) : path_(std::move(path)) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        made_ = ::testing::AssertionFailure() << "could not make the link " << path_ << ": " << rc;
        return;
    }
    // The target's name without a terminating NUL.
    const std::wstring to = nativeUserPath(target);
    rc = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(to.data()),
                        static_cast<DWORD>(to.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || to.empty())
        made_ = ::testing::AssertionFailure() << "could not point the link " << path_ << ": " << rc;
}

RegistryLink::~RegistryLink() {
    // Deleted by name, a link would take its target with it: the key the
    // handle holds goes instead.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), REG_OPTION_OPEN_LINK, DELETE, &key) != ERROR_SUCCESS)
        return;
    using NtDeleteKey = LONG(NTAPI*)(HANDLE);
    if (const auto del = reinterpret_cast<NtDeleteKey>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey"))))
        del(key);
    RegCloseKey(key);
}

namespace password {

bool machineWritable() {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachine, 0, KEY_SET_VALUE, &key);
    if (rc == ERROR_FILE_NOT_FOUND)
        rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes", 0, KEY_CREATE_SUB_KEY, &key);
    if (rc != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string recordFor(const std::string& bytes, unsigned long iterations) {
    BCRYPT_ALG_HANDLE alg = nullptr;
    BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    unsigned char salt[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, hash[32] = {};
    BCryptDeriveKeyPBKDF2(alg, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                          static_cast<ULONG>(bytes.size()), salt, sizeof salt, iterations, hash, sizeof hash,
                          0);
    BCryptCloseAlgorithmProvider(alg, 0);
    static constexpr char digits[] = "0123456789abcdef";
    std::string out = "pbkdf2-sha256$" + std::to_string(iterations) + "$";
    for (unsigned char b : salt) out += {digits[b >> 4], digits[b & 15]};
    out += '$';
    for (unsigned char b : hash) out += {digits[b >> 4], digits[b & 15]};
    return out;
}

RawValue stored() {
    RawValue user = readRaw(HKEY_CURRENT_USER, kUser, kName);
    const bool userEmpty = user.rc != ERROR_SUCCESS || user.data.empty() || user.data[0] == '\0';
    return userEmpty ? readRaw(HKEY_LOCAL_MACHINE, kMachine, kName) : user;
}

}  // namespace password

bool classesMerged() {
    static const bool merged = [] {
        const std::string name = "HidewellTests-" + std::to_string(GetCurrentProcessId());
        const std::string perUser = "Software\\Classes\\" + name;
        const bool shown = makeKey(HKEY_CURRENT_USER, perUser) && keyExists(HKEY_CLASSES_ROOT, name);
        RegDeleteKeyA(HKEY_CURRENT_USER, perUser.c_str());
        return shown;
    }();
    return merged;
}

PasswordSandbox::PasswordSandbox() {
    deleteRaw(HKEY_LOCAL_MACHINE, password::kMachine, password::kName);
    deleteRaw(HKEY_CURRENT_USER, password::kUser, password::kName);
}

::testing::AssertionResult PasswordSandbox::plantPlain(const std::string& text) {
    // In UTF-16, as the registry keeps text, whatever this program's code page.
    const std::wstring data = platform::widen(text);
    const LONG rc = RegSetKeyValueW(HKEY_CURRENT_USER, platform::widen(password::kUser).c_str(),
                                    platform::widen(password::kName).c_str(), REG_SZ, data.c_str(),
                                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    if (rc == ERROR_SUCCESS) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "could not plant the password: " << rc;
}

bool PasswordSandbox::noneStored() {
    const RawValue machine = readRaw(HKEY_LOCAL_MACHINE, password::kMachine, password::kName);
    return machine.rc != ERROR_SUCCESS || machine.data.empty() || machine.data[0] == '\0';
}

DWORD keyHandles() {
    // Under Wine, the classes root keeps one to the per-user classes.
    classesMerged();
    HKEY key = nullptr;
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        if (RegOpenKeyExA(root, "", 0, KEY_READ, &key) == ERROR_SUCCESS) RegCloseKey(key);
    }
    return kernelHandles();
}

::testing::AssertionResult noKeyHandleLeft(DWORD before) {
    const DWORD now = keyHandles();
    if (now <= before + handleSlack()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "a key handle was left open: " << before << " kernel handles before, " << now << " after";
}

}  // namespace test
