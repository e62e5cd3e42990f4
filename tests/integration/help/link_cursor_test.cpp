// The hand over links as the X server shows it on a screen of two device
// pixels per logical pixel: the hand drawn at twice the size, its hot spot
// on the fingertip. Qt on X11 takes a cursor's hot spot in the picture's own
// pixels, which the link cursor relies on; this is where that would show if
// it changed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>

#include "help/link_label.h"
#include "servers.h"

namespace tonvale::test {
namespace {

struct ShownCursor {
  int width = 0, height = 0, xhot = 0, yhot = 0;
  std::vector<std::uint32_t> argb;
};

// Moves the pointer to (x, y) of `display` and reads the cursor the server
// shows there, once it is `width` pixels wide, `pump` running in between.
// Below, apart: Xlib's macros clash with Qt's and GoogleTest's names.
std::optional<ShownCursor> CursorAt(const std::string& display, int x, int y, int width,
                                    const std::function<void()>& pump);

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

  const std::optional<ShownCursor> shown =
      CursorAt(x.display(), 100, 100, 64, [] { QTest::qWait(20); });
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->width, 64);
  EXPECT_EQ(shown->height, 64);
  EXPECT_EQ(shown->xhot, 18);  // in the logical pixel (9, 0), the fingertip's
  EXPECT_EQ(shown->yhot, 0);
  const QImage hand =
      QImage(QStringLiteral(":/res/hand@2x.png")).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(hand.size(), QSize(shown->width, shown->height));
  int differ = 0;
  for (int y = 0; y < hand.height(); ++y)
    for (int x = 0; x < hand.width(); ++x)
      differ += shown->argb[y * hand.width() + x] != hand.pixel(x, y);
  EXPECT_EQ(differ, 0);
}

}  // namespace
}  // namespace tonvale::test

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace tonvale::test {
namespace {

std::optional<ShownCursor> CursorAt(const std::string& display_name, int x, int y, int width,
                                    const std::function<void()>& pump) {
  Display* display = XOpenDisplay(display_name.c_str());
  if (display == nullptr) return std::nullopt;
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
  XSync(display, False);
  std::optional<ShownCursor> shown;
  for (int i = 0; i < 200 && (!shown || shown->width != width); ++i) {
    pump();
    if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
      shown = ShownCursor{image->width, image->height, image->xhot, image->yhot, {}};
      for (int p = 0; p < image->width * image->height; ++p)
        shown->argb.push_back(static_cast<std::uint32_t>(image->pixels[p]));
      XFree(image);
    }
  }
  XCloseDisplay(display);
  return shown;
}

}  // namespace
}  // namespace tonvale::test
