// The real program's windows on a private Xvfb display, found and driven
// with xdotool, for the tests that start the program itself.
#pragma once

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "servers.h"

namespace tonvale::test {

class XDesktop {
 public:
  // The program's environment on `x`: Qt's own dialogs (never a desktop's,
  // through its theme or D-Bus portal), its Chinese texts in a locale where
  // xdotool reads them, the built-in synthesizer into `dir`/synth.wav, and
  // a state folder of its own, so that no take another run left is offered.
  XDesktop(const XServer& x, const std::filesystem::path& dir) : dir_(dir) {
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "QT_QPA_PLATFORMTHEME", "DBUS_SESSION_BUS_ADDRESS"})
      env.erase(name);
    env["LANGUAGE"] = "zh_CN";
    env["LC_ALL"] = "C.UTF-8";
    env["DISPLAY"] = x.display();
    env["QT_QPA_PLATFORM"] = "xcb";
    env["TONVALE_SPLASH_MS"] = "300";
    env["TONVALE_AUDIO_DRIVER"] = "file";
    env["TONVALE_AUDIO_FILE"] = (dir / "synth.wav").string();
    env["XDG_STATE_HOME"] = dir.string();
  }

  Environment env = CurrentEnvironment();
  int pid = 0;                // when set, only this process's windows count
  std::filesystem::path log;  // the program's, shown when a window does not come

  void Xdo(const std::vector<std::string>& args) {
    const RunResult run = Xdotool(args, env, dir_ / "xdotool.log");
    EXPECT_EQ(run.code, 0) << args[0] << " " << run.out;
  }
  // The visible windows whose name (or with "--classname", class) matches.
  std::vector<std::string> Windows(const std::string& pattern,
                                   const std::string& field = "--name") {
    std::vector<std::string> args = {"xdotool", "search", "--all", "--onlyvisible"};
    if (pid != 0) args.insert(args.end(), {"--pid", std::to_string(pid)});
    args.insert(args.end(), {field, pattern});
    std::istringstream found(RunToEnd(args, env).out);
    return {std::istream_iterator<std::string>(found), {}};
  }
  // Waits until `count` windows match; returns the first.
  std::string Await(const std::string& pattern, std::size_t count,
                    const std::string& field = "--name") {
    std::vector<std::string> ids;
    for (const auto end = std::chrono::steady_clock::now() + 20s;
         ids.size() != count && std::chrono::steady_clock::now() < end;)
      ids = Windows(pattern, field);
    EXPECT_EQ(ids.size(), count) << pattern << "\n" << Shown();
    return ids.empty() ? "" : ids.front();
  }
  // Opens menu `digit`, presses `keys` in it once it shows (a second window
  // of the program), and waits until `windows` show again: 1 when the menu
  // has closed, 2 with a dialog.
  void Menu(char digit, std::vector<std::string> keys, std::size_t windows = 1) {
    Xdo({"key", std::string("alt+") + digit});
    Await("^tonvale$", 2, "--classname");
    keys.insert(keys.begin(), "key");
    Xdo(keys);
    Await("^tonvale$", windows, "--classname");
  }
  // Answers the file dialog titled `title` that the recording menu's `keys`
  // open with `path`, and gives the focus back to `window`.
  void AnswerFileDialog(const std::vector<std::string>& keys, const std::string& title,
                        const std::filesystem::path& path, const std::string& window) {
    Menu('4', keys, 2);
    Xdo({"windowfocus", "--sync", Await(title, 1)});
    Xdo({"type", "--delay", "15", path.string()});
    Xdo({"key", "Return"});
    Await(title, 0);
    Xdo({"windowfocus", "--sync", window});
  }
  // Qt's dialog titles, in Chinese where Qt's translation is installed.
  static constexpr const char* kSaveTitle = "^(Save As|另存为)$";
  static constexpr const char* kOpenTitle = "^(Open|打开)$";

 private:
  // Every visible window and its name, and the program's log.
  std::string Shown() {
    std::istringstream found(
        RunToEnd({"xdotool", "search", "--onlyvisible", "--name", "."}, env).out);
    std::string text;
    for (std::string id; found >> id;)
      text += id + " " + RunToEnd({"xdotool", "getwindowname", id}, env).out;
    return text + ReadText(log);
  }

  std::filesystem::path dir_;
};

}  // namespace tonvale::test
