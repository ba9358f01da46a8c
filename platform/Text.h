// Conversions between the system's 8-bit code page, in which Hidewell keeps
// its text, and the platform's UTF-16. The code page may be UTF-8 (65001):
// Windows 10 and 11 can run with it as the ANSI code page.
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

}  // namespace platform
