#include "access/PasswordStore.h"

#include <windows.h>
// bcrypt.h needs the types of windows.h.
#include <bcrypt.h>

#include <string_view>
#include <utility>
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

// Start with a letter and have no blanks, so RegWriteValue can neither take
// them for a number nor trim them. Records written now say that they hash
// the UTF-8 bytes of the password; an earlier version's hash the bytes of
// the program's code page, which may have been the legacy one.
constexpr char kScheme[] = "pbkdf2-sha256-utf8";
constexpr char kEarlierScheme[] = "pbkdf2-sha256";
constexpr size_t kSaltBytes = 16;
constexpr size_t kHashBytes = 32;
// Records are read with their own parameters, so tests may plant cheap ones.
// The work a check may take is bounded, so that a planted record cannot
// stall the login: iterations times SHA-256 blocks of hash, times the tries
// (an earlier version's record may be tried twice, see check()), at most
// twice what one try of a record written here takes. Every earlier version
// wrote its records with kIterations, which stays within that.
constexpr unsigned long long kMaxWork = 2ull * kIterations * ((kHashBytes + 31) / 32);

using Bytes = std::vector<unsigned char>;

// Bytes that held a password, or were made of one: wiped when they go, on
// every path. Never resized, so no copy is left behind in freed memory.
class Secret {
public:
    explicit Secret(std::string_view bytes) : bytes_(bytes.begin(), bytes.end()) {}
    explicit Secret(size_t size) : bytes_(size) {}
    ~Secret() { SecureZeroMemory(bytes_.data(), bytes_.size()); }
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;
    unsigned char* data() { return bytes_.data(); }
    ULONG size() const { return static_cast<ULONG>(bytes_.size()); }

private:
    Bytes bytes_;
};

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

// SHA-256 of some bytes into a 32-byte digest, as HMAC takes a key longer
// than its block.
bool sha256(std::string_view bytes, Secret& digest) {
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
    bool ok = BCRYPT_SUCCESS(create(alg, &hash, nullptr, 0, nullptr, 0, 0));
    ok = ok && BCRYPT_SUCCESS(add(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                  static_cast<ULONG>(bytes.size()), 0));
    ok = ok && BCRYPT_SUCCESS(finish(hash, digest.data(), digest.size(), 0));
    if (hash) destroy(hash);
    close(alg, 0);
    return ok;
}

