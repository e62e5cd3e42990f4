// The journal of the take being played (see journal_file.h), written by a
// thread of its own. The window hands over what was recorded a few times a
// second, away from the key path; the thread appends it to the journal at
// once and syncs it to the disk at least once a second. So a crash or a kill
// loses no more than the last hand-over, a power cut no more than the last
// second.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "files/file_handle.h"
#include "files/qvi_file.h"
#include "perform/settings.h"
#include "record/performance_event.h"

namespace tonvale {

struct JournalSettings {
  std::int32_t key_mode = kDefaultKeyMode;
  bool auto_bass = false;
  friend bool operator==(const JournalSettings&, const JournalSettings&) = default;
};

class TakeJournal {
 public:
  using DateSource = std::function<FileDate()>;
  using Reporter = std::function<void(const std::string& line)>;

  // Journals go to `folder`, made when first needed. Trouble (the folder
  // cannot be made, the disk is full) goes to `report` as one English line
  // each time writing starts to fail; by default to standard error.
  explicit TakeJournal(std::filesystem::path folder, DateSource today = LocalDate,
                       Reporter report = {});
  // Writes and syncs what was handed over. A journal that was not discarded
  // stays on the disk, to be offered at the next start.
  ~TakeJournal();
  TakeJournal(const TakeJournal&) = delete;
  TakeJournal& operator=(const TakeJournal&) = delete;

  // From one thread (the window's) only:

  // A new take that holds `events` so far. `replaces`, a journal an earlier
  // run left (held), is removed once this one is on the disk.
  void Restart(std::vector<PerformanceEvent> events, JournalSettings settings,
               FileHandle replaces = {});
  // The events the take gained since the last hand-over, and the settings
  // now. Ignored while no take is journaled.
  void Append(std::span<const PerformanceEvent> events, JournalSettings settings);
  // Nothing unsaved remains: the journal goes.
  void Discard();
  bool Journaling() const { return journaling_; }
  // Waits until everything handed over so far is written and synced.
  void Flush();
  // The journal's file; empty while there is none.
  std::filesystem::path Path() const;

 private:
  struct Work {
    bool discard = false;
    bool restart = false;
    std::vector<PerformanceEvent> events;
    JournalSettings settings;
    std::vector<FileHandle> replaces;
  };

  void Run();
  void Apply(Work& work);
  bool Create();
  bool WriteTake();
  void Sync();
  void Failed(const std::string& what);

  const std::filesystem::path folder_;
  DateSource today_;
  Reporter report_;
  bool journaling_ = false;  // the window thread's view

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  Work pending_;
  bool has_work_ = false;
  bool stop_ = false;
  std::uint64_t asked_ = 0;  // flushes asked for
  std::uint64_t done_count_ = 0;
  std::filesystem::path path_;  // shown to Path()

  // The thread's own.
  FileHandle file_;
  std::vector<PerformanceEvent> take_;
  JournalSettings settings_;
  std::size_t on_disk_ = 0;  // events written after the header
  bool rewrite_ = true;      // the whole file must be written again
  bool dirty_ = false;       // written since the last sync
  bool failing_ = false;
  std::vector<FileHandle> replaced_;  // removed after the next sync
  std::chrono::steady_clock::time_point last_sync_{};

  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace tonvale
