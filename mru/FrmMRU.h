// The MRU window: deletes, one program at a time, the registry key in which
// that program keeps its recently-used list.
#pragma once

#include "resource.h"
#include "ui/Controls.h"
#include "ui/Form.h"

class FrmMRU : public ui::Form {
public:
    FrmMRU();

    ui::Label LblHeading{this,
                         {.rect = {240, 120, 4200, 495},
                          .caption = "Delete MRU's ",
                          .font = {.points = 18},
                          .fore = ui::DarkRed,
                          .align = ui::Align::Center}};
    ui::Label LblMRUno{this, {.rect = {600, 780, 1935, 255}, .caption = "Number of MRU items:"}};
    ui::Label LblNoMRU{this, {.rect = {2580, 780, 615, 255}, .caption = "", .font = {.bold = true}}};
    ui::Frame FrameCmbBox{
        this, {.rect = {480, 1140, 3720, 795}, .caption = "Most Recently Used Items", .accessKey = 'M'}};
    ui::ComboBox CmbMRU{this, {.rect = {240, 330, 3240, 315}, .container = &FrameCmbBox, .sorted = true}};
    ui::Button CmdDelMRU{this,
                         {.rect = {1200, 2160, 2280, 375},
                          .caption = "Delete MRU item",
                          .accessKey = 'D',
                          .picture = IDI_DELETE}};

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void CmdDelMRU_Click();
};
