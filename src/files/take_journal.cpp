#include "files/take_journal.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <utility>

#include "files/journal_file.h"
#include "files/state_folder.h"

namespace tonvale {

namespace fs = std::filesystem;

namespace {

constexpr auto kSyncEvery = std::chrono::seconds(1);

void ToStandardError(const std::string& line) {
  std::fprintf(stderr, "tonvale: %s\n", line.c_str());
}

std::vector<std::uint8_t> EncodeEvents(std::span<const PerformanceEvent> events) {
  std::vector<std::uint8_t> bytes(events.size() * kEventBytes);
  for (std::size_t i = 0; i < events.size(); ++i) {
    EncodeEvent(events[i],
                std::span<std::uint8_t, kEventBytes>(bytes.data() + i * kEventBytes, kEventBytes));
  }
  return bytes;
}

}  // namespace

TakeJournal::TakeJournal(fs::path folder, DateSource today, Reporter report)
    : folder_(std::move(folder)),
      today_(std::move(today)),
      report_(report ? std::move(report) : Reporter(ToStandardError)),
      thread_([this] { Run(); }) {}

TakeJournal::~TakeJournal() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void TakeJournal::Restart(std::vector<PerformanceEvent> events, JournalSettings settings,
                          FileHandle replaces) {
  {
    const std::lock_guard lock(mutex_);
    pending_.restart = true;
    pending_.events = std::move(events);
    pending_.settings = settings;
    if (replaces) pending_.replaces.push_back(std::move(replaces));
    has_work_ = true;
  }
  journaling_ = true;
  wake_.notify_one();
}

void TakeJournal::Append(std::span<const PerformanceEvent> events, JournalSettings settings) {
  if (!journaling_) return;
  {
    const std::lock_guard lock(mutex_);
    pending_.events.insert(pending_.events.end(), events.begin(), events.end());
    pending_.settings = settings;
    has_work_ = true;
  }
  wake_.notify_one();
}

void TakeJournal::Discard() {
  {
    const std::lock_guard lock(mutex_);
    // Whatever was still to be written belonged to the take that goes.
    std::vector<FileHandle> replaces = std::move(pending_.replaces);
    pending_ = Work{};
    pending_.discard = true;
    pending_.replaces = std::move(replaces);
    has_work_ = true;
  }
  journaling_ = false;
  wake_.notify_one();
}

void TakeJournal::Flush() {
  std::unique_lock lock(mutex_);
  const std::uint64_t ticket = ++asked_;
  wake_.notify_one();
  done_.wait(lock, [&] { return done_count_ >= ticket; });
}

fs::path TakeJournal::Path() const {
  const std::lock_guard lock(mutex_);
  return path_;
}

void TakeJournal::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    const auto ready = [&] { return stop_ || has_work_ || asked_ > done_count_; };
    if (dirty_) {
      wake_.wait_until(lock, last_sync_ + kSyncEvery, ready);
    } else {
      wake_.wait(lock, ready);
    }
    Work work = std::exchange(pending_, Work{});
    const bool had_work = std::exchange(has_work_, false);
    const std::uint64_t asked = asked_;
    const bool flush = asked > done_count_ || stop_;
    const bool stop = stop_;
    lock.unlock();

    if (had_work) Apply(work);
    if (dirty_ && (flush || std::chrono::steady_clock::now() - last_sync_ >= kSyncEvery)) Sync();

    lock.lock();
    path_ = file_ ? file_.path() : fs::path();
    done_count_ = asked;
    done_.notify_all();
    if (stop && !has_work_) break;
  }
}

void TakeJournal::Apply(Work& work) {
  for (FileHandle& old : work.replaces) replaced_.push_back(std::move(old));
  if (work.discard) {
    if (file_) {
      file_.Remove();
      file_.Close();
    }
    for (FileHandle& old : replaced_) old.Remove();
    replaced_.clear();
    take_.clear();
    on_disk_ = 0;
    rewrite_ = true;
    dirty_ = false;
    if (!work.restart) return;
  }
  if (work.restart) {
    take_ = std::move(work.events);
    rewrite_ = true;
  } else {
    take_.insert(take_.end(), work.events.begin(), work.events.end());
  }
  settings_ = work.settings;
  if (!file_ && !Create()) return;
  if (WriteTake()) {
    dirty_ = true;
    failing_ = false;
  } else {
    rewrite_ = true;
    Failed("cannot write the journal of the take " + file_.path().string());
  }
}

bool TakeJournal::Create() {
  if (!MakeStateFolder(folder_)) {
    Failed("cannot make the folder " + folder_.string() + " for the journal of the take");
    return false;
  }
  // Named only once it is held, so that no other window ever takes it for
  // one left behind.
  FileHandle file = FileHandle::CreateHidden(folder_, ".tmp", 0600);
  fs::path name;
  for (int attempt = 0; file && attempt < 16 && name.empty(); ++attempt) {
    name = folder_ / JournalName(RandomTag());
    std::error_code ec;
    if (fs::exists(name, ec)) name.clear();
  }
  if (!file || name.empty() || !file.RenameTo(name)) {
    if (file) file.Remove();
    Failed("cannot create the journal of the take in " + folder_.string());
    return false;
  }
  SyncFolder(folder_);
  file_ = std::move(file);
  rewrite_ = true;
  return true;
}

bool TakeJournal::WriteTake() {
  const std::optional<std::vector<std::uint8_t>> header =
      BuildQviHeader(take_.size(), settings_.key_mode, settings_.auto_bass, today_());
  if (!header) return false;
  const std::size_t from = rewrite_ ? 0 : on_disk_;
  const std::vector<std::uint8_t> events =
      EncodeEvents(std::span(take_).subspan(std::min(from, take_.size())));
  // The events first: the header never counts one that is not there.
  if (!file_.WriteAt(header->size() + from * kEventBytes, events)) return false;
  if (rewrite_ && !file_.Truncate(header->size() + take_.size() * kEventBytes)) return false;
  if (!file_.WriteAt(0, *header)) return false;
  on_disk_ = take_.size();
  rewrite_ = false;
  return true;
}

void TakeJournal::Sync() {
  last_sync_ = std::chrono::steady_clock::now();
  if (!file_.Sync()) {
    rewrite_ = true;
    Failed("cannot sync the journal of the take " + file_.path().string());
    return;
  }
  dirty_ = false;
  // The take is safe in this journal: the one it came from can go.
  for (FileHandle& old : replaced_) old.Remove();
  replaced_.clear();
}

void TakeJournal::Failed(const std::string& what) {
  if (!std::exchange(failing_, true)) report_(what);
}

}  // namespace tonvale
