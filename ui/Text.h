// Conversions between the system's 8-bit code page, in which Hidewell keeps
// its text, and the platform's UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace ui {

// Converts to the system code page. Returns false when some character has no
// exact counterpart there (the result then holds a lossy substitute).
bool toAnsi(std::wstring_view wide, std::string& out);
std::wstring fromAnsi(std::string_view ansi);

}  // namespace ui
