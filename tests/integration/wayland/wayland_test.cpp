// The real tonvale under a headless sway, typed on by a virtual evdev
// keyboard, its notes read at a JACK port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <fstream>
#include <regex>
#include <thread>

#include "jack_midi_receiver.h"
#include "servers.h"

namespace tonvale::test {
namespace {

namespace fs = std::filesystem;
using Messages = std::vector<std::string>;

class Wayland : public ::testing::Test {
 protected:
  void SetUp() override {
    // sway refuses to run as root.
    const DesktopUser desktop = AsDesktopUser(session_);
    ASSERT_EQ(desktop.error, "");
    std::ofstream(session_ / "config") << "xwayland disable\n"
                                          "default_border none\n"
                                          "output HEADLESS-1 resolution 1280x800 scale 1\n";
    Environment sway_env = env_;
    sway_env["HOME"] = sway_env["XDG_RUNTIME_DIR"] = session_.string();
    sway_env["WLR_BACKENDS"] = "headless";
    sway_env["WLR_HEADLESS_OUTPUTS"] = "1";
    sway_env["WLR_RENDERER"] = "pixman";  // no GPU needed
    std::vector<std::string> args = desktop.words;
    args.insert(args.end(), {"sway", "-c", (session_ / "config").string()});
    sway_ = Process({.args = args, .env = sway_env, .log = dir_.path() / "sway.log"});
    for (int i = 0; i < 200 && (display_.empty() || ipc_.empty()); ++i) {
      std::this_thread::sleep_for(50ms);
      for (const fs::directory_entry& e : fs::directory_iterator(session_)) {
        const std::string name = e.path().filename().string();
        if (e.is_socket() && name.rfind("wayland-", 0) == 0) display_ = e.path().string();
        if (e.is_socket() && name.rfind("sway-ipc.", 0) == 0) ipc_ = e.path().string();
      }
    }
    ASSERT_FALSE(display_.empty() || ipc_.empty()) << ReadText(dir_.path() / "sway.log");
    for (const char* name : {"DISPLAY", "XDG_CURRENT_DESKTOP", "QT_QPA_PLATFORMTHEME",
                             "DBUS_SESSION_BUS_ADDRESS", "QT_SCALE_FACTOR"})
      env_.erase(name);
    env_["WAYLAND_DISPLAY"] = display_;
    env_["SWAYSOCK"] = ipc_;
    ASSERT_TRUE(jack_.Start(128, dir_.path())) << jack_.error();
    receiver_ = std::make_unique<JackMidiReceiver>();
    ASSERT_TRUE(receiver_->ok());
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    keyboard_ = Process({.args = {TONVALE_VIRTUAL_KEYBOARD},
                         .env = env_,
                         .log = dir_.path() / "keyboard.log",
                         .fds = {{ends[0], 0}}});
    close(ends[0]);
    keys_ = ends[1];
    ASSERT_TRUE(Await("ready\n", 1)) << ReadText(dir_.path() / "keyboard.log");
  }
  void TearDown() override {
    if (keys_ >= 0) close(keys_);
    keyboard_.Stop(SIGTERM, 5s);
  }
  bool Await(const std::string& word, int count) {
    for (int i = 0; i < 400; ++i, std::this_thread::sleep_for(25ms)) {
      const std::string said = ReadText(dir_.path() / "keyboard.log");
      int n = 0;
      for (std::size_t at = said.find(word); at != std::string::npos; at = said.find(word, at + 1))
        ++n;
      if (n >= count) return true;
    }
    return false;
  }
  void Type(const std::string& action) {
    const std::string line = action + "\n";
    ASSERT_EQ(write(keys_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    if (action != "repeat") {
      ASSERT_TRUE(Await("ok\n", ++typed_)) << action;
    }
  }
  // Starts the program in English; waits until sway can focus its window.
  void StartProgram() {
    Environment env = env_;
    const fs::path runtime = dir_.path() / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    env["XDG_RUNTIME_DIR"] = runtime.string();
    env["QT_QPA_PLATFORM"] = "wayland";
    env["LANGUAGE"] = "en";
    env["LC_ALL"] = "C.UTF-8";
    env["TONVALE_SPLASH_MS"] = "300";
    env["TONVALE_AUDIO_DRIVER"] = "file";
    env["TONVALE_AUDIO_FILE"] = (dir_.path() / "synth.wav").string();
    program_ = Process({.args = {TONVALE_PROGRAM}, .env = env, .log = dir_.path() / "tonvale.log"});
    bool mapped = false;
    for (int i = 0; i < 300 && !mapped && program_.running(); ++i) {
      mapped = Sway("[app_id=\"org.tonvale.Tonvale\"] focus").find("\"success\": true") !=
               std::string::npos;
      if (!mapped) std::this_thread::sleep_for(100ms);
    }
    ASSERT_TRUE(mapped) << Log() << RunToEnd({"swaymsg", "-t", "get_tree"}, env_).out;
  }
  std::string Log() { return ReadText(dir_.path() / "tonvale.log"); }
  std::string Sway(const std::string& command) {
    return RunToEnd({"swaymsg", command}, env_, 10s, dir_.path() / "swaymsg.log").out;
  }
  bool Next(const Messages& next) {
    const Messages got = BytesOf(receiver_->WaitFor(count_ + next.size()), count_, next.size());
    EXPECT_EQ(got, next) << "from message " << count_ << "\n" << Log();
    count_ += next.size();
    return got == next;
  }
  // The whole output, once two pictures in a row agree (the window has drawn).
  QImage Screenshot(const std::string& name) {
    fs::create_directories(TONVALE_TEST_OUTPUT_DIR);  // kept for whoever looks at them
    const fs::path path = fs::path(TONVALE_TEST_OUTPUT_DIR) / ("wayland-" + name + ".png");
    QImage last;
    for (int i = 0; i < 40; ++i) {
      RunToEnd({"grim", path.string()}, env_, 10s, dir_.path() / "grim.log");
      QImage now(QString::fromStdString(path.string()));
      if (!now.isNull() && now == last) break;
      last = now;
      std::this_thread::sleep_for(250ms);
    }
    return last.convertToFormat(QImage::Format_RGB32);
  }

  // In starting order, so they stop the other way round.
  ScratchDir dir_{"tonvale-wayland"};
  const fs::path& session_ = dir_.path();
  JackServer jack_;
  Environment env_ = CurrentEnvironment();
  Process sway_;
  std::string display_, ipc_;
  std::unique_ptr<JackMidiReceiver> receiver_;
  Process keyboard_;
  int keys_ = -1, typed_ = 0;
  Process program_;
  std::size_t count_ = 0;
};

TEST_F(Wayland, PhysicalKeysRepeatFocusAndScaleAsUnderX11) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());

