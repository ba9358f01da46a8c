// The links of the main window and the About window.
#pragma once

#include <string>

#include "ui/Form.h"

// Hands a link's target to the shell: a web address, or a mail to `address`.
// When no program on the computer takes it, a box of the window whose link
// it was says so and gives the address, to be copied into a program.
void followLink(ui::Form& window, const std::string& target, const std::string& address);
