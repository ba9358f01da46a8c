// Conversions between the program's 8-bit code page, in which Hidewell keeps
// its text, and the platform's UTF-16. The program asks Windows for UTF-8
// (65001) as its code page; Windows 10 from version 1903 and Windows 11 grant
// it, earlier ones keep the system's legacy code page (1252 on a Western
// Windows), in which earlier versions of Hidewell also wrote their lists and
// passwords.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Converts to the code page. False when some character has no exact
// counterpart there or the conversion failed: `out` then holds a lossy
// substitute, fit to be shown but not to name a file or check a password.
bool toAnsi(std::wstring_view wide, std::string& out);
// Converts from the code page. False when the bytes are not valid text in it
// (a broken multi-byte sequence): `out` then holds a lossy substitute.
bool fromAnsi(std::string_view ansi, std::wstring& out);
// The same for text that is only shown (captions, file filters): the lossy
// substitute where it is not valid.
std::wstring fromAnsi(std::string_view ansi);

// True when the program's code page is UTF-8.
bool codePageIsUtf8();
// The system's legacy code page, whatever the program's is: the default
// ANSI code page of the system locale.
unsigned legacyCodePage();
// True when the bytes are valid UTF-8 (plain ASCII is).
bool isUtf8(std::string_view bytes);
// Text written in the legacy code page, in the program's. Where the program's
// code page is the legacy one, or the text is valid UTF-8 already, the text
// itself.
std::string fromLegacy(std::string_view bytes);
// The bytes an earlier version made of a text it was given: the text in the
// legacy code page, with what that lacks replaced as the 8-bit windows
// replaced it. Where the program's code page is the legacy one, the text
// itself.
std::string toLegacy(std::string_view text);

}  // namespace platform
