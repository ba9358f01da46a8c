#include "app/Links.h"

#include "app/AppTitle.h"
#include "ui/Host.h"

void followLink(ui::Form& window, const std::string& target, const std::string& address) {
    if (ui::host().openWithShell(target)) return;
    window.MsgBox(std::string(AppTitle) +
                      " could not open the address below, because no program on this computer opens such "
                      "links. Copy it into one that does.\n\n" +
                      address,
                  "Info", ui::Icon::Information);
}
