#include "ui/Look.h"

namespace ui {
namespace {

bool systemHighContrast() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace

bool (*highContrastSetting)() = systemHighContrast;

bool highContrast() { return highContrastSetting(); }

}  // namespace ui
