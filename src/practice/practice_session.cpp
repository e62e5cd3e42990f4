#include "practice/practice_session.h"

#include <algorithm>
#include <limits>

#include "practice/note_key.h"

namespace tonvale {

namespace {

constexpr std::int64_t kNoOffset = std::numeric_limits<std::int64_t>::min();
// A recording has no bars: its count-in is four beats of half a second.
constexpr int kRecordingCountInBeats = 4;
constexpr std::int64_t kRecordingBeatMs = 500;

}  // namespace

PracticeSession::PracticeSession(const Song& song) : song_(song) {}

void PracticeSession::Start(PracticeMode mode, int speed_percent, std::uint32_t now_ms) {
  mode_ = mode;
  speed_ = speed_percent >= 1 && speed_percent <= 100 ? speed_percent : 100;
  started_ = running_ = true;
  finished_ = false;
  start_ms_ = now_ms;
  awaited_ = next_due_ = 0;
  wrong_while_awaited_ = false;
  states_.assign(song_.notes.size(), NoteState::kPending);
  offsets_.assign(song_.notes.size(), kNoOffset);
  due_.clear();
  for (std::size_t i = 0; i < song_.notes.size(); ++i) {
    if (song_.notes[i].Played()) due_.push_back({i, MsAtTick(song_, song_.notes[i].start, speed_)});
  }
  count_in_ms_ = 0;
  if (mode_ == PracticeMode::kPlayingAlong) {
    count_in_ms_ = song_.has_bars ? MsAtTick(song_, song_.time.BarTicks(), speed_)
                                  : kRecordingCountInBeats * kRecordingBeatMs * 100 / speed_;
  }
  end_ms_ = MsAtTick(song_, song_.length, speed_);
  if (mode_ == PracticeMode::kPlayingAlong && !due_.empty()) {
    end_ms_ = std::max(end_ms_, due_.back().ms + kOnTimeMs * 100 / speed_);
  }
  if (due_.empty() && mode_ == PracticeMode::kWaiting) {
    running_ = false;
    finished_ = true;
  }
  Advance(now_ms);
}

void PracticeSession::Advance(std::uint32_t now_ms) {
  // Unsigned difference: right across a wrap of the clock.
  const std::int64_t elapsed = static_cast<std::uint32_t>(now_ms - start_ms_);
  song_ms_ = elapsed - count_in_ms_;
  if (!running_ || mode_ == PracticeMode::kWaiting) return;
  while (next_due_ < due_.size() && due_[next_due_].ms < song_ms_) ++next_due_;
  if (mode_ == PracticeMode::kPlayingAlong) {
    // A note whose window has closed without its key is wrong.
    const std::int64_t window = kOnTimeMs * 100 / speed_;
    for (; awaited_ < due_.size() && due_[awaited_].ms + window < song_ms_; ++awaited_) {
      NoteState& state = states_[due_[awaited_].note];
      if (state == NoteState::kPending) state = NoteState::kWrong;
    }
  }
  if (song_ms_ >= end_ms_) {
    running_ = false;
    finished_ = true;
  }
}

void PracticeSession::KeyDown(std::uint32_t scan_code, int shift, std::uint32_t now_ms) {
  if (!running_) return;
  const std::optional<int> pitch = PitchOfKey(scan_code, shift);
  if (!pitch) return;  // the space bar and every key that plays nothing
  Advance(now_ms);
  if (!running_) return;
  if (mode_ == PracticeMode::kWaiting) {
    const std::size_t note = due_[awaited_].note;
    if (*pitch != song_.notes[note].pitch) {
      wrong_while_awaited_ = true;
      return;
    }
    states_[note] = wrong_while_awaited_ ? NoteState::kWrong : NoteState::kRight;
    wrong_while_awaited_ = false;
    if (++awaited_ == due_.size()) {
      running_ = false;
      finished_ = true;
    }
  } else if (mode_ == PracticeMode::kPlayingAlong) {
    // The earliest note still open whose window holds this moment.
    const std::int64_t window = kOnTimeMs * 100 / speed_;
    for (std::size_t i = awaited_; i < due_.size() && due_[i].ms - window <= song_ms_; ++i) {
      const std::size_t note = due_[i].note;
      if (states_[note] != NoteState::kPending || song_.notes[note].pitch != *pitch) continue;
      states_[note] = NoteState::kRight;
      offsets_[note] = song_ms_ - due_[i].ms;
      break;
    }
  }
}

void PracticeSession::Tick(std::uint32_t now_ms) {
  Advance(now_ms);
}

void PracticeSession::Stop(std::uint32_t now_ms) {
  Advance(now_ms);
  running_ = false;
}

std::optional<std::size_t> PracticeSession::NextNote() const {
  if (!running_) return std::nullopt;
  const std::size_t at = mode_ == PracticeMode::kWaiting ? awaited_ : next_due_;
  if (at >= due_.size()) return std::nullopt;
  return due_[at].note;
}

std::size_t PracticeSession::Head(std::size_t note) const {
  while (note > 0 && song_.notes[note].tied_from_previous) --note;
  return note;
}

NoteState PracticeSession::StateOf(std::size_t note) const {
  if (note >= states_.size()) return NoteState::kPending;
  return states_[Head(note)];
}

std::optional<std::int64_t> PracticeSession::OffsetOf(std::size_t note) const {
  if (note >= offsets_.size() || offsets_[Head(note)] == kNoOffset) return std::nullopt;
  return offsets_[Head(note)];
}

bool PracticeSession::AwaitedHadWrongKey() const {
  return running_ && mode_ == PracticeMode::kWaiting && wrong_while_awaited_;
}

std::optional<CountIn> PracticeSession::CurrentCountIn() const {
  if (!running_ || mode_ != PracticeMode::kPlayingAlong || song_ms_ >= 0) return std::nullopt;
  const int beats = song_.has_bars ? song_.time.beats : kRecordingCountInBeats;
  const std::int64_t into = song_ms_ + count_in_ms_;
  return CountIn{static_cast<int>(into * beats / count_in_ms_) + 1, beats};
}

std::optional<PracticeResult> PracticeSession::Result() const {
  if (!started_ || mode_ == PracticeMode::kListening) return std::nullopt;
  PracticeResult result;
  result.total = due_.size();
  std::vector<std::int64_t> offsets;
  for (const Due& due : due_) {
    if (states_[due.note] != NoteState::kRight) continue;
    ++result.right;
    if (offsets_[due.note] != kNoOffset) offsets.push_back(offsets_[due.note]);
  }
  if (mode_ == PracticeMode::kPlayingAlong && !offsets.empty()) {
    std::sort(offsets.begin(), offsets.end());
    const std::size_t mid = offsets.size() / 2;
    if (offsets.size() % 2 == 1) {
      result.timing_median_ms = offsets[mid];
    } else {
      // Half way between the two middle ones, halves away from zero.
      const std::int64_t sum = offsets[mid - 1] + offsets[mid];
      result.timing_median_ms = sum >= 0 ? (sum + 1) / 2 : (sum - 1) / 2;
    }
  }
  return result;
}

std::optional<std::string> PracticeSession::ResultLine() const {
  const std::optional<PracticeResult> result = Result();
  if (!result) return std::nullopt;
  std::string line = "tonvale: practice \"" + song_.title + "\": " + std::to_string(result->right) +
                     " of " + std::to_string(result->total) + " notes right";
  if (result->timing_median_ms) {
    line += ", timing median " + std::to_string(*result->timing_median_ms) + " ms";
  }
  return line;
}

}  // namespace tonvale
