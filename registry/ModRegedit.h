// The program's only door to the registry: four routines over the registry
// API, in its wide form: key paths, names and text are UTF-8 here and UTF-16
// in the registry. Each opens the key it needs and closes it before returning;
// nothing is kept between calls. A registry failure never raises: it shows
// only as false, empty text, or nothing written. The one error that leaves
// the module is Overflow, from RegWriteValue.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

namespace ModRegedit {

// Predefined root keys, as the platform numbers them.
constexpr std::uint32_t HKCR = 0x80000000u;  // HKEY_CLASSES_ROOT
constexpr std::uint32_t HKCU = 0x80000001u;  // HKEY_CURRENT_USER
constexpr std::uint32_t HKLM = 0x80000002u;  // HKEY_LOCAL_MACHINE

// A value as the registry holds it for us: text (REG_SZ) or a signed 32-bit
// number (REG_DWORD). Default-constructed it is empty text, which is also how
// a missing or unreadable value reads.
class RegValue {
public:
    RegValue() = default;
    RegValue(std::string text) : v_(std::move(text)) {}
    RegValue(const char* text) : v_(std::string(text)) {}
    RegValue(std::int32_t number) : v_(number) {}

    bool isNumber() const { return std::holds_alternative<std::int32_t>(v_); }
    std::int32_t number() const { return isNumber() ? std::get<std::int32_t>(v_) : 0; }
    // The text itself, or a number in signed decimal without leading zeros.
    std::string toText() const;

    bool operator==(const RegValue&) const = default;

private:
    std::variant<std::string, std::int32_t> v_;
};

// Raised by RegWriteValue for a numeric value outside the signed 32-bit range.
// By then the key has been created or opened (and released again), but no
// value has been written.
class Overflow : public std::overflow_error {
public:
    Overflow() : std::overflow_error("numeric registry value out of 32-bit range") {}
};

// True when the key can be opened. Creates nothing.
bool RegKeyExists(std::uint32_t root, const std::string& path);

// True when the key exists and this user may set its values. Creates nothing.
bool RegKeyWritable(std::uint32_t root, const std::string& path);

// The text or number stored under `name`; empty text when the key or value is
// missing, unreadable, or of a type other than REG_SZ or REG_DWORD (or a
// REG_DWORD of other than 4 bytes). Text ends before its first NUL. Creates
// nothing.
RegValue RegReadValue(std::uint32_t root, const std::string& path, const std::string& name);

// Writes `value`, creating the key and any missing key above it. A number, or
// text that reads completely as one (surrounding spaces, sign, digits with an
// optional '.', optional exponent), goes in as REG_DWORD, rounded half to
// even; anything else as REG_SZ with its leading and trailing spaces removed
// and a terminating NUL. Reports nothing; throws Overflow (see above).
void RegWriteValue(std::uint32_t root, const std::string& path, const std::string& name,
                   const RegValue& value);

// The two deletes below delete keys as themselves: a registry link (in the
// named place or anywhere below it) goes as a link, its target stays, and no
// key is reached through a link, so nothing outside the named subkey goes.

// Deletes the subkey `name` of `parent` with its values, in one platform call:
// a subkey that has subkeys of its own stays where the platform refuses that.
// True when it was deleted. A missing parent is not created.
bool RegDeleteSubkey(std::uint32_t root, const std::string& parent, const std::string& name);

// Deletes the subkey `name` of `parent` whole: its values, its subkeys and
// theirs. True when the subkey is gone afterwards, as any program would look
// it up (following links), which includes a subkey (or parent) that was never
// there; nothing is created. A key that is there but may not be opened is
// not gone (Windows refuses such an open, where Wine hands out a handle), nor
// is one reached through a link above it, which is not deleted.
bool RegDeleteSubkeyTree(std::uint32_t root, const std::string& parent, const std::string& name);

}  // namespace ModRegedit
