// The link hand at scale 2 as an X server shows it: Qt's xcb takes the hot
// spot in device pixels, unlike offscreen, so only a real server tells.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <cstdlib>

#include "help/link_label.h"
#include "servers.h"

namespace tonvale::test {
namespace {

// "WxH+XHOT+YHOT" of the cursor at (x, y); below, as Xlib's macros clash with Qt.
std::string CursorAt(const std::string& display, int x, int y);

TEST(LinkCursor, TheXServerShowsTheSharpHandWithItsHotSpotOnTheFingertip) {
  ScratchDir dir("tonvale-cursor");
  XServer x(dir.path());
  ASSERT_TRUE(x.ok()) << x.error();
  setenv("DISPLAY", x.display().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  setenv("QT_SCALE_FACTOR", "2", 1);
  int argc = 1;
  char name[] = "link_cursor_test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QWidget widget;
  widget.setCursor(LinkCursor());
  widget.setGeometry(0, 0, 100, 100);
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  EXPECT_EQ(CursorAt(x.display(), 100, 100), "64x64+18+0");  // logical pixel (9, 0)
}

}  // namespace
}  // namespace tonvale::test

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace tonvale::test {
namespace {

std::string CursorAt(const std::string& display_name, int x, int y) {
  Display* display = XOpenDisplay(display_name.c_str());
  if (display == nullptr) return "no display";
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
  XSync(display, False);
  std::string shown = "no cursor";
  for (int i = 0; i < 200 && shown.rfind("64x", 0) != 0; ++i) {
    QTest::qWait(20);
    if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
      shown = std::to_string(image->width) + 'x' + std::to_string(image->height) + '+' +
              std::to_string(image->xhot) + '+' + std::to_string(image->yhot);
      XFree(image);
    }
  }
  XCloseDisplay(display);
  return shown;
}

}  // namespace
}  // namespace tonvale::test