  // The JACK port, the device menu's last item; the menu may open late.
  bool chosen = false;
  for (int attempt = 0; attempt < 3 && !chosen; ++attempt) {
    Type("key alt+6");
    std::this_thread::sleep_for(1500ms);
    Type("key up");
    Type("key return");
    chosen = BytesOf(receiver_->WaitFor(2)) == Messages{"c0 00", "cf 00"};
    if (!chosen) Type("key escape");
  }
  ASSERT_TRUE(chosen) << Log();
  count_ = 2;

  // A, Shift+A an octave up, Ctrl+A an octave down.
  Type("key a");
  Type("key shift+a");
  Type("key ctrl+a");
  ASSERT_TRUE(Next({"90 3c 7f", "80 3c 00", "90 48 7f", "80 48 00", "90 30 7f", "80 30 00"}));

  // Held past the compositor's repeat delay: one note, however many repeats.
  Type("repeat");
  ASSERT_TRUE(Await("repeat", 1));
  std::smatch repeat;
  const std::string told = ReadText(dir_.path() / "keyboard.log");
  ASSERT_TRUE(std::regex_search(told, repeat, std::regex(R"(repeat (\d+) (\d+))"))) << told;
  ASSERT_GT(std::stoi(repeat[1]), 0) << "the compositor repeats no key";
  Type("keydown d");
  std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(repeat[2]) + 600));
  Type("keyup d");
  ASSERT_TRUE(Next({"90 40 7f", "80 40 00"}));

  // The window loses the keyboard while G is held: G ends then and there.
  Type("keydown g");
  ASSERT_TRUE(Next({"90 43 7f"}));
  Sway("workspace 2");
  ASSERT_TRUE(Next({"80 43 00"}));
  Type("keyup g");
  Sway("workspace 1");
  Type("key a");
  ASSERT_TRUE(Next({"90 3c 7f", "80 3c 00"}));

  // Asked to end, it silences every channel.
  const QImage one = Screenshot("scale1");
  EXPECT_EQ(program_.Stop(SIGTERM, 20s), 0) << Log();
  Messages silence(16);
  for (int c = 0; c < 16; ++c) silence[c] = std::string("b") + "0123456789abcdef"[c] + " 7b 00";
  ASSERT_TRUE(Next(silence));
  EXPECT_EQ(receiver_->Events().size(), count_) << "nothing more";

  // Started at scale 2 (Qt 6.4 keeps the scale it opened at): the same
  // picture, drawn at twice the pixels, not enlarged by the compositor.
  Sway("output HEADLESS-1 resolution 2560x1600 scale 2");  // the same 1280 x 800 to draw on
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  const QImage two = Screenshot("scale2");
  EXPECT_EQ(program_.Stop(SIGTERM, 20s), 0) << Log();
  ASSERT_EQ(one.size(), QSize(1280, 800));
  ASSERT_EQ(two.size(), QSize(2560, 1600));
  EXPECT_EQ(one.pixel(20, 300), qRgb(20, 100, 20));  // the window's green, left of the keyboard
  EXPECT_EQ(two.pixel(40, 600), qRgb(20, 100, 20));
  // A moved layout differs everywhere; an enlarged one has flat 2 x 2 blocks.
  const QImage halved = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  double difference = 0;
  int fine = 0;
  for (int y = 0; y < one.height(); ++y) {
    for (int x = 0; x < one.width(); ++x) {
      const QRgb a = one.pixel(x, y), b = halved.pixel(x, y), c = two.pixel(2 * x, 2 * y);
      difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                    std::abs(qBlue(a) - qBlue(b));
      fine += two.pixel(2 * x + 1, 2 * y) != c || two.pixel(2 * x, 2 * y + 1) != c ||
              two.pixel(2 * x + 1, 2 * y + 1) != c;
    }
  }
  difference /= 3.0 * one.width() * one.height();
  EXPECT_LT(difference, 3.0);
  EXPECT_GT(fine, one.width() * one.height() / 100);
}

}  // namespace
}  // namespace tonvale::test
