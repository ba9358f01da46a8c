// The main window: its entries, their looks, and what a click and closing do.
#include "app/Form1.h"

#include "hiding/FrmHidef.h"
#include "support/Sandbox.h"

namespace {

class Form1Test : public test::Sandbox {
protected:
    Form1& main = ui::shared<Form1>();
};

TEST_F(Form1Test, ShowsTheEntriesInOrderEachWithItsBullet) {
    main.Show();
    const ui::Label* entries[] = {&main.LblHidef, &main.LblUnhidef, &main.LblMRU,    &main.Lblchangepass,
                                  &main.Label4,   &main.LblURL,     &main.LblContact};
    const char* captions[] = {"Hide File or Folder",
                              "Unhide File or Folder",
                              "Delete MRU's",
                              "Change Login Password",
                              "About",
                              "Visit Hidewell Home Page",
                              "Contact Hidewell Author"};
    const ui::Shape* bullets[] = {&main.Shp1, &main.Shape1, &main.Shape2, &main.Shape4, &main.Shape5};
    int lastTop = -1;
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(entries[i]->text(), captions[i]);
        EXPECT_TRUE(entries[i]->design().handCursor) << captions[i];
        RECT r;
        GetWindowRect(entries[i]->hwnd(), &r);
        EXPECT_GT(r.top, lastTop) << captions[i] << " stands below the one before";
        lastTop = r.top;
        if (i < 5) {
            RECT b;
            GetWindowRect(bullets[i]->hwnd(), &b);
            EXPECT_LT(b.right, r.left) << "the bullet is left of " << captions[i];
            EXPECT_TRUE(b.top >= r.top && b.bottom <= r.bottom) << captions[i];
            EXPECT_EQ(bullets[i]->design().rect.width, 135);
            EXPECT_EQ(entries[i]->design().font, (ui::FontStyle{"Trebuchet MS", 9.75, true, false}));
            EXPECT_EQ(entries[i]->design().fore, ui::DarkGreen);
        } else {
            EXPECT_EQ(entries[i]->design().font, (ui::FontStyle{"MS Sans Serif", 8.25, false, true}));
            EXPECT_EQ(entries[i]->design().fore, ui::LinkBlue);
        }
    }
    EXPECT_EQ(main.Label1.text(), "Hidewell");
    EXPECT_EQ(main.Label1.design().font.points, 18);
}

TEST_F(Form1Test, AnEntryOpensItsWindowWhichHidesTheMainWindow) {
    main.Show();
    auto& hide = ui::shared<FrmHidef>();
    main.LblHidef.click();
    EXPECT_TRUE(hide.visible());
    EXPECT_FALSE(main.visible());
    hide.close();
    EXPECT_TRUE(main.visible());
}

TEST_F(Form1Test, ClosingItEndsTheProgramWithoutUnloadingTheOthers) {
    auto& hide = ui::shared<FrmHidef>();
    hide.Hide();  // loaded, hidden: its Form_Unload would show the main window
    main.Show();
    main.close();
    EXPECT_EQ(host.programEnds, 1);
    EXPECT_FALSE(hide.loaded());
    EXPECT_FALSE(main.loaded());
}

}  // namespace
