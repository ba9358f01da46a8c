// What app/ tells the layers below it at start-up, as the program, the tests
// and the benchmark all need it: the program's title and its main window.
#pragma once

#include "app/AppTitle.h"
#include "app/Form1.h"
#include "ui/Form.h"
#include "ui/Program.h"

inline void setUpProgram() {
    ui::setProgramTitle(AppTitle);
    ui::setMainWindow(ui::shared<Form1>());
}
