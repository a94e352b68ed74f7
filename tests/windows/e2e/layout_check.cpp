#include "layout_check.h"

#include <gtest/gtest.h>

#include "driver.h"

namespace {

int Pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

}  // namespace

RECT TwipsRect(int left, int top, int width, int height, int dpi) {
  return {Pixels(left, dpi), Pixels(top, dpi), Pixels(left + width, dpi), Pixels(top + height, dpi)};
}

void ExpectLaidOutAt(HWND window, const WindowLayout& layout, std::span<const ControlLayout> controls, int dpi) {
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_NEAR(client.right, Pixels(layout.clientWidth, dpi), 1) << "client width at " << dpi << " DPI";
  EXPECT_NEAR(client.bottom, Pixels(layout.clientHeight, dpi), 1) << "client height at " << dpi << " DPI";
  for (const ControlLayout& control : controls) {
    const RECT expected = TwipsRect(control.left, control.top, control.width, control.height, dpi);
    const RECT actual = driver::ChildRect(driver::FindChildById(window, control.id));
    SCOPED_TRACE(testing::Message() << "control " << control.id << " at " << dpi << " DPI");
    EXPECT_NEAR(actual.left, expected.left, 1);
    EXPECT_NEAR(actual.top, expected.top, 1);
    EXPECT_NEAR(actual.right, expected.right, 1);
    if (control.kind != ControlKind::DropDownList) {
      EXPECT_NEAR(actual.bottom, expected.bottom, 1);
    }
  }
}
