#include "shell/x11_auto_repeat.h"

#include <QGuiApplication>

#ifdef TONVALE_HAVE_XCB_XKB
#include <xcb/xcb.h>
// The XKB header names a field `explicit`, a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>
#endif

namespace tonvale {

#ifdef TONVALE_HAVE_XCB_XKB

bool UseDetectableAutoRepeat() {
  if (qGuiApp == nullptr) return false;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return false;
  xcb_connection_t* c = x11->connection();

  xcb_xkb_use_extension_reply_t* use = xcb_xkb_use_extension_reply(
      c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr);
  if (use == nullptr) return false;
  const bool supported = use->supported != 0;
  std::free(use);
  if (!supported) return false;

  const std::uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
  xcb_xkb_per_client_flags_reply_t* reply = xcb_xkb_per_client_flags_reply(
      c, xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0), nullptr);
  if (reply == nullptr) return false;
  const bool on = (reply->value & flag) != 0;
  std::free(reply);
  return on;
}

#else

bool UseDetectableAutoRepeat() {
  return false;
}

#endif

}  // namespace tonvale
