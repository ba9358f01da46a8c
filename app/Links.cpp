#include "app/Links.h"

#include "app/AppTitle.h"
#include "ui/Host.h"

void followLink(ui::Form& window, const std::string& target, const std::string& address) {
    if (ui::host().openWithShell(target)) return;
    window.MsgBox(std::string(AppTitle) +
                      " could not open the address below: no program on this computer took it. Copy it into "
                      "a program that opens such addresses.\n\n" +
                      address,
                  "Error", ui::Icon::Exclamation);
}
