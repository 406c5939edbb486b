// Binding a layout to its form: events of any shape wired to the form's
// handler table, references between components, the form's component fields,
// and the layout errors, each naming its line.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/ComponentRegistry.h"
#include "framework/StdControls.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;

// Event shapes the framework has never heard of, declared here alone.
struct TShiftState {
  bool Shift = false;
  bool Ctrl = false;
};
using TTrayMouseEvent =
    std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int screenX, int screenY)>;
using TQueryEvent = std::function<void(TComponent* sender, bool& allow)>;
using TPickEvent = std::function<void(TComponent* sender, int index)>;
using TMeasureItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, int& width, int& height)>;
using TDrawItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, const Rect& rect, bool selected)>;

enum class TGadgetMood { gmCalm, gmBusy };

}  // namespace

template <>
struct EnumIdentifiers<TGadgetMood> {
  static constexpr EnumName<TGadgetMood> Names[] = {{"gmCalm", TGadgetMood::gmCalm}, {"gmBusy", TGadgetMood::gmBusy}};
};

namespace {

class TGadget : public TComponent {
 public:
  explicit TGadget(TComponent* owner) : TComponent(owner) {}

  TTrayMouseEvent OnTrayMouse;
  TQueryEvent OnQuery;
  TPickEvent OnPick;
  TMeasureItemEvent OnMeasureItem;
  TDrawItemEvent OnDrawItem;
  TGadget* Partner = nullptr;  // another gadget of the layout
  TGadgetMood Mood = TGadgetMood::gmCalm;

  static const PropertyTable& StaticProperties() {
    static const PropertyTable table(TComponent::StaticProperties(),
                                     {
                                         Property("OnTrayMouse", &TGadget::OnTrayMouse),
                                         Property("OnQuery", &TGadget::OnQuery),
                                         Property("OnPick", &TGadget::OnPick),
                                         Property("OnMeasureItem", &TGadget::OnMeasureItem),
                                         Property("OnDrawItem", &TGadget::OnDrawItem),
                                         Property("Partner", &TGadget::Partner, nullptr),
                                         Property("Mood", &TGadget::Mood, TGadgetMood::gmCalm),
                                     });
    return table;
  }
  const PropertyTable& Properties() const override { return StaticProperties(); }
};

// A form that declares its handlers and its field once, as the program's forms do.
class TGadgetForm : public TForm {
 public:
  explicit TGadgetForm(TApplication& application) : TForm(application) {}
  void Load(const std::string& layout, const LayoutFileLoader& files = {}) {
    CreateFromLayout(ReadLayout(layout, files));
  }

  TGadget* Gadget1 = nullptr;
  std::vector<std::string> Log;

 protected:
  std::string WindowClassName() const override { return "TGadgetForm"; }
  const HandlerTable& Handlers() const override {
    static const HandlerTable table{
        Handler("FormCreate", &TGadgetForm::FormCreate),       Handler("GadgetMouse", &TGadgetForm::GadgetMouse),
        Handler("GadgetQuery", &TGadgetForm::GadgetQuery),     Handler("GadgetPick", &TGadgetForm::GadgetPick),
        Handler("GadgetMeasure", &TGadgetForm::GadgetMeasure), Handler("GadgetDraw", &TGadgetForm::GadgetDraw),
    };
    return table;
  }
  const FieldTable& Fields() const override {
    static const FieldTable table{Field("Gadget1", &TGadgetForm::Gadget1)};
    return table;
  }

