// The links menu and the banner's link on the simulated platform: the menu's
// entries and icons, and the exact address and show command that each choice
// hands to the shell.

#include <gtest/gtest.h>

#include "base/Exception.h"
#include "tests/support/KelpoHarness.h"
#include "ui/WebLinks.h"

namespace kelpo {
namespace {

const std::string Redirect = "https://go.orvanex.example/navigate.php?p_id=11&opt=";

class WebLinksTest : public ::testing::Test {
 protected:
  void SetUp() override { k.Start(); }

  // Opens the links menu with the help button and lets the script choose.
  void ChooseFromHelpMenu(SimMenuChoice choice) {
    k.sim.menus.ExpectChoice(std::move(choice));
    TImage& help = *k.form->Image6;
    k.sim.windowing.Click(k.form->Panel2->Handle(), Point{help.Left() + 5, help.Top() + 5});
  }
  // The addresses handed to the shell since the last call.
  std::vector<std::string> Opened() {
    std::vector<std::string> files;
    for (const ShellCall& call : k.sim.shell.Calls()) files.push_back(call.File);
    k.sim.shell.Clear();
    return files;
  }
  TComponent& Component(const std::string& name) const {
    TComponent* found = k.form->FindComponent(name);
    if (!found) throw Exception("No component " + name);
    return *found;
  }

