// A virtual evdev/pc105/us keyboard for tests under Wayland. One action a
// line, "ok" once the compositor has it: "key a+b" (pressed in order, released
// in reverse), "keydown a", "keyup a", "repeat" (answers "repeat RATE DELAY").
// It stays plugged in: one replugged per key makes windows drop their keys.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "virtual-keyboard-unstable-v1-client-protocol.h"

namespace {

// linux/input-event-codes.h numbers each row left to right.
std::optional<std::uint32_t> EvdevCode(const std::string& name) {
  for (const auto& [row, first] :
       {std::pair{"1234567890", 2}, {"qwertyuiop", 16}, {"asdfghjkl", 30}, {"zxcvbnm", 44}}) {
    const char* at = name.size() == 1 && name[0] != 0 ? std::strchr(row, name[0]) : nullptr;
    if (at != nullptr) return static_cast<std::uint32_t>(first + (at - row));
  }
  static const std::map<std::string, std::uint32_t> kNamed = {
      {"escape", 1}, {"return", 28}, {"ctrl", 29}, {"shift", 42},
      {"alt", 56},   {"up", 103},    {"down", 108}};
  const auto it = kNamed.find(name);
  return it == kNamed.end() ? std::nullopt : std::optional(it->second);
}

struct Globals {
  wl_seat* seat = nullptr;
  zwp_virtual_keyboard_manager_v1* manager = nullptr;
  int repeat_rate = -1, repeat_delay = -1;
};

constexpr wl_registry_listener kRegistryListener = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t version) {
      auto* globals = static_cast<Globals*>(data);
      if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
        // Version 4 for the key repeat the compositor gives its keyboards.
        globals->seat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 4u)));
      } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        globals->manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
      }
    },
    [](void*, wl_registry*, std::uint32_t) {}};

constexpr wl_keyboard_listener kKeyboardListener = {
    [](void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) { close(fd); },
    [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {},
    [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},
    [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
    [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
       std::uint32_t) {},
    [](void* data, wl_keyboard*, std::int32_t rate, std::int32_t delay) {
      static_cast<Globals*>(data)->repeat_rate = rate;
      static_cast<Globals*>(data)->repeat_delay = delay;
    }};

int Fail(const std::string& message) {
  std::fprintf(stderr, "tonvale-virtual-keyboard: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return Fail("no Wayland display");
  Globals globals;
  wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, &globals);
  wl_display_roundtrip(display);
  if (globals.seat == nullptr || globals.manager == nullptr)
    return Fail("the compositor offers no seat or no virtual keyboard");

  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  const xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
  xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (keymap == nullptr) return Fail("the keymap evdev/pc105/us cannot be compiled");
  char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
  const std::size_t size = std::strlen(text) + 1;
  const int fd = memfd_create("tonvale-keymap", MFD_CLOEXEC);
  if (fd < 0 || write(fd, text, size) != static_cast<ssize_t>(size)) return Fail("memfd");
  std::free(text);
  zwp_virtual_keyboard_v1* keyboard =
      zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(globals.manager, globals.seat);
  zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
  if (wl_display_roundtrip(display) == -1) return Fail("the compositor refused the keyboard");
  if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(globals.seat)) >= 4)
    wl_keyboard_add_listener(wl_seat_get_keyboard(globals.seat), &kKeyboardListener, &globals);

  // The modifiers follow from the keymap: the compositor does not work them
  // out for a virtual keyboard.
  xkb_state* state = xkb_state_new(keymap);
  const auto send = [&](std::uint32_t code, bool down) {
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    zwp_virtual_keyboard_v1_key(
        keyboard, static_cast<std::uint32_t>(now.count()), code,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    xkb_state_update_key(state, code + 8, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    zwp_virtual_keyboard_v1_modifiers(
        keyboard, xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
        xkb_state_serialize_mods(state, XKB_STATE_MODS_LATCHED),
        xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED),
        xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE));
    return wl_display_roundtrip(display) != -1;
  };
  std::printf("ready\n");
  std::fflush(stdout);
  for (std::string line; std::getline(std::cin, line); std::fflush(stdout)) {
    std::istringstream words(line);
    std::string action, keys;
    words >> action >> keys;
    if (action == "repeat") {
      if (wl_display_roundtrip(display) == -1) return Fail("the connection broke");
      std::printf("repeat %d %d\n", globals.repeat_rate, globals.repeat_delay);
      continue;
    }
    std::vector<std::uint32_t> codes;
    std::istringstream parts(keys);
    for (std::string name; std::getline(parts, name, '+');) {
      const std::optional<std::uint32_t> code = EvdevCode(name);
      if (!code) return Fail("no key named " + name);
      codes.push_back(*code);
    }
    if (codes.empty() || (action != "key" && action != "keydown" && action != "keyup"))
      return Fail("cannot do " + line);
    bool sent = true;
    for (std::size_t i = 0; action != "keyup" && i < codes.size(); ++i)
      sent = sent && send(codes[i], true);
    for (std::size_t i = codes.size(); action != "keydown" && i-- > 0;)
      sent = sent && send(codes[i], false);
    if (!sent) return Fail("the connection broke");
    std::printf("ok\n");
  }
  zwp_virtual_keyboard_v1_destroy(keyboard);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
