// What the windows tell the user about the list file when it cannot be
// written: the cause, and what to do about it.
#pragma once

#include <string>
#include <string_view>

#include "hiding/ListFile.h"

namespace hiding {

// The cause of `problem` and its remedy, ending with `then`, what to do once
// it is mended ("try again"); empty for WriteProblem::None. Starts in lower
// case, to follow what the window says did not happen.
std::string whyListUnwritable(WriteProblem problem, std::string_view then);

}  // namespace hiding
