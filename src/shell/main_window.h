// The main window: creates the controls, opens the output, builds the menu
// bar and the tool bar, owns the performance settings and carries out every
// command that changes them. Commands of recording, playback, files and help
// are handed to one dispatch point that later work fills in.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "perform/instrument.h"
#include "perform/settings_commands.h"
#include "shell/menu_bar.h"

class QAction;
class QPushButton;
class QScrollBar;

namespace tonvale {

class ClientArea;
class MidiOut;
class Notices;
class WindowHooks;
struct Pictures;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(MidiOut& out, const Pictures& pictures, Notices& notices);
  ~MainWindow() override;

  // Creation: the controls, then the output devices (none at all: the error
  // box, and false: the program ends), the menu bar, the output opened, the
  // title, the tool bar and the shortcuts.
  bool Create();

  // At (0, 0) with the size of the screen.
  void ShowOnScreen();

  // Every command by its identifier: menus, shortcuts, tool bar, buttons.
  void OnCommand(int id);

  // Recording, playback, files, help and About (1280..1296).
  void SetOwnedCommandHandler(std::function<void(int)> handler) {
    owned_commands_ = std::move(handler);
  }
  // The practice menu's commands (IsPracticeCommand).
  void SetPracticeCommandHandler(std::function<void(int)> handler) {
    practice_commands_ = std::move(handler);
  }
  // Runs first as the window goes away, before playback stops and the output
  // closes.
  void SetPracticeStopHandler(std::function<void()> handler) {
    on_practice_stop_ = std::move(handler);
  }
  // Asked before the window closes; false keeps it open.
  void SetCloseQuestion(std::function<bool()> question) { close_question_ = std::move(question); }
  // Runs first as the window goes away, before the output is closed.
  void SetStopHandler(std::function<void()> handler) { on_stop_ = std::move(handler); }
  // Runs as the window goes away, after the output is closed.
  void SetDestroyHandler(std::function<void()> handler) { on_destroy_ = std::move(handler); }
  WindowHooks& Hooks() { return *hooks_; }

  // Enabling, greying and checking by identifier, for the commands that own
  // the items. A menu item and its transport button move separately.
  void SetMenuItemEnabled(int id, bool enabled);
  void SetMenuItemChecked(int id, bool checked);
  void SetButtonEnabled(int id, bool enabled);
  QPushButton* TransportButton(int id) const;
  const CommandActions& Commands() const { return commands_; }
  const std::vector<QAction*>& ToolBarActions() const { return tool_bar_actions_; }
  const std::vector<QAction*>& Shortcuts() const { return shortcuts_; }

  // Starts playback (IDM_PLAY) once, after `ms`.
  void ArmAutoplay(int ms);
  QTimer& AutoplayTimer() { return autoplay_; }

  // Invalidates the whole client area; every key is drawn released.
  void Repaint();
  // Moves every check mark to mirror the settings.
  void SyncChecks();

  Instrument& Inst() { return inst_; }
  ClientArea& Client() { return *client_; }

 signals:
  // The window went away (closed, or destroyed without closing): the
  // program ends even while other top-level windows are open.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void WarnCannotOpen();
  // A scroll code and thumb position applied to the setting behind `bar`.
  using ScrollHandler = void (MainWindow::*)(QScrollBar* bar, int code, int thumb);
  // The bar's actions and thumb releases as scroll codes for `scroll`.
  void ConnectBar(QScrollBar* bar, ScrollHandler scroll);
  void OnVelocityScroll(QScrollBar* bar, int code, int thumb);
  void OnPitchBendScroll(QScrollBar* bar, int code, int thumb);
  // Ends a bend drag the bar never saw released: 8192 sent, thumb centred.
  void ReleaseBend();
  void AddToolBar();
  void AddShortcuts();
  QString DeviceName(std::int32_t device) const;
  void Destroy();

  MidiOut& out_;
  const Pictures& pictures_;
  Notices& notices_;
  Instrument inst_;
  ClientArea* client_ = nullptr;
  std::unique_ptr<WindowHooks> hooks_;
  CommandActions commands_;
  std::vector<DeviceMenuEntry> devices_;
  int device_count_ = 0;
  std::vector<QAction*> tool_bar_actions_;
  std::vector<QAction*> shortcuts_;
  QTimer autoplay_;
  std::function<void(int)> owned_commands_;
  std::function<void(int)> practice_commands_;
  std::function<void()> on_practice_stop_;
  std::function<bool()> close_question_;
  std::function<void()> on_stop_;
  std::function<void()> on_destroy_;
  bool destroyed_ = false;
  // Where the pitch-bend thumb belongs: the bend being dragged, else the centre.
  int bend_position_ = kPitchBarCentre;
};

}  // namespace tonvale
