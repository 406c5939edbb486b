// The schedule editor's widgets on their simulated peers.

#include <gtest/gtest.h>

#include "framework/widgets/ComboBox.h"
#include "framework/widgets/DateTimePicker.h"
#include "framework/widgets/SpinEdit.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo {
namespace {

const char* const EditorLayout =
    "object Form1: TForm1\n"
    "  object SpinEdit1: TSpinEdit  MaxLength = 2  MaxValue = 30  MinValue = 1  Value = 3  end\n"
    "  object ComboBox1: TComboBox  Style = csDropDownList  Items.Strings = ('minutes' 'hours' 'days')\n"
    "    OnChange = Changed\n"
    "  end\n"
    "  object DateTimePicker1: TDateTimePicker  Kind = dtkTime  DateMode = dmUpDown  end\n"
    "end\n";

class WidgetTest : public ::testing::Test {
 protected:
  explicit WidgetTest(const FormatSettings& region = UnitedStates()) : h(region) {
    TTestForm& form = h.NewForm();
    form.AddHandler("Changed", [this](TComponent* sender) { changes.push_back(sender->Name); });
    form.Load(EditorLayout);
  }
  TSpinEdit& Spin() { return h.form->Get<TSpinEdit>("SpinEdit1"); }
  SimSpinEditPeer& SpinPeer() { return static_cast<SimSpinEditPeer&>(*Spin().Peer()); }
  TComboBox& Combo() { return h.form->Get<TComboBox>("ComboBox1"); }
  SimComboBoxPeer& ComboPeer() { return static_cast<SimComboBoxPeer&>(*Combo().Peer()); }
  TDateTimePicker& Picker() { return h.form->Get<TDateTimePicker>("DateTimePicker1"); }
  SimTimePickerPeer& PickerPeer() { return static_cast<SimTimePickerPeer&>(*Picker().Peer()); }
  int Beeps() const { return h.sim.dialogs.Beeps(); }

