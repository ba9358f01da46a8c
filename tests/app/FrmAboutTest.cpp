// The About window's lifecycle and the texts the links hand to the shell.
#include "app/FrmAbout.h"

#include "app/Form1.h"
#include "hiding/FrmHidef.h"
#include "support/Sandbox.h"

namespace {

class FrmAboutTest : public test::Sandbox {
protected:
    Form1& main = ui::shared<Form1>();
    FrmAbout& about = ui::shared<FrmAbout>();
};

TEST_F(FrmAboutTest, TheMainWindowLinkSwapsTheWindowsButKeepsAboutLoaded) {
    main.Show();
    main.Label4.click();
    EXPECT_TRUE(about.visible());
    EXPECT_FALSE(main.visible());

    about.LblMainWindow.click();
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(about.visible());
    EXPECT_TRUE(about.loaded());

    main.Label4.click();
    EXPECT_TRUE(about.visible());
    EXPECT_TRUE(main.visible()) << "no second Form_Load, so the main window stays";

    // A function window opened now leaves the About window where it is; the
    // link then brings that window forward, never the main window beside it.
    auto& hide = ui::shared<FrmHidef>();
    main.LblHidef.click();
    EXPECT_TRUE(hide.visible() && about.visible());
    EXPECT_FALSE(main.visible());
    about.LblMainWindow.click();
    EXPECT_FALSE(main.visible()) << "so no unhide window can open beside the hide window";
    EXPECT_FALSE(about.visible());
    // The active window of this thread: a test's desktop has no foreground
    // window on Windows, which also keeps a program from taking it.
    EXPECT_EQ(GetActiveWindow(), hide.hwnd());
    hide.close();
    EXPECT_TRUE(main.visible());

    main.Label4.click();
    about.close();
    EXPECT_FALSE(about.loaded());
    EXPECT_TRUE(main.visible()) << "closing shows the main window, visible already or not";
}

TEST_F(FrmAboutTest, LinksHandTheirTooltipToTheShellOrSayWhyNot) {
    main.Show();
    main.LblURL.click();
    main.LblContact.click();
    main.Label4.click();
    about.LblURL.click();
    EXPECT_EQ(host.shellTargets, (std::vector<std::string>{
                                     "https://www.tarnwick.com/hidewell/",
                                     "mailto:hidewell@tarnwick.com?Subject=Hidewell",
                                     "https://www.tarnwick.com/software/",
                                 }));
    EXPECT_EQ(main.LblContact.toolTipText(), "hidewell@tarnwick.com");
    EXPECT_TRUE(host.boxes.empty());

    // With no program to take it, the window of the link says so and gives the address.
    host.shellOpens = false;
    about.LblURL.click();
    about.LblMainWindow.click();
    main.LblContact.click();
    const auto cannotOpen = [](const std::string& address) {
        return test::Box{
            "Hidewell could not open the address below: no program on this computer took it. Copy it into a "
            "program that opens such addresses.\n\n" +
                address,
            "Error", ui::Icon::Exclamation};
    };
    EXPECT_EQ(host.boxes, (std::vector{cannotOpen("https://www.tarnwick.com/software/"),
                                       cannotOpen("hidewell@tarnwick.com")}));
    EXPECT_EQ(host.boxOwners, (std::vector{about.hwnd(), main.hwnd()}));
}

TEST_F(FrmAboutTest, ShowsNameVersionAndMaker) {
    about.Show();
    EXPECT_EQ(about.LblAbout.text(), "About Hidewell");
    EXPECT_EQ(about.Lblversion.text(), "v" HIDEWELL_VERSION);
    EXPECT_EQ(about.LblAuthor.text(), "Hidewell is a product by Tarnwick");
    EXPECT_EQ(about.LblURL.text(), "Visit Software Home Page");
    // "main window" continues the sentence of LblInfo: after its last line,
    // or at the start of the next one when the line is full.
    RECT info, link, client;
    GetWindowRect(about.LblInfo.hwnd(), &info);
    GetWindowRect(about.LblMainWindow.hwnd(), &link);
    EXPECT_GT(link.top, info.top);
    EXPECT_GE(link.left, info.left);
    EXPECT_LE(link.right, info.right) << "not beyond the text's own width";
    GetClientRect(about.hwnd(), &client);
    MapWindowPoints(about.hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_LE(link.bottom, client.bottom);
}

}  // namespace
