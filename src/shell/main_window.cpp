#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>

#include "files/document.h"
#include "perform/instrument_catalogue.h"
#include "perform/midi_messages.h"
#include "perform/midi_output.h"
#include "perform/settings_commands.h"
#include "record/command_ids.h"
#include "shell/accelerators.h"
#include "shell/client_area.h"
#include "shell/core_texts.h"
#include "shell/notices.h"
#include "shell/pictures.h"
#include "shell/practice_commands.h"
#include "shell/scroll_codes.h"
#include "shell/window_hooks.h"

namespace tonvale {

namespace {
constexpr int kToolIconSize = 32;
const QString kCaption = QStringLiteral("QV");
}  // namespace

MainWindow::MainWindow(MidiOut& out, const Pictures& pictures, Notices& notices)
    : out_(out), pictures_(pictures), notices_(notices) {
  setWindowTitle(QStringLiteral("Tonvale"));
  if (!pictures_.icon.isNull()) setWindowIcon(pictures_.icon);
  inst_.out = &out_;
  autoplay_.setSingleShot(true);
  connect(&autoplay_, &QTimer::timeout, this, [this] { OnCommand(IDM_PLAY); });
}

MainWindow::~MainWindow() {
  Destroy();
}

bool MainWindow::Create() {
  client_ = new ClientArea(inst_, pictures_, this);
  setCentralWidget(client_);
  setFocusProxy(client_);
  hooks_ = std::make_unique<WindowHooks>(*client_);
  inst_.hooks = hooks_.get();
  client_->SetDeviceNamer([this](std::int32_t device) { return DeviceName(device); });

  ConnectBar(client_->VelocityBar(), &MainWindow::OnVelocityScroll);
  ConnectBar(client_->PitchBendBar(), &MainWindow::OnPitchBendScroll);
  for (int id = IDM_RECORD_START; id <= IDM_PLAY_STOP; ++id) {
    connect(client_->TransportButton(id), &QPushButton::clicked, this,
            [this, id] { OnCommand(id); });
  }

  device_count_ = out_.DeviceCount();
  if (device_count_ <= 0) {
    notices_.Beep(Notices::Icon::kError);
    notices_.Show(this, tr("No MIDI output devices!"), kCaption, Notices::Icon::kError);
    return false;
  }

  devices_ = ListDevices(out_);
  // Without a describable default output the first real device is the default.
  if (devices_.empty() || devices_.front().device != -1) inst_.settings.midi_device = 0;
  auto* bar = new QMenuBar(this);
  BuildMenuBar(
      bar, devices_, [this](int id) { OnCommand(id); }, commands_);
  setMenuBar(bar);

  if (OpenOutputAtStart(inst_) == OpenResult::kFailed) WarnCannotOpen();
  SyncChecks();

  // The document title; loading a file named on the command line replaces it.
  setWindowTitle(QString::fromStdString(
      FillFileMessage(kTitleFormat, CoreText("Document", kUntitledName).toStdString())));

  AddToolBar();
  AddShortcuts();
  client_->setFocus();
  return true;
}

void MainWindow::ShowOnScreen() {
  QRect area(0, 0, 800, 600);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) area = screen->geometry();
  setGeometry(area);
  show();
  // The frame is part of the screen-sized window, as the window system draws it.
  const QRect frame = frameGeometry();
  if (frame.size() != area.size()) {
    const QSize extra = frame.size() - geometry().size();
    resize(area.size() - extra);
    move(area.topLeft());
  }
  activateWindow();
  client_->setFocus();
}

void MainWindow::AddToolBar() {
  auto* tool_bar = new QToolBar;
  tool_bar->setMovable(false);
  tool_bar->setFloatable(false);
  tool_bar->setIconSize(QSize(kToolIconSize, kToolIconSize));
  tool_bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  const std::array<std::int32_t, 14> programs = ToolbarPrograms();
  for (std::size_t i = 0; i < programs.size(); ++i) {
    QIcon icon;
    if (!pictures_.toolbar.isNull()) {
      icon = QIcon(pictures_.toolbar.copy(InPicturePixels(
          pictures_.toolbar,
          QRect(static_cast<int>(i) * kToolIconSize, 0, kToolIconSize, kToolIconSize))));
    }
    const int id = kCmdProgramFirst + programs[i];
    QAction* action = tool_bar->addAction(icon, QString());
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    if (QWidget* button = tool_bar->widgetForAction(action)) button->setFocusPolicy(Qt::NoFocus);
    tool_bar_actions_.push_back(action);
  }
  client_->SetToolBar(tool_bar);
}

void MainWindow::AddShortcuts() {
  for (const Accelerator& a : kAccelerators) {
    auto* action = new QAction(this);
    action->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_A + (a.letter - 'A'))));
    // Whatever widget has the focus.
    action->setShortcutContext(Qt::ApplicationShortcut);
    const int id = a.id;
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    addAction(action);
    shortcuts_.push_back(action);
  }
}

void MainWindow::WarnCannotOpen() {
  notices_.Beep(Notices::Icon::kWarning);
  notices_.Show(this, tr("Cannot open MIDI device"), kCaption, Notices::Icon::kWarning);
}

