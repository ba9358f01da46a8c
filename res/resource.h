// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_HIDEWELL 1
#define IDC_POINTING_HAND 101

// The pictures of the buttons (res/pictures).
#define IDI_HIDE_FOLDER 201
#define IDI_HIDE_FILE 202
#define IDI_UNHIDE 203
#define IDI_IMPORT 204
#define IDI_EXPORT 205
#define IDI_DELETE 206
#define IDI_OK 207
#define IDI_KEY 208
