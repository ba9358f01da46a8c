// The login password: what the three password windows read and write.
//
// Kept in the REG_SZ value "openID" of the key .mp3 of HKEY_CLASSES_ROOT.
// That root is a view: on Windows it merges the machine's classes
// (HKEY_LOCAL_MACHINE\Software\Classes) with the user's
// (HKEY_CURRENT_USER\Software\Classes), shows the user's value where there
// is one and sends writes to the user's key where it exists; a standard user
// may not write the machine's. Wine shows the machine's classes only. So the
// two halves are read each by its own path, the same on both: the per-user
// value is the password when it is not empty, else the machine value. An
// empty per-user value neither hides a machine password nor lets an empty
// one in.
//
// A saved password is never stored as itself but as one text record,
//     pbkdf2-sha256-utf8$<iterations>$<salt, hex>$<hash, hex>
// (PBKDF2-HMAC-SHA256 of the password's UTF-8 bytes, with a random 16-byte
// salt and a 32-byte hash). The empty string means "no password chosen yet".
// Values left by earlier versions still open: the password as REG_SZ text or
// as a REG_DWORD number, and records "pbkdf2-sha256$..." of the bytes of the
// program's code page. For those alone a password that fails is checked once
// more in the form the legacy code page made of it; a login that opens with
// one of them, or with a record weaker than one written now, replaces it,
// but only when the typed text is the one the value holds, not one that the
// code page folds to it (a full-width look-alike to ASCII, a letter it lacks
// to "?"): that login opens and the value stays.
//
// None of these report registry failures other than through their results,
// and none raise.
#pragma once

#include <string>

namespace PasswordStore {

// OWASP Password Storage Cheat Sheet (2023) for PBKDF2-HMAC-SHA256.
constexpr unsigned long kIterations = 600000;

// True when no password has been chosen: the stored value reads as empty
// (missing, empty, unreadable or of another type) in both halves.
bool isEmpty();

// True when `typed` is the stored password, byte for byte: no trimming, no
// case folding. A record is checked by deriving the hash again with the
// record's own salt and iteration count, compared in constant time; a
// malformed record matches nothing. An old plain value matches its exact
// text, a number its signed decimal form. Nothing stored matches "".
bool matches(const std::string& typed);

// matches(), for the login: a value that opens with `typed` itself and is
// kept in clear, or in a record weaker than one written now, is replaced by a
// fresh record of `typed` in the half that held it. Where that write is
// refused, or `typed` opened only as the legacy code page folds it, the old
// value stays and still opens; nothing is said.
bool logIn(const std::string& typed);

// Stores `password` exactly as typed, any length or characters; an empty one
// as the empty string. It is written to one half, chosen first: the per-user
// one where that holds a password (it hides the machine's), else through
// HKEY_CLASSES_ROOT\.mp3, and to the per-user half when that write is
// refused; checked by reading back. The empty password needs both halves
// empty, and is written only where both may be. Returns false when the
// password could not be made the stored one; the stored password is then as
// it was, and so is the other half (but for a write refused between the two
// an empty password needs).
bool save(const std::string& password);

// What the password windows tell the user of a new password that holds half
// a surrogate pair (pasted; no keyboard types one), which no UTF-8 text can
// hold: kept with a stand-in, another text would open it.
inline constexpr char kBrokenCharacter[] =
    "The new password has a broken character in it (half of a pair that makes one character), so it "
    "cannot be kept. Please type the new password again.";

// What the change-password window tells the user when save() returned false.
inline constexpr char kNotSaved[] =
    "The password could not be stored in the registry, so it was not changed. Please try again; if this "
    "keeps happening, Hidewell may not write to the registry of this computer.";
// And the first-password window: there was no password to change.
inline constexpr char kFirstNotSaved[] =
    "The password could not be stored in the registry, so no password was chosen. Please try again; if this "
    "keeps happening, Hidewell may not write to the registry of this computer.";

}  // namespace PasswordStore