 private:
  void FormCreate(TComponent*) { Log.push_back("create"); }
  void GadgetMouse(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y) {
    Log.push_back("mouse " + sender->Name + (button == TMouseButton::mbRight ? " right" : " left") +
                  (shift.Ctrl ? " ctrl " : " ") + std::to_string(x) + "," + std::to_string(y));
  }
  void GadgetQuery(TComponent* sender, bool& allow) {
    Log.push_back("query " + sender->Name);
    allow = false;
  }
  void GadgetPick(TComponent* sender, int index) {
    Log.push_back("pick " + sender->Name + " " + std::to_string(index));
  }
  void GadgetMeasure(TComponent*, TCanvas& canvas, int& width, int& height) {
    width += canvas.TextExtent("Wash Now", FontSpec()).Width;
    height = 18;
  }
  void GadgetDraw(TComponent* sender, TCanvas& canvas, const Rect& rect, bool selected) {
    if (selected) canvas.FillRect(rect, clBlue);
    Log.push_back("draw " + sender->Name + (selected ? " selected " : " ") + std::to_string(rect.Width));
  }
};

class LayoutBinding : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ComponentRegistry::Instance().Register<TGadget>("TGadget"); }
  TGadgetForm& NewForm() {
    form = std::make_unique<TGadgetForm>(*h.app);
    return *form;
  }
  void TearDown() override { form.reset(); }

  FrameworkHarness h;
  std::unique_ptr<TGadgetForm> form;
};

TEST_F(LayoutBinding, EventsOfAnyShapeAreWiredFromTheFormsTable) {
  TGadgetForm& f = NewForm();
  f.Load(
      "object GadgetForm: TGadgetForm\n"
      "  OnCreate = FormCreate\n"
      "  object Gadget1: TGadget\n"
      "    OnTrayMouse = GadgetMouse  OnQuery = GadgetQuery  OnPick = GadgetPick\n"
      "    OnMeasureItem = GadgetMeasure  OnDrawItem = GadgetDraw\n"
      "    Partner = Gadget2  Mood = gmBusy\n"  // a component further down
      "  end\n"
      "  object Gadget2: TGadget  OnPick = GadgetPick  end\n"
      "end\n");

  // The field and the reference were set before the creation handler ran.
  ASSERT_NE(f.Gadget1, nullptr);
  EXPECT_EQ(f.Gadget1->Name, "Gadget1");
  ASSERT_NE(f.Gadget1->Partner, nullptr);
  EXPECT_EQ(f.Gadget1->Partner->Name, "Gadget2");
  EXPECT_EQ(f.Gadget1->Mood, TGadgetMood::gmBusy);
  EXPECT_THAT(f.Log, ElementsAre("create"));
  f.Log.clear();

  TGadget& gadget = *f.Gadget1;
  gadget.OnTrayMouse(&gadget, TMouseButton::mbRight, TShiftState{false, true}, 1200, 990);
  bool allow = true;
  gadget.OnQuery(&gadget, allow);
  EXPECT_FALSE(allow);  // the in-out boolean comes back
  gadget.OnPick(&gadget, 3);
  gadget.Partner->OnPick(gadget.Partner, 0);  // one handler serves both gadgets
  EXPECT_FALSE(gadget.Partner->OnQuery);

  auto surface = h.sim.graphics.CreateSurface(100, 40);
  TCanvas canvas(*surface, Point{0, 0}, Rect{0, 0, 100, 40});
  int width = 16, height = 0;
  gadget.OnMeasureItem(&gadget, canvas, width, height);
  EXPECT_EQ(width, 16 + canvas.TextExtent("Wash Now", FontSpec()).Width);
  EXPECT_EQ(height, 18);
  gadget.OnDrawItem(&gadget, canvas, Rect{0, 0, 100, 18}, true);
  EXPECT_EQ(surface->Pixels()[0], PixelOf(clBlue));

  EXPECT_THAT(f.Log, ElementsAre("mouse Gadget1 right ctrl 1200,990", "query Gadget1", "pick Gadget1 3",
                                 "pick Gadget2 0", "draw Gadget1 selected 100"));
}