bool derive(std::string_view password, const Bytes& salt, unsigned long iterations, Bytes& hash) {
    const AlgorithmHandle hmac;
    if (!hmac.get()) return false;
    // HMAC uses a key longer than SHA-256's 64-byte block as its hash, so
    // handing over that hash gives the same result. Some PBKDF2s (Wine's)
    // hash the long key again on every iteration: a pasted megabyte would
    // keep the login busy for half an hour.
    // One constructor call, not a choice between two objects: a conditional
    // of a class that cannot be copied is one compilers disagree about.
    const bool long_ = password.size() > 64;
    Secret key(long_ ? size_t{32} : password.size());
    if (long_) {
        if (!sha256(password, key)) return false;
    } else {
        password.copy(reinterpret_cast<char*>(key.data()), password.size());
    }
    // The API takes a non-const salt but only reads it.
    auto* sa = const_cast<PUCHAR>(salt.data());
    const auto deriveKey = bcrypt<decltype(&BCryptDeriveKeyPBKDF2)>("BCryptDeriveKeyPBKDF2");
    return deriveKey &&
           BCRYPT_SUCCESS(deriveKey(hmac.get(), key.data(), key.size(), sa, static_cast<ULONG>(salt.size()),
                                    iterations, hash.data(), static_cast<ULONG>(hash.size()), 0));
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

bool isRecord(const std::string& text) {
    return text.starts_with(std::string(kScheme) + '$') ||
           text.starts_with(std::string(kEarlierScheme) + '$');
}

struct Record {
    bool utf8 = false;  // hashes UTF-8 bytes; else an earlier version's
    unsigned long iterations = 0;
    Bytes salt, hash;
    // As strong as a record written now.
    bool current() const {
        return utf8 && iterations >= kIterations && salt.size() >= kSaltBytes && hash.size() >= kHashBytes;
    }
};

bool parseRecord(std::string_view text, Record& out) {
    std::string_view fields[4];
    for (int i = 0; i < 4; ++i) {
        const size_t cut = i < 3 ? text.find('$') : text.size();
        if (cut == std::string_view::npos) return false;
        fields[i] = text.substr(0, cut);
        text.remove_prefix(i < 3 ? cut + 1 : cut);
    }
    out.utf8 = fields[0] == kScheme;
    if (!out.utf8 && fields[0] != kEarlierScheme) return false;
    const std::string_view count = fields[1];
    if (count.empty() || count.size() > 9 || count[0] == '0') return false;
    for (char c : count) {
        if (c < '0' || c > '9') return false;
        out.iterations = out.iterations * 10 + static_cast<unsigned long>(c - '0');
    }
    if (!fromHex(fields[2], 1, 64, out.salt) || !fromHex(fields[3], 16, 64, out.hash)) return false;
    const unsigned long long tries = out.utf8 ? 1 : 2;
    return tries * out.iterations * ((out.hash.size() + 31) / 32) <= kMaxWork;
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

bool verify(const Record& record, std::string_view typed) {
    Bytes hash(record.hash.size());
    const bool ok = derive(typed, record.salt, record.iterations, hash) && sameBytes(hash, record.hash);
    SecureZeroMemory(hash.data(), hash.size());
    return ok;
}

// A copy of a password, wiped when it goes.
struct WipedString {
    std::string text;
    ~WipedString() { SecureZeroMemory(text.data(), text.size()); }
};

using ModRegedit::HKCU;
using ModRegedit::HKLM;

RegValue read(std::uint32_t half) { return ModRegedit::RegReadValue(half, kPath, kValueName); }

void write(std::uint32_t half, const RegValue& value) {
    ModRegedit::RegWriteValue(half, kPath, kValueName, value);
}

// The stored value and the half that keeps it: the per-user value first,
// since where it is set it is the one Windows shows.
struct Stored {
    RegValue value;
    std::uint32_t half;
};

Stored stored() {
    RegValue user = read(HKCU);
    if (!user.toText().empty()) return {std::move(user), HKCU};
    return {read(HKLM), HKLM};
}

enum class Match {
    No,
    Yes,
    Stale,  // yes, against a value kept in clear or a record weaker than one written now
    // Yes, but the value may hold another text than the one typed: it
    // matched only as the legacy code page folds the typed text (best fit,
    // or "?" for what it lacks), as a full-width look-alike folds to ASCII.
    Folded,
};

// Whether the bytes an earlier version hashed can be no other text than
// `typed`. They were the program's code page, which may have been the legacy
// one or UTF-8: they must read as `typed` in the legacy code page, and in
// UTF-8 as `typed` or not at all.
bool onlyReading(std::string_view bytes, const std::string& typed) {
    return platform::fromLegacy(bytes) == typed && (bytes == typed || !platform::isUtf8(bytes));
}

Match check(const RegValue& value, const std::string& typed) {
    const std::string text = value.toText();
    if (!value.isNumber() && isRecord(text)) {
        Record record;
        if (!parseRecord(text, record)) return Match::No;
        if (verify(record, typed)) {
            if (record.current()) return Match::Yes;
            return record.utf8 || onlyReading(typed, typed) ? Match::Stale : Match::Folded;
        }
        // An earlier version hashed what its 8-bit windows made of the typed
        // text, in the legacy code page; never a record written now.
        if (record.utf8) return Match::No;
        const WipedString legacy{platform::toLegacy(typed)};
        if (legacy.text == typed || !verify(record, legacy.text)) return Match::No;
        return onlyReading(legacy.text, typed) ? Match::Stale : Match::Folded;
    }
    // No password (""), or one an earlier version kept in clear: as text, or
    // as a number whose decimal form it was. The registry gives the text
    // back as the earlier version's legacy bytes meant it, so a text that
    // matches only through the legacy code page is another one, folded.
    if (typed == text) return text.empty() ? Match::Yes : Match::Stale;
    const WipedString legacy{platform::toLegacy(typed)};
    return legacy.text != typed && platform::fromLegacy(legacy.text) == text ? Match::Folded : Match::No;
}

}  // namespace

bool isEmpty() { return stored().value.toText().empty(); }

bool matches(const std::string& typed) { return check(stored().value, typed) != Match::No; }

bool logIn(const std::string& typed) {
    const Stored now = stored();
    const Match match = check(now.value, typed);
    // What matched is replaced by a record written now, in the same half.
    // Where that may not be written (a standard user and the machine's half)
    // the old value stays, and still opens; no hash is made in vain. A
    // folded match keeps the old value: a record of the typed text would
    // shut out the owner's own.
    std::string record;
    if (match == Match::Stale && ModRegedit::RegKeyWritable(now.half, kPath) && makeRecord(typed, record))
        write(now.half, record);
    return match != Match::No;
}

bool save(const std::string& password) {
    std::string record;
    if (!password.empty() && !makeRecord(password, record)) return false;
    const RegValue wanted(record);  // never numeric, so RegWriteValue cannot raise

    // The half is chosen before anything is written, and only it is written,
    // so that a refusal leaves the stored password, and the other half, as
    // they were. A refused write changes nothing: then the other half is
    // tried only where it alone makes the password the stored one.
    const bool userHolds = !read(HKCU).toText().empty();
    if (record.empty()) {
        // The empty password needs both halves empty: an empty per-user value
        // does not hide the machine one. The one change written to two
        // places, and only when both may be; the machine half first, so that
        // a failure between them leaves the per-user password in force.
        const bool machineHolds = !read(HKLM).toText().empty();
        if ((userHolds && !ModRegedit::RegKeyWritable(HKCU, kPath)) ||
            (machineHolds && !ModRegedit::RegKeyWritable(HKLM, kPath)))
            return false;
        if (machineHolds) write(HKLM, wanted);
        if (userHolds) write(HKCU, wanted);
        if (!userHolds && !machineHolds)
            ModRegedit::RegWriteValue(ModRegedit::HKCR, ".mp3", kValueName, wanted);
    } else if (userHolds) {
        // The per-user password is the one shown; a machine one would stay
        // hidden behind it.
        write(HKCU, wanted);
    } else {
        // Through the classes root, which Windows sends to the user's key
        // where that exists and else to the machine's (Wine always to the
        // machine's). Where that is refused (a standard user and the
        // machine's half), the per-user key, which the user may write.
        ModRegedit::RegWriteValue(ModRegedit::HKCR, ".mp3", kValueName, wanted);
        if (stored().value != wanted) write(HKCU, wanted);
    }
    return stored().value == wanted;
}

}  // namespace PasswordStore
