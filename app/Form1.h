// The main window: a column of entries, one per function window, and the
// web and mail links. Closing it ends the program.
#pragma once

#include "ui/Controls.h"
#include "ui/Form.h"

class Form1 : public ui::Form {
public:
    Form1();

private:
    static constexpr ui::FontStyle kEntryFont{.face = "Trebuchet MS", .points = 9.75, .bold = true};
    static constexpr ui::FontStyle kLinkFont{.underline = true};
    static constexpr ui::TwipsRect entry(int row) { return {720, 1080 + 600 * row, 3015, 315}; }
    static constexpr ui::TwipsRect bullet(int row) { return {480, 1140 + 600 * row, 135, 135}; }

public:
    ui::Label Label1{this,
                     {.rect = {0, 240, 3975, 495},
                      .caption = "Hidewell",
                      .font = {.points = 18},
                      .fore = ui::DarkRed,
                      .align = ui::Align::Center}};
    ui::Shape Shp1{this, {.rect = bullet(0), .fore = ui::DarkGreen, .back = ui::DarkGreen}};
    ui::Label LblHidef{this,
                       {.rect = entry(0),
                        .caption = "Hide File or Folder",
                        .font = kEntryFont,
                        .fore = ui::DarkGreen,
                        .handCursor = true,
                        .accessKey = 'H'}};
    ui::Shape Shape1{this, {.rect = bullet(1), .fore = ui::DarkGreen, .back = ui::DarkGreen}};
    ui::Label LblUnhidef{this,
                         {.rect = entry(1),
                          .caption = "Unhide File or Folder",
                          .font = kEntryFont,
                          .fore = ui::DarkGreen,
                          .handCursor = true,
                          .accessKey = 'U'}};
    ui::Shape Shape2{this, {.rect = bullet(2), .fore = ui::DarkGreen, .back = ui::DarkGreen}};
    ui::Label LblMRU{this,
                     {.rect = entry(2),
                      .caption = "Delete MRU's",
                      .font = kEntryFont,
                      .fore = ui::DarkGreen,
                      .handCursor = true,
                      .accessKey = 'D'}};
    ui::Shape Shape4{this, {.rect = bullet(3), .fore = ui::DarkGreen, .back = ui::DarkGreen}};
    ui::Label Lblchangepass{this,
                            {.rect = entry(3),
                             .caption = "Change Login Password",
                             .font = kEntryFont,
                             .fore = ui::DarkGreen,
                             .handCursor = true,
                             .accessKey = 'P'}};
    ui::Shape Shape5{this, {.rect = bullet(4), .fore = ui::DarkGreen, .back = ui::DarkGreen}};
    ui::Label Label4{this,
                     {.rect = entry(4),
                      .caption = "About",
                      .font = kEntryFont,
                      .fore = ui::DarkGreen,
                      .handCursor = true,
                      .accessKey = 'A'}};
    ui::Label LblURL{this,
                     {.rect = {720, 4200, 3015, 255},
                      .caption = "Visit Hidewell Home Page",
                      .font = kLinkFont,
                      .fore = ui::LinkBlue,
                      .handCursor = true,
                      .accessKey = 'V',
                      .toolTip = "https://www.tarnwick.com/hidewell/"}};
    ui::Label LblContact{this,
                         {.rect = {720, 4560, 3015, 255},
                          .caption = "Contact Hidewell Author",
                          .font = kLinkFont,
                          .fore = ui::LinkBlue,
                          .handCursor = true,
                          .accessKey = 'C',
                          .toolTip = "hidewell@tarnwick.com"}};

protected:
    void Form_Unload() override;

private:
    void LblHidef_Click();
    void LblUnhidef_Click();
    void LblMRU_Click();
    void Lblchangepass_Click();
    void Label4_Click();
    void LblURL_Click();
    void LblContact_Click();
};
