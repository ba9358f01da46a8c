#pragma once

#include "ui/Look.h"

// The warning under each of the three password windows' boxes.
inline ui::Design caseWarning(ui::TwipsRect rect) {
    return {.rect = rect,
            .caption = "WARNING! All passwords are case sensitive",
            .font = {.bold = true},
            .fore = ui::DarkRed,
            .align = ui::Align::Center};
}