void MainWindow::OnCommand(int id) {
  if (IsPracticeCommand(id & 0xFFFF)) {
    if (practice_commands_) practice_commands_(id & 0xFFFF);
    return;
  }
  const Command command = ClassifyCommand(id, device_count_);
  switch (command.kind) {
    case CommandKind::kDeviceOpen:
      if (OpenOutput(inst_) == OpenResult::kFailed) WarnCannotOpen();
      SyncChecks();
      Repaint();
      return;
    case CommandKind::kDeviceClose:
      CloseOutput(inst_);
      SyncChecks();
      Repaint();
      return;
    case CommandKind::kDevice:
      // While open: the old device is silenced and closed, the new one opened.
      if (ChangeDevice(inst_, command.value) == OpenResult::kFailed) WarnCannotOpen();
      SyncChecks();
      Repaint();
      return;
    case CommandKind::kChannel:
      ChooseChannel(inst_, command.value);
      SyncChecks();
      Repaint();
      return;
    case CommandKind::kProgram:
      ChooseProgram(inst_, command.value);
      SyncChecks();
      Repaint();
      return;
    case CommandKind::kKeyMode:
      ChooseKeyMode(inst_.settings, command.value);
      SyncChecks();
      Repaint();
      return;
    case CommandKind::kAutoBass:
      ToggleAutoBass(inst_.settings);
      SyncChecks();
      return;
    case CommandKind::kOwned:
      if (owned_commands_) owned_commands_(command.value);
      return;
    case CommandKind::kRepaint:
      Repaint();
      return;
    case CommandKind::kIgnored:
      return;
  }
}

void MainWindow::SyncChecks() {
  for (const auto& [id, action] : commands_.All()) {
    // The practice menu's checks are the practice's own.
    if (IsPracticeCommand(id)) continue;
    if (action->isCheckable()) action->setChecked(CommandChecked(inst_.settings, id));
  }
}

void MainWindow::Repaint() {
  if (client_ != nullptr) client_->Repaint();
}

void MainWindow::ConnectBar(QScrollBar* bar, ScrollHandler scroll) {
  // The bars act by their arrows, pages and thumb only: no context menu.
  bar->setContextMenuPolicy(Qt::PreventContextMenu);
  connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar, scroll](int action) {
    const std::optional<int> code = ScrollCodeForAction(action, bar->isSliderDown());
    if (!code) {
      bar->setSliderPosition(bar->value());  // the bar moves only as its setting does
      return;
    }
    (this->*scroll)(bar, *code, bar->sliderPosition());
  });
  connect(bar, &QAbstractSlider::sliderReleased, this,
          [this, bar, scroll] { (this->*scroll)(bar, kThumbPosition, bar->sliderPosition()); });
  // Whatever else moves the bar is no scroll code: the bar goes back to the
  // setting in force.
  connect(bar, &QAbstractSlider::valueChanged, this, [this, bar](int value) {
    const int in_force = bar == client_->VelocityBar()
                             ? VelocityBarPosition(inst_.settings.velocity)
                             : bend_position_;
    if (value != in_force) bar->setValue(in_force);
  });
}

void MainWindow::OnVelocityScroll(QScrollBar* bar, int code, int thumb) {
  const std::optional<std::int32_t> velocity =
      VelocityAfterScroll(inst_.settings.velocity, code, thumb);
  if (velocity) inst_.settings.velocity = *velocity;
  bar->setValue(VelocityBarPosition(inst_.settings.velocity));
}

void MainWindow::OnPitchBendScroll(QScrollBar* bar, int code, int thumb) {
  // Arrows and pages do nothing to this bar.
  if (const std::optional<std::int32_t> bend = ScrollPitchBend(inst_, code, thumb)) {
    bend_position_ = PitchBendBarPosition(*bend);
  }
  bar->setValue(bend_position_);
}

void MainWindow::ReleaseBend() {
  QScrollBar* bar = client_ == nullptr ? nullptr : client_->PitchBendBar();
  if (bar == nullptr || !bar->isSliderDown()) return;
  {
    // The bar forgets the drag without the thumb release, which would send 8191.
    const QSignalBlocker quiet(bar);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(bar, &up);
    bar->setSliderDown(false);
  }
  bend_position_ = kPitchBarCentre;
  bar->setValue(bend_position_);
  SendPitchBend(inst_, inst_.settings.channel, kPitchBarCentre);
}

bool MainWindow::event(QEvent* event) {
  // A drag the window cannot see end (hidden, or another window took over)
  // must not leave the note bent.
  if (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::Hide) ReleaseBend();
  return QMainWindow::event(event);
}

void MainWindow::SetMenuItemEnabled(int id, bool enabled) {
  commands_.SetEnabled(id, enabled);
}

void MainWindow::SetMenuItemChecked(int id, bool checked) {
  commands_.SetChecked(id, checked);
}

void MainWindow::SetButtonEnabled(int id, bool enabled) {
  if (QPushButton* button = TransportButton(id)) button->setEnabled(enabled);
}

QPushButton* MainWindow::TransportButton(int id) const {
  return client_ == nullptr ? nullptr : client_->TransportButton(id);
}

void MainWindow::ArmAutoplay(int ms) {
  autoplay_.start(ms);
}

QString MainWindow::DeviceName(std::int32_t device) const {
  for (const DeviceMenuEntry& entry : devices_) {
    if (entry.device == device) return entry.name;
  }
  return {};
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (close_question_ && !close_question_()) {
    event->ignore();
    return;
  }
  Destroy();
  event->accept();
}

void MainWindow::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  autoplay_.stop();
  if (on_practice_stop_) on_practice_stop_();
  if (on_stop_) on_stop_();
  // The output is closed (every channel silenced) before anything is freed.
  if (client_ != nullptr) OnCommand(kCmdDeviceClose);
  if (on_destroy_) on_destroy_();
  emit Closed();
}

}  // namespace tonvale
