// End-to-end runs of the program entry and main window: start, second start, log,
// settings file, tray menu, about box and end.
#include "E2eSupport.h"

using namespace e2e;

namespace {

class MainWindowE2e : public CorvelaTest {};

TEST_F(MainWindowE2e, WindowHasIndicatorStyles) {
  CorvelaProcess& app = start(L"");
  HWND main = app.waitMainWindow();
  ASSERT_NE(nullptr, main);
  LONG style = GetWindowLongW(main, GWL_STYLE);
  LONG exStyle = GetWindowLongW(main, GWL_EXSTYLE);
  printf("style %08lx ex %08lx\n", style, exStyle);
  EXPECT_EQ(0u, app.end());
}

}  // namespace
