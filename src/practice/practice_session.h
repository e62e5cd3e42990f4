// One practice of a song: waiting for each note, playing along at a speed,
// or listening; which note comes next, which were right or wrong, the
// count-in and the result. Driven by the window with key presses and a
// millisecond clock (readings of MillisecondClock: unsigned 32-bit, taken
// as differences, so a wrap of the clock does no harm).
//
// Waiting: the session waits for each played note's key (rests, held beats
// and tied notes pass without waiting). The note is right when no wrong key
// went down while it was awaited, wrong otherwise; it is judged when its
// key goes down. Time plays no part.
//
// Playing along: after a one-bar count-in the song runs at its tempo times
// the speed. A note is right when its key goes down within kOnTimeMs * 100 /
// speed of its time (150 ms at 100 %, 600 ms at 25 %); the offset (negative
// when early) is kept. A note whose window closes without its key is wrong.
// Other keys change nothing.
//
// Listening: nothing is judged; the window plays SongEvents(song, speed)
// through the playback scheduler from the same moment, and the session only
// follows the time for the band.
//
// A key counts for a note when it sounds the note's pitch: its own key, or
// another key that sounds the same (C for D, Shift+A for K). The space bar
// (the sustain pedal) and every key that plays nothing are no keys here:
// they are never right and never wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "practice/song.h"

namespace tonvale {

enum class PracticeMode { kWaiting, kPlayingAlong, kListening };

enum class NoteState : std::uint8_t {
  kPending,  // not judged yet; also rests, tied notes and every note while listening
  kRight,
  kWrong,
};

inline constexpr std::int64_t kOnTimeMs = 150;

struct CountIn {
  int beat = 1;   // 1..beats
  int beats = 4;  // the bar's numerator; 4 for a recording

  friend constexpr bool operator==(const CountIn&, const CountIn&) = default;
};

struct PracticeResult {
  std::size_t right = 0;
  std::size_t total = 0;  // the song's played notes, all of them, also when stopped early
  // Play-along with at least one right note: the median of the right notes'
  // offsets, ms, negative when early; for an even count the mean of the two
  // middle ones, rounded to the nearest ms, halves away from zero.
  std::optional<std::int64_t> timing_median_ms;
};

class PracticeSession {
 public:
  // The song must outlive the session and stay unchanged.
  explicit PracticeSession(const Song& song);

  // Starts afresh (every note pending). `speed_percent` 1..100 (kPracticeSpeeds
  // are offered) is used while playing along and listening; anything else is
  // taken as 100.
  void Start(PracticeMode mode, int speed_percent, std::uint32_t now_ms);
  // A playing key went down (any key: whatever it sounds), with the octave
  // shift it sounded with. Ignored when not running.
  void KeyDown(std::uint32_t scan_code, int shift, std::uint32_t now_ms);
  // From a window timer (every 10 to 20 ms is plenty): moves play-along and
  // listening on, judges missed notes, ends the practice at the song's end.
  void Tick(std::uint32_t now_ms);
  // Ends the practice where it stands (the result counts what was played).
  void Stop(std::uint32_t now_ms);

  PracticeMode Mode() const { return mode_; }
  int Speed() const { return speed_; }
  bool Running() const { return running_; }
  // Ended by itself at the song's end (not by Stop).
  bool Finished() const { return finished_; }

  // The note to play next: waiting, the awaited note; playing along and
  // listening, the first played note whose time has not yet come. Nothing
  // when none is left or the practice is not running.
  std::optional<std::size_t> NextNote() const;
  // Of a song.notes index (a tied note shows the state of its first note).
  NoteState StateOf(std::size_t note) const;
  // Play-along: how early (negative) or late the note's key went down, ms;
  // nothing for a note not played right.
  std::optional<std::int64_t> OffsetOf(std::size_t note) const;
  // Waiting: a wrong key went down while the awaited note was awaited.
  bool AwaitedHadWrongKey() const;

  // Play-along, before the first note's bar: the beat of the count-in at the
  // time last seen (by Start, KeyDown or Tick).
  std::optional<CountIn> CurrentCountIn() const;
  // Milliseconds of song time at the time last seen (negative during the
  // count-in); with MsAtTick the window can place a cursor.
  std::int64_t SongTimeMs() const { return song_ms_; }

  // The result so far; nothing while listening or before any Start.
  std::optional<PracticeResult> Result() const;
  // The line for standard error:
  //   tonvale: practice "TITLE": R of N notes right
  //   tonvale: practice "TITLE": R of N notes right, timing median X ms
  // (play-along with a median); nothing when Result() is nothing.
  std::optional<std::string> ResultLine() const;

 private:
  struct Due {
    std::size_t note;  // index in song.notes
    std::int64_t ms;   // song time of its start at the speed
  };

  void Advance(std::uint32_t now_ms);
  void MoveToNextAwaited();
  std::size_t Head(std::size_t note) const;

  const Song& song_;
  std::vector<Due> due_;               // the played notes, in order
  std::vector<NoteState> states_;      // per song note
  std::vector<std::int64_t> offsets_;  // per song note, play-along
  PracticeMode mode_ = PracticeMode::kWaiting;
  int speed_ = 100;
  bool started_ = false;
  bool running_ = false;
  bool finished_ = false;
  std::uint32_t start_ms_ = 0;
  std::int64_t count_in_ms_ = 0;  // play-along: the count-in before song time 0
  std::int64_t song_ms_ = 0;
  std::int64_t end_ms_ = 0;   // song time when the practice ends by itself
  std::size_t awaited_ = 0;   // index in due_: waiting's awaited / the first not yet judged
  std::size_t next_due_ = 0;  // index in due_: the first whose time has not come
  bool wrong_while_awaited_ = false;
};

}  // namespace tonvale
