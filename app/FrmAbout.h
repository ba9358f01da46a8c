// The About window: the product, its version and maker, a link to the
// maker's web page and one back to the main window.
#pragma once

#include "ui/Controls.h"
#include "ui/Form.h"
#include "version.h"

class FrmAbout : public ui::Form {
public:
    FrmAbout();

    ui::Picture Image1{this, {.rect = {240, 240, 720, 720}}};
    ui::Label LblAbout{this,
                       {.rect = {960, 360, 3135, 495},
                        .caption = "About Hidewell",
                        .font = {.points = 18},
                        .fore = ui::DarkRed,
                        .align = ui::Align::Center}};
    ui::Label Lblversion{
        this, {.rect = {3660, 1020, 495, 255}, .caption = "v" HIDEWELL_VERSION, .font = {.bold = true}}};
    ui::Picture Image2{this, {.rect = {4095, 240, 720, 720}}};
    ui::Label LblAuthor{this,
                        {.rect = {240, 1440, 4575, 255},
                         .caption = "Hidewell is a product by Tarnwick",
                         .align = ui::Align::Center}};
    ui::Label LblURL{this,
                     {.rect = {240, 1800, 4575, 255},
                      .caption = "Visit Software Home Page",
                      .font = {.underline = true},
                      .fore = ui::LinkBlue,
                      .align = ui::Align::Center,
                      .handCursor = true,
                      .accessKey = 'V',
                      .toolTip = "https://www.tarnwick.com/software/"}};
    ui::Label LblInfo{this,
                      {.rect = {480, 2520, 4095, 495},
                       .caption = "For more information about hidewell and to contact the author use the "
                                  "links provided in the"}};
    ui::Label LblMainWindow{this,
                            {.rect = {0, 0, 975, 255},
                             .caption = "main window",
                             .font = {.underline = true},
                             .fore = ui::LinkBlue,
                             .handCursor = true,
                             .accessKey = 'm',
                             .follows = &LblInfo}};
    ui::Label LblRights{this,
                        {.rect = {240, 3960, 4575, 255},
                         .caption = "Copyright (C) 2026 Tarnwick. MIT License.",
                         .font = {.bold = true},
                         .align = ui::Align::Center}};

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void LblMainWindow_Click();
    void LblURL_Click();
};
