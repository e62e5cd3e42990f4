// The menu bar, built in code once the output devices are known, and the
// table of its items by command identifier, through which the commands
// check, grey and dispatch by number.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenuBar;

namespace tonvale {

class MidiOut;

// One item of the device menu: -1 is the default output.
struct DeviceMenuEntry {
  std::int32_t device = 0;
  QString name;
};

// The default output first when it can be described, then devices 0..n-1,
// at most 256 of them (a device that cannot be described gets a numbered
// name).
std::vector<DeviceMenuEntry> ListDevices(MidiOut& out);

class CommandActions {
 public:
  void Add(int id, QAction* action);
  // nullptr when no item has that identifier.
  QAction* Find(int id) const;
  void SetChecked(int id, bool checked);
  void SetEnabled(int id, bool enabled);
  const std::map<int, QAction*>& All() const { return actions_; }

 private:
  std::map<int, QAction*> actions_;
};

// Fills `bar` with the eight pop-ups in their initial states: the close item,
// the first device, channel 1, program 0 and C major checked; recording
// commands greyed but start recording and load. Then the practice menu: open
// a song (the other song commands greyed), the waiting mode and 100 % checked.
// Every item calls `dispatch` with its identifier.
void BuildMenuBar(QMenuBar* bar, const std::vector<DeviceMenuEntry>& devices,
                  const std::function<void(int)>& dispatch, CommandActions& actions);

}  // namespace tonvale