TEST_F(LayoutBinding, MistakesAreLayoutErrorsNamingTheLine) {
  const auto bmp = [](const std::string&) { return std::vector<std::uint8_t>{'B', 'M', 1, 2}; };
  struct Case {
    const char* Inside;  // lines 3 on, after "object Gadget1: TGadget"
    const char* Error;
  };
  const Case cases[] = {
      {"    Colour = 5\n", "Layout error at line 3: unknown property Colour of Gadget1"},
      {"    Tag = 4\n    Tag = 'four'\n", "Layout error at line 4: property Tag of Gadget1 needs an integer"},
      {"    Tag = 99999999999\n", "Layout error at line 3: property Tag of Gadget1 is out of range"},
      {"    Mood = gmAngry\n", "Layout error at line 3: unknown identifier gmAngry for Mood of Gadget1"},
      {"    Mood = 'gmBusy'\n", "Layout error at line 3: property Mood of Gadget1 needs an identifier"},
      {"    OnPick = GadgetLost\n", "Layout error at line 3: unknown handler GadgetLost for OnPick of Gadget1"},
      {"\n    OnPick = GadgetQuery\n", "Layout error at line 4: handler GadgetQuery does not fit OnPick of Gadget1"},
      {"    OnMeasureItem = GadgetDraw\n",
       "Layout error at line 3: handler GadgetDraw does not fit OnMeasureItem of Gadget1"},
      {"    OnQuery = 1\n", "Layout error at line 3: property OnQuery of Gadget1 needs a handler name"},
      {"    Partner = Gadget9\n", "Layout error at line 3: unknown component Gadget9 for Partner of Gadget1"},
      {"    Partner = Panel1\n", "Layout error at line 3: component Panel1 does not fit Partner of Gadget1"},
      {"    object Gadget3: TGadget\n    end\n", "Layout error at line 3: Gadget1 cannot hold Gadget3, a TGadget"},
      {"  end\n  object Thing1: TNoSuchThing\n", "Layout error at line 4: class TNoSuchThing not found"},
      {"  end\n  object Panel2: TPanel\n    BevelOuter = bvSunken\n",
       "Layout error at line 5: unknown identifier bvSunken for BevelOuter of Panel2"},
      {"  end\n  object Panel2: TPanel\n    Font.Style = [fsBold, fsShiny]\n",
       "Layout error at line 5: unknown identifier fsShiny for Font.Style of Panel2"},
      {"  end\n  object Panel2: TPanel\n    Visible = Maybe\n",
       "Layout error at line 5: property Visible of Panel2 needs True or False"},
      {"  end\n  object Panel2: TPanel\n    Color = clPuce\n",
       "Layout error at line 5: unknown identifier clPuce for Color of Panel2"},
      {"  end\n  object Timer1: TTimer\n    Interval = -5\n",
       "Layout error at line 5: property Interval of Timer1 cannot be negative"},
      {"  end\n  object Image1: TImage\n    Picture.Data = {file 'x.bmp'}\n", "Bitmap image is not valid"},
  };
  const auto expectError = [&](const std::string& layout, const char* expected) {
    FrameworkHarness local;
    TGadgetForm f(*local.app);
    try {
      f.Load(layout, bmp);
      ADD_FAILURE() << "loaded: " << layout;
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), expected) << layout;
    }
    EXPECT_TRUE(f.Log.empty()) << layout;  // the creation handler never runs
    EXPECT_FALSE(f.HandleAllocated());
    EXPECT_TRUE(local.sim.dialogs.Shown().empty());
  };
  for (const Case& c : cases)
    expectError(std::string("object GadgetForm: TGadgetForm\n  object Gadget1: TGadget\n") + c.Inside +
                    "  end\n  object Panel1: TPanel  end\n  OnCreate = FormCreate\nend\n",
                c.Error);

  // The form's own properties, and its fields.
  expectError("object GadgetForm: TGadgetForm\n  BorderStyle = bsSingle\n  object Gadget1: TGadget  end\nend\n",
              "Layout error at line 2: only forms without a frame (bsNone) are supported");
  expectError("object GadgetForm: TGadgetForm\n  OnCreate = FormCreate\nend\n",
              "The layout of GadgetForm has no Gadget1");
  expectError("object GadgetForm: TGadgetForm\n\n  object Gadget1: TPanel  end\nend\n",
              "Layout error at line 3: component Gadget1 does not fit the field of GadgetForm");
}

}  // namespace
}  // namespace kelpo
