// Components, forms built from layouts, and the default error handler.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/Abort.h"
#include "framework/ComponentRegistry.h"
#include "framework/StdControls.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> probeLog;

// Records when it is told the layout is loaded and when it is freed. When it
// is loaded it also notes the Text of the component its Partner property names.
class TProbe : public TComponent {
 public:
  explicit TProbe(TComponent* owner) : TComponent(owner) {}
  ~TProbe() override { probeLog.push_back("free " + Name); }

  void LayoutLoaded() override { probeLog.push_back("loaded " + Name + (partner_ ? " sees " + partner_->text_ : "")); }
  static const PropertyTable& StaticProperties() {
    static const PropertyTable table(TComponent::StaticProperties(),
                                     {
                                         Property("Text", &TProbe::text_, std::string()),
                                         Property("Partner", &TProbe::partner_, nullptr),
                                     });
    return table;
  }
  const PropertyTable& Properties() const override { return StaticProperties(); }

 private:
  std::string text_;
  TProbe* partner_ = nullptr;
};

class FrameworkComponents : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ComponentRegistry::Instance().Register("TProbe", [](TComponent* owner) { return new TProbe(owner); });
  }
  void SetUp() override { probeLog.clear(); }
  FrameworkHarness h;
};

TEST_F(FrameworkComponents, OwnerFreesOwnedComponentsLastCreatedFirst) {
  auto root = std::make_unique<TComponent>(*h.app);
  for (const char* name : {"Probe1", "Probe2", "Probe3", "Probe4"}) (new TProbe(root.get()))->Name = name;
  ASSERT_EQ(root->Components().size(), 4u);

  // A component freed on its own leaves its owner's list, so it is not freed twice.
  delete root->FindComponent("Probe2");
  EXPECT_EQ(root->Components().size(), 3u);
  EXPECT_EQ(root->FindComponent("Probe2"), nullptr);

  root.reset();
  EXPECT_THAT(probeLog, ElementsAre("free Probe2", "free Probe4", "free Probe3", "free Probe1"));
}

TEST_F(FrameworkComponents, LayoutLoadedReachesEveryComponentBeforeOnCreate) {
  TTestForm& form = h.NewForm();
  form.AddHandler("FormCreate", [](TComponent*) { probeLog.push_back("create"); });
  form.AddHandler("FormDestroy", [](TComponent*) { probeLog.push_back("destroy"); });
  form.Load(
      "object Form1: TForm1  OnCreate = FormCreate  OnDestroy = FormDestroy\n"
      "  object Probe1: TProbe  Partner = Probe3  end\n"
      "  object Panel1: TPanel\n"
      "    object Probe2: TProbe  end\n"
      "  end\n"
      "  object Probe3: TProbe  Text = 'read'  end\n"
      "end\n");

  // Probe1 is told after the whole layout was read: its later partner has its text.
  EXPECT_THAT(probeLog, ElementsAre("loaded Probe1 sees read", "loaded Probe2", "loaded Probe3", "create"));
  EXPECT_EQ(form.Name, "Form1");
  EXPECT_EQ(h.app->MainForm(), &form);

  probeLog.clear();
  h.form.reset();
  EXPECT_THAT(probeLog, ElementsAre("destroy", "free Probe3", "free Probe2", "free Probe1"));
}

TEST_F(FrameworkComponents, ErrorInOnCreateIsShownAndTheFormStillAppears) {
  TTestForm& form = h.NewForm();
  form.AddHandler("FormCreate", [](TComponent*) { throw Exception("Settings are damaged"); });
  form.Load("object Form1: TForm1\n  ClientWidth = 120\n  ClientHeight = 80\n  OnCreate = FormCreate\nend");

  ASSERT_EQ(h.sim.dialogs.Shown().size(), 1u);
  const MessageBoxCall& box = h.sim.dialogs.Shown()[0];
  EXPECT_EQ(box.Text, "Settings are damaged");
  EXPECT_EQ(box.Caption, "Kelpo");
  EXPECT_EQ(box.Style, mbOk | mbIconError);
  ASSERT_TRUE(form.HandleAllocated());
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(h.sim.windowing.IsWindowVisible(form.Handle()));
  EXPECT_EQ(h.sim.windowing.Foreground(), form.Handle());
  EXPECT_EQ(h.sim.windowing.GetBounds(form.Handle()), (Rect{0, 0, 120, 80}));
}

TEST(FrameworkErrors, DefaultHandlerShowsTheExactTextUnderTheTitle) {
  FrameworkHarness h;
  h.app->Guard([] { throw Exception("Cannot open file C:\\Kelpo\\\\images\\help.bmp"); });
  h.app->SetTitle("Kelpo 2");
  h.app->Guard([] { throw std::runtime_error("Access denied."); });

  ASSERT_EQ(h.sim.dialogs.Shown().size(), 2u);
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Text, "Cannot open file C:\\Kelpo\\\\images\\help.bmp");
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Caption, "Kelpo");
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Style, mbOk | mbIconError);
  EXPECT_EQ(h.sim.dialogs.Shown()[1].Text, "Access denied.");
  EXPECT_EQ(h.sim.dialogs.Shown()[1].Caption, "Kelpo 2");
  EXPECT_EQ(h.sim.dialogs.Shown()[1].Style, mbOk | mbIconError);
}

TEST(FrameworkErrors, DefaultHandlerIgnoresTheSilentCancellation) {
  FrameworkHarness h;
  h.app->Guard([] { throw EAbort(); });
  h.app->ShowException(EAbort());
  EXPECT_TRUE(h.sim.dialogs.Shown().empty());
  h.app->Guard([] { throw Exception("Access denied."); });
  ASSERT_EQ(h.sim.dialogs.Shown().size(), 1u);
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Text, "Access denied.");
}

}  // namespace
}  // namespace kelpo
