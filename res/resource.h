// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_HIDEWELL 1
#define IDC_POINTING_HAND 101
