// The program as a whole: start-up, the message loop, the end; and the seams
// that app/ fills at start-up, as it fills the Host, through which the
// windows below it reach the main window and the program's title without
// naming app/.
#pragma once

#include <string>
#include <string_view>

namespace ui {

class Form;

// Sets up common controls and the window class; once, before any window.
void initialize();
// Unloads every loaded window at once; no Form_Unload runs.
void unloadAll();
// Ends the program at once: every window goes, no other Form_Unload runs.
void endProgram();
// Shows the start-up window and runs the message loop. When no window of the
// program could be shown, says so in a box and returns 1.
int runProgram(Form& startup);
// The message loop of the program; returns when the program ends.
int runMessageLoop();
// Handles every message already queued, as the loop would (tests).
void pumpMessages();

// The main window, which the function windows hide and show.
void setMainWindow(Form& main);
Form& mainWindow();
bool hasMainWindow();
bool isMainWindow(const Form& form);
// The program's title, which a message box without a title of its own carries.
void setProgramTitle(std::string_view title);
const std::string& programTitle();

}  // namespace ui