  FrameworkHarness h;
  std::vector<std::string> changes;
};

using SpinEdit = WidgetTest;
using FrameworkComboBox = WidgetTest;
using FrameworkDateTimePicker = WidgetTest;

TEST_F(SpinEdit, SetValueClampsIntoTheRangeWithABeep) {
  EXPECT_EQ(SpinPeer().Text(), "3");
  EXPECT_EQ(SpinPeer().MinValue(), 1);
  EXPECT_EQ(SpinPeer().MaxValue(), 30);
  Spin().SetValue(45);
  EXPECT_EQ(SpinPeer().Text(), "30");
  EXPECT_EQ(Beeps(), 1);
  Spin().SetValue(0);
  EXPECT_EQ(SpinPeer().Text(), "1");
  EXPECT_EQ(Beeps(), 2);
  Spin().SetValue(12);
  EXPECT_EQ(SpinPeer().Text(), "12");
  EXPECT_EQ(Spin().Value(), 12);
  Spin().SetValue(30);
  EXPECT_EQ(Beeps(), 2);
}

TEST_F(SpinEdit, LeavingTheFieldClampsAndShowsWhatTheTextReadsAs) {
  SpinPeer().UserType("45");
  EXPECT_EQ(Spin().Value(), 45);
  SpinPeer().UserLeave();
  EXPECT_EQ(SpinPeer().Text(), "30");
  EXPECT_EQ(Beeps(), 1);

  SpinPeer().UserType("0");
  SpinPeer().UserLeave();
  EXPECT_EQ(SpinPeer().Text(), "1");
  EXPECT_EQ(Beeps(), 2);

  SpinPeer().UserType("7");
  SpinPeer().UserLeave();
  EXPECT_EQ(SpinPeer().Text(), "7");
  EXPECT_EQ(Beeps(), 2);

  for (const char* text : {"x", "", "-"}) {
    SpinPeer().UserType(text);
    EXPECT_EQ(Spin().Value(), 1) << text;
    SpinPeer().UserLeave();
    EXPECT_EQ(SpinPeer().Text(), "1") << text;
  }

  // The field takes two characters at most.
  SpinPeer().UserType("123");
  EXPECT_EQ(SpinPeer().Text(), "12");
}

TEST_F(SpinEdit, ValueReadsTheRegionalDecimalPoint) {
  SpinPeer().UserType(".5");
  EXPECT_EQ(Spin().Value(), 0.5);
  SpinPeer().UserType(",5");
  EXPECT_EQ(Spin().Value(), 1);
}

class SpinEditGerman : public WidgetTest {
 protected:
  SpinEditGerman() : WidgetTest(German()) {}
};

TEST_F(SpinEditGerman, ValueReadsTheRegionalDecimalComma) {
  SpinPeer().UserType(",5");
  EXPECT_EQ(Spin().Value(), 0.5);
  SpinPeer().UserType(".5");
  EXPECT_EQ(Spin().Value(), 1);
}

TEST_F(FrameworkComboBox, ListSelectsByPositionAndOnlyTheUserRunsOnChange) {
  EXPECT_FALSE(ComboPeer().Editable());
  EXPECT_FALSE(ComboPeer().UserType("weeks"));
  EXPECT_EQ(Combo().ItemIndex(), -1);
  EXPECT_EQ(Combo().Text(), "");

  Combo().SetItemIndex(1);
  EXPECT_EQ(Combo().ItemIndex(), 1);
  EXPECT_EQ(ComboPeer().Text(), "hours");
  for (int outside : {3, 99, -2}) {
    Combo().SetItemIndex(outside);
    EXPECT_EQ(Combo().ItemIndex(), -1) << outside;
    EXPECT_EQ(ComboPeer().ItemIndex(), -1) << outside;
  }
  Combo().SetText("days");
  EXPECT_EQ(Combo().ItemIndex(), 2);
  Combo().SetText("weeks");
  EXPECT_EQ(Combo().ItemIndex(), -1);
  EXPECT_TRUE(changes.empty());

  TComboBox& unplaced = *new TComboBox(h.form.get());  // no window: the control keeps the selection itself
  unplaced.SetItems({"Sunday", "Monday"});
  unplaced.SetItemIndex(2);
  EXPECT_EQ(unplaced.ItemIndex(), -1);
  EXPECT_EQ(unplaced.Text(), "");

  ComboPeer().UserSelect(2);
  EXPECT_EQ(Combo().ItemIndex(), 2);
  EXPECT_EQ(Combo().Text(), "days");
  EXPECT_EQ(changes, std::vector<std::string>{"ComboBox1"});
}

TEST_F(FrameworkDateTimePicker, KeepsTheTimeOfDayToTheSecond) {
  const auto At = [](int hour, int minute, double second) { return (hour * 3600 + minute * 60 + second) / 86400; };

  Picker().SetTime(46000 + At(21, 30, 45));  // the date part is dropped
  EXPECT_EQ(PickerPeer().Time(), (TimeOfDay{21, 30, 45}));
  EXPECT_DOUBLE_EQ(Picker().Time(), At(21, 30, 45));

  // Fractions of a second are cut off, as the system's control shows them.
  Picker().SetTime(At(21, 30, 45.6));
  EXPECT_EQ(PickerPeer().Time(), (TimeOfDay{21, 30, 45}));
  Picker().SetTime(At(23, 59, 59.7));
  EXPECT_EQ(PickerPeer().Time(), (TimeOfDay{23, 59, 59}));
  Picker().SetTime(At(0, 0, 0));
  EXPECT_EQ(PickerPeer().Time(), (TimeOfDay{0, 0, 0}));

  PickerPeer().UserSetTime(TimeOfDay{9, 5, 7});
  EXPECT_DOUBLE_EQ(Picker().Time(), At(9, 5, 7));
}

}  // namespace
}  // namespace kelpo