  KelpoHarness k;
};

TEST_F(WebLinksTest, TheMenuHoldsItsEntriesInOrderWithTheirIcons) {
  ChooseFromHelpMenu(SimMenuChoice::Cancel());
  ASSERT_EQ(k.sim.menus.Shown().size(), 1u);
  const SimMenuCall& menu = k.sim.menus.Shown()[0];
  EXPECT_EQ(menu.CaptionLine(),
            "&Kelpo Home Page|Kelpo Online &Help|-|Other &Orvanex Products|&Development Services|Ad&vertise with "
            "Us|-|&About Kelpo");
  struct Entry {
    const char* Name;
    int Tag;
    int Icon;
  };
  const Entry entries[] = {
      {"KelpoHomePage1", 1, 2},        {"KelpoOnlineHelp1", 5, 1}, {"N2", 0, -1}, {"OtherOrvanexProducts1", 2, 6},
      {"DevelopmentServices1", 3, -1}, {"Advertisewithus1", 4, 7}, {"N4", 0, -1}, {"objectAboutDlgTMenuItem1", 0, 9}};
  ASSERT_EQ(menu.Items.size(), std::size(entries));
  for (std::size_t i = 0; i < std::size(entries); ++i) {
    const auto& item = static_cast<TMenuItem&>(Component(entries[i].Name));
    SCOPED_TRACE(entries[i].Name);
    EXPECT_EQ(item.Tag, entries[i].Tag);
    EXPECT_EQ(item.ImageIndex, entries[i].Icon);
    EXPECT_EQ(menu.Items[i].Entry.Icon, entries[i].Icon >= 0);
    if (entries[i].Icon >= 0) {
      ASSERT_NE(menu.Items[i].Picture, nullptr);
      EXPECT_EQ(menu.Items[i].Measured, (Size{16, 16}));
    }
  }
  const std::vector<SimMenuItem>& services = menu.Items[4].Items;
  ASSERT_EQ(services.size(), 4u);
  EXPECT_TRUE(services[1].Entry.Separator);
  for (int i : {0, 2, 3}) EXPECT_FALSE(services[i].Entry.Caption.empty());
  EXPECT_EQ(Component("DevService1").Tag, 1);
  EXPECT_EQ(Component("DevService2").Tag, 2);
  EXPECT_EQ(Component("DevService3").Tag, 3);

  // Eleven masked 16 x 16 icons, each with pixels that show and pixels that do not.
  const TImageList& icons = *k.form->ImageList1;
  EXPECT_EQ(k.form->PopupMenu1->Images(), &icons);
  ASSERT_EQ(icons.Count(), 11);
  EXPECT_TRUE(icons.Masked);
  EXPECT_EQ(icons.Width(), 16);
  EXPECT_EQ(icons.Height(), 16);
  for (int i = 0; i < icons.Count(); ++i) {
    const TMaskedImage icon = icons.GetImage(i);
    const std::vector<std::uint32_t>& mask = icon.Mask.Pixels();
    const auto shown = std::count(mask.begin(), mask.end(), 0u);
    EXPECT_GT(shown, 40) << "icon " << i;
    EXPECT_LT(shown, 256) << "icon " << i;
  }
}

TEST_F(WebLinksTest, EachChoiceOpensItsRedirectAddressOwnedByTheWindowAndShown) {
  struct Case {
    std::vector<std::string> Path;
    std::string Code;
  };
  const Case cases[] = {{{"&Kelpo Home Page"}, "1"},
                        {{"Kelpo Online &Help"}, "5"},
                        {{"Other &Orvanex Products"}, "2"},
                        {{"Ad&vertise with Us"}, "4"},
                        {{"&Development Services", "&Custom Software Development"}, "3_1"},
                        {{"&Development Services", "&Windows Desktop Tools"}, "3_2"},
                        {{"&Development Services", "W&eb Applications"}, "3_3"}};
  for (const Case& c : cases) {
    ChooseFromHelpMenu(SimMenuChoice::ByCaption(c.Path));
    ASSERT_EQ(k.sim.shell.Calls().size(), 1u) << c.Code;
    EXPECT_EQ(k.sim.shell.Calls()[0], (ShellCall{k.form->Handle(), "open", Redirect + c.Code, ShowCommand::Show}));
    k.sim.shell.Clear();
  }
  // The submenu's parent, the separators and the about entry open no address.
  for (const std::vector<std::string>& path : std::vector<std::vector<std::string>>{
           {"&Development Services"}, {"-"}, {"&Development Services", "-"}, {"&About Kelpo"}}) {
    ChooseFromHelpMenu(SimMenuChoice::ByCaption(path));
    EXPECT_TRUE(Opened().empty()) << path.back();
  }
  // The banner opens the general page, as the tray menu's header does.
  TControl& banner = static_cast<TControl&>(Component("GIFImage1"));
  k.sim.windowing.Click(k.form->Panel2->Handle(), Point{banner.Left() + 100, banner.Top() + 20});
  ASSERT_EQ(k.sim.shell.Calls().size(), 1u);
  EXPECT_EQ(k.sim.shell.Calls()[0], (ShellCall{k.form->Handle(), "open", Redirect + "0", ShowCommand::Show}));
  EXPECT_EQ(LinkAddress("0"), Redirect + "0");
  for (const MessageBoxCall& box : k.sim.dialogs.Shown()) ADD_FAILURE() << box.Text;
}

TEST_F(WebLinksTest, TheOptionCodeFollowsTheEntrysTagOnly) {
  Component("Advertisewithus1").Tag = 42;
  Component("DevService2").Tag = -7;
  Component("KelpoHomePage1").Tag = 0;
  Component("DevelopmentServices1").Tag = 9;  // the submenu's prefix stays "3_"
  ChooseFromHelpMenu(SimMenuChoice::ByCaption({"Ad&vertise with Us"}));
  ChooseFromHelpMenu(SimMenuChoice::ByCaption({"&Development Services", "&Windows Desktop Tools"}));
  ChooseFromHelpMenu(SimMenuChoice::ByCaption({"&Kelpo Home Page"}));
  ChooseFromHelpMenu(SimMenuChoice::ByCaption({"&Development Services", "&Custom Software Development"}));
  EXPECT_EQ(Opened(), (std::vector<std::string>{Redirect + "42", Redirect + "3_-7", Redirect + "0", Redirect + "3_1"}));
}

TEST_F(WebLinksTest, ASenderThatIsNoMenuItemIsAnInvalidTypecastAndOpensNothing) {
  for (TComponent* sender : {static_cast<TComponent*>(k.form->Image6), static_cast<TComponent*>(nullptr)}) {
    try {
      k.form->KelpoHomePage1Click(sender);
      ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), "Invalid class typecast");
    }
    EXPECT_THROW(k.form->DevService1Click(sender), Exception);
  }
  EXPECT_TRUE(Opened().empty());

  // A shell that opens nothing is not reported.
  k.sim.shell.Accepts = false;
  ChooseFromHelpMenu(SimMenuChoice::ByCaption({"Kelpo Online &Help"}));
  EXPECT_EQ(Opened(), (std::vector<std::string>{Redirect + "5"}));
  for (const MessageBoxCall& box : k.sim.dialogs.Shown()) ADD_FAILURE() << box.Text;
}

}  // namespace
}  // namespace kelpo
