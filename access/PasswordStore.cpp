#include "access/PasswordStore.h"

#include <windows.h>
// bcrypt.h needs the types of windows.h.
#include <bcrypt.h>

#include <string_view>
#include <vector>

#include "platform/SystemLibrary.h"
#include "platform/Text.h"
#include "registry/ModRegedit.h"

namespace PasswordStore {
namespace {

using ModRegedit::RegValue;

// The same path in both halves: under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
constexpr char kPath[] = "Software\\Classes\\.mp3";
constexpr char kValueName[] = "openID";

// Starts with a letter and has no blanks, so RegWriteValue can neither take
// it for a number nor trim it.
constexpr char kScheme[] = "pbkdf2-sha256";
constexpr size_t kSaltBytes = 16;
constexpr size_t kHashBytes = 32;
// Records are read with their own count, so tests may plant cheap ones; the
// cap keeps a tampered value from stalling the login for minutes.
constexpr unsigned long kMaxIterations = 10000000;

using Bytes = std::vector<unsigned char>;

// bcrypt is loaded when a password is first hashed or checked, not at start:
// under Wine it brings its crypto library along.
template <class Call>
Call bcrypt(const char* name) {
    return platform::systemCall<Call>(L"bcrypt.dll", name);
}

class AlgorithmHandle {
public:
    AlgorithmHandle() {
        const auto open = bcrypt<decltype(&BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider");
        close_ = bcrypt<decltype(&BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider");
        if (!open || !close_ ||
            !BCRYPT_SUCCESS(open(&h_, BCRYPT_SHA256_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG)))
            h_ = nullptr;
    }
    ~AlgorithmHandle() {
        if (h_) close_(h_, 0);
    }
    AlgorithmHandle(const AlgorithmHandle&) = delete;
    AlgorithmHandle& operator=(const AlgorithmHandle&) = delete;
    BCRYPT_ALG_HANDLE get() const { return h_; }

private:
    BCRYPT_ALG_HANDLE h_ = nullptr;
    decltype(&BCryptCloseAlgorithmProvider) close_ = nullptr;
};

// SHA-256 of some bytes, as HMAC takes a key longer than its block.
bool sha256(const std::string& bytes, Bytes& digest) {
    const auto open = bcrypt<decltype(&BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider");
    const auto close = bcrypt<decltype(&BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider");
    const auto create = bcrypt<decltype(&BCryptCreateHash)>("BCryptCreateHash");
    const auto add = bcrypt<decltype(&BCryptHashData)>("BCryptHashData");
    const auto finish = bcrypt<decltype(&BCryptFinishHash)>("BCryptFinishHash");
    const auto destroy = bcrypt<decltype(&BCryptDestroyHash)>("BCryptDestroyHash");
    if (!open || !close || !create || !add || !finish || !destroy) return false;
    BCRYPT_ALG_HANDLE alg = nullptr;
    if (!BCRYPT_SUCCESS(open(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) return false;
    BCRYPT_HASH_HANDLE hash = nullptr;
    digest.assign(32, 0);
    bool ok = BCRYPT_SUCCESS(create(alg, &hash, nullptr, 0, nullptr, 0, 0));
    ok = ok && BCRYPT_SUCCESS(add(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                  static_cast<ULONG>(bytes.size()), 0));
    ok = ok && BCRYPT_SUCCESS(finish(hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
    if (hash) destroy(hash);
    close(alg, 0);
    return ok;
}

bool derive(const std::string& password, const Bytes& salt, unsigned long iterations, Bytes& hash) {
    const AlgorithmHandle hmac;
    if (!hmac.get()) return false;
    // HMAC uses a key longer than SHA-256's 64-byte block as its hash, so
    // handing over that hash gives the same result. Some PBKDF2s (Wine's)
    // hash the long key again on every iteration: a pasted megabyte would
    // keep the login busy for half an hour.
    std::string key = password;
    if (key.size() > 64) {
        Bytes digest;
        if (!sha256(password, digest)) return false;
        key.assign(digest.begin(), digest.end());
        SecureZeroMemory(digest.data(), digest.size());
    }
    // The API takes non-const buffers but only reads the password and salt.
    auto* pw = reinterpret_cast<PUCHAR>(key.data());
    auto* sa = const_cast<PUCHAR>(salt.data());
    const auto deriveKey = bcrypt<decltype(&BCryptDeriveKeyPBKDF2)>("BCryptDeriveKeyPBKDF2");
    const bool ok = deriveKey && BCRYPT_SUCCESS(deriveKey(hmac.get(), pw, static_cast<ULONG>(key.size()), sa,
                                                          static_cast<ULONG>(salt.size()), iterations,
                                                          hash.data(), static_cast<ULONG>(hash.size()), 0));
    SecureZeroMemory(key.data(), key.size());
    return ok;
}

std::string toHex(const Bytes& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) out += {digits[b >> 4], digits[b & 15]};
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool fromHex(std::string_view text, size_t minBytes, size_t maxBytes, Bytes& out) {
    if (text.size() % 2 || text.size() < 2 * minBytes || text.size() > 2 * maxBytes) return false;
    out.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        const int hi = hexDigit(text[i]), lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<unsigned char>(hi << 4 | lo));
    }
    return true;
}

bool isRecord(const std::string& text) { return text.starts_with(std::string(kScheme) + '$'); }

struct Record {
    unsigned long iterations = 0;
    Bytes salt, hash;
};

bool parseRecord(std::string_view text, Record& out) {
    std::string_view fields[4];
    for (int i = 0; i < 4; ++i) {
        const size_t cut = i < 3 ? text.find('$') : text.size();
        if (cut == std::string_view::npos) return false;
        fields[i] = text.substr(0, cut);
        text.remove_prefix(i < 3 ? cut + 1 : cut);
    }
    const std::string_view count = fields[1];
    if (count.empty() || count.size() > 9 || count[0] == '0') return false;
    for (char c : count) {
        if (c < '0' || c > '9') return false;
        out.iterations = out.iterations * 10 + (c - '0');
    }
    return out.iterations <= kMaxIterations && fromHex(fields[2], 1, 64, out.salt) &&
           fromHex(fields[3], 16, 64, out.hash);
}

bool makeRecord(const std::string& password, std::string& record) {
    Bytes salt(kSaltBytes), hash(kHashBytes);
    const auto random = bcrypt<decltype(&BCryptGenRandom)>("BCryptGenRandom");
    if (!random || !BCRYPT_SUCCESS(random(nullptr, salt.data(), static_cast<ULONG>(salt.size()),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
        return false;
    if (!derive(password, salt, kIterations, hash)) return false;
    record = std::string(kScheme) + '$' + std::to_string(kIterations) + '$' + toHex(salt) + '$' + toHex(hash);
    return true;
}

// Every byte is looked at whatever the earlier ones were.
bool sameBytes(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size()) return false;
    volatile unsigned char diff = 0;
    for (size_t i = 0; i < a.size(); ++i) diff = diff | (a[i] ^ b[i]);
    return diff == 0;
}

bool verify(const std::string& recordText, const std::string& typed) {
    Record record;
    if (!parseRecord(recordText, record)) return false;
    Bytes hash(record.hash.size());
    const bool ok = derive(typed, record.salt, record.iterations, hash) && sameBytes(hash, record.hash);
    SecureZeroMemory(hash.data(), hash.size());
    return ok;
}

RegValue machineValue() { return ModRegedit::RegReadValue(ModRegedit::HKLM, kPath, kValueName); }
RegValue userValue() { return ModRegedit::RegReadValue(ModRegedit::HKCU, kPath, kValueName); }

// The per-user value first: where it is set it is the one Windows shows.
RegValue storedValue() {
    RegValue user = userValue();
    return user.toText().empty() ? machineValue() : user;
}

void write(std::uint32_t root, const char* path, const RegValue& value) {
    ModRegedit::RegWriteValue(root, path, kValueName, value);
}

}  // namespace

bool isEmpty() { return storedValue().toText().empty(); }

bool matches(const std::string& typed) {
    const RegValue stored = storedValue();
    const std::string text = stored.toText();
    // An earlier version kept what the legacy code page made of the typed
    // text; checked once more only where that differs from the text.
    const std::string legacy = platform::toLegacy(typed);
    const bool other = legacy != typed;
    if (!stored.isNumber() && isRecord(text)) return verify(text, typed) || (other && verify(text, legacy));
    // A plain value comes back from the registry as text, the legacy bytes too.
    return typed == text || (other && platform::fromLegacy(legacy) == text);
}

bool save(const std::string& password) {
    std::string record;
    if (!password.empty() && !makeRecord(password, record)) return false;
    const RegValue wanted(record);  // never numeric, so RegWriteValue cannot raise

    write(ModRegedit::HKLM, kPath, wanted);
    if (storedValue() == wanted) return true;
    // An empty per-user value does not hide the machine one: emptying it
    // while the machine half keeps a password would bring that one back.
    if (record.empty() && !machineValue().toText().empty()) return false;
    write(ModRegedit::HKCU, kPath, wanted);
    return storedValue() == wanted;
}

}  // namespace PasswordStore
