// Hidewell keeps its text in UTF-8; Windows takes and gives UTF-16. Every
// conversion between the two is made here, at the edge, and a conversion that
// cannot be exact says so. The system's legacy code page matters only where
// bytes of an earlier version are read: a list line that is not UTF-8, and a
// password saved from the bytes an 8-bit window made of it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// UTF-8 to UTF-16. False, `out` empty, for bytes that are not UTF-8.
bool toWide(std::string_view utf8, std::wstring& out);
// UTF-16 to UTF-8. False, `out` empty, for half a surrogate pair, which UTF-8
// cannot hold (a name may have one; no keyboard types one).
bool toUtf8(std::wstring_view wide, std::string& out);
// The same for text that is only shown (captions, messages, labels): what
// does not convert comes out as U+FFFD.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// True when the bytes are valid UTF-8 (plain ASCII is).
bool isUtf8(std::string_view bytes);
// The system's legacy code page: the default ANSI code page of the system
// locale, whatever the program's own.
unsigned legacyCodePage();
// Bytes written in the legacy code page, as UTF-8.
std::string fromLegacy(std::string_view bytes);
// The bytes an earlier version made of a text through its 8-bit windows: the
// text in the legacy code page, with what that lacks replaced as those
// windows replaced it (best fit, else "?").
std::string toLegacy(std::string_view utf8);

}  // namespace platform
