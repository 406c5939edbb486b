// The published properties of every component class a layout can name: a
// freshly made component holds the default its class's table declares.

#include <gtest/gtest.h>

#include <set>

#include "app/ProgramComponents.h"
#include "framework/ComponentRegistry.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo {
namespace {

// Checks every property of the table that can be read back; answers how many there were.
int ExpectDeclaredDefaults(const TComponent& component, const std::string& className) {
  int readable = 0;
  std::set<std::string> names;
  for (const PropertyEntry* entry : component.Properties().All()) {
    EXPECT_TRUE(names.insert(entry->Name).second) << className << " lists " << entry->Name << " twice";
    if (!entry->Readable()) continue;
    ++readable;
    EXPECT_TRUE(entry->HoldsDefault(component)) << className << "." << entry->Name << " is not its declared default";
  }
  return readable;
}

TEST(ProgramComponents, FreshComponentsHoldTheirDeclaredDefaults) {
  RegisterProgramComponents();
  FrameworkHarness h;
  TTestForm& form = h.NewForm();
  const std::vector<std::string> classes = ComponentRegistry::Instance().ClassNames();
  for (const char* expected : {"TPanel", "TImage", "TLabel", "TTimer", "TSpinEdit", "TComboBox", "TDateTimePicker",
                               "TGIFImage", "TTimerEx", "TIECache"})
    EXPECT_NE(std::find(classes.begin(), classes.end(), expected), classes.end()) << expected;

  for (const std::string& className : classes) {
    std::unique_ptr<TComponent> component(ComponentRegistry::Instance().Create(className, &form));
    // Tag at least, and every class here publishes more than that.
    EXPECT_GT(ExpectDeclaredDefaults(*component, className), 1) << className;
  }
  EXPECT_GT(ExpectDeclaredDefaults(form, "TForm"), 10);
}

}  // namespace
}  // namespace kelpo
