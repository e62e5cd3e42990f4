// A song to practise: one melody in numbered notation, its notes in playing
// order (repeats written out) with what the printed score shows of each, its
// timing in ticks, and the key that plays every note.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "perform/settings.h"

namespace tonvale {

// 192 ticks a crotchet hold every written length exactly: a demisemiquaver
// (24), dotted lengths, and the notes of a triplet (two thirds of their
// written length).
inline constexpr std::int64_t kTicksPerCrotchet = 192;

enum class Accidental : std::int8_t { kFlat = -1, kNone = 0, kSharp = 1 };

// The key that plays a note: a playing key of the key table and the octave
// shift it is played with (+1 Shift, -1 Ctrl). Scan code 0 for a rest.
struct SongKey {
  std::uint8_t scan_code = 0;
  std::int8_t shift = 0;

  friend constexpr bool operator==(const SongKey&, const SongKey&) = default;
};

// One printed note or rest, with the dashes of its held beats.
struct SongNote {
  // What the score shows.
  std::int8_t degree = 0;  // 1..7; 0 a rest
  Accidental accidental = Accidental::kNone;
  std::int8_t octave = 0;           // octave dots: n > 0 above the digit, n < 0 below
  std::int8_t underlines = 0;       // 0..3: crotchet, quaver, semiquaver, demisemiquaver
  bool dotted = false;              // augmentation dot
  std::int32_t dashes = 0;          // "-" after it, a crotchet each
  bool tie_to_next = false;         // an arc from this note to the next one
  bool tied_from_previous = false;  // continues the previous note: no key of its own
  std::int8_t tuplet = 0;           // 3 inside a triplet, else 0
  bool tuplet_first = false;        // where the triplet's bracket begins
  bool tuplet_last = false;         // and where it ends

  // When it sounds, in ticks from the song's start, in playing order.
  std::int64_t start = 0;
  std::int64_t length = 0;  // the whole printed note: dot and dashes included
  // For a note that is played (see Played()): how long the sound lasts,
  // the notes tied to it included. 0 otherwise.
  std::int64_t sound_length = 0;

  // Semitones above degree 1 of the middle octave in the song's key mode,
  // the note sounded by the A key. 0 for a rest.
  std::int32_t pitch = 0;
  SongKey key;  // that plays it; for a tied note the key of the note it continues

  // Where it was written: line (from 1) and the word as it stands.
  std::int32_t line = 0;
  std::string word;

  bool Rest() const { return degree == 0; }
  // A key goes down for it: not a rest, not the tied-on part of a note.
  bool Played() const { return degree != 0 && !tied_from_previous; }
  // Ticks of the digit with its dot, before the first dash.
  std::int64_t HeadLength() const { return length - dashes * kTicksPerCrotchet; }
};

struct TimeSignature {
  std::int32_t beats = 4;  // numerator
  std::int32_t unit = 4;   // denominator: 1, 2, 4, 8, 16 or 32

  std::int64_t BarTicks() const { return beats * (4 * kTicksPerCrotchet) / unit; }
  friend constexpr bool operator==(const TimeSignature&, const TimeSignature&) = default;
};

struct Song {
  std::string title;
  // The key as written first ("1=D", "6=E", "1=Bb"); a recording's is its
  // key mode's ("1=C", "6=#f"). The key mode follows from it.
  std::string key_text = "1=C";
  std::int32_t key_mode = kDefaultKeyMode;
  TimeSignature time;       // as the song begins
  std::int64_t upbeat = 0;  // ticks before the first full bar; 0 for none
  // Crotchets per minute. 0 for a recording: it has no tempo, and its ticks
  // are milliseconds.
  std::int32_t tempo = 60;
  bool has_bars = true;  // false for a recording

  std::vector<SongNote> notes;  // playing order, repeats written out
  // Ticks at which a bar ends, ascending, in playing order. A bar ends where
  // the written score has a bar line (written or implied by the time
  // signature), and where a repeated passage ends one.
  std::vector<std::int64_t> bar_ends;
  std::int64_t length = 0;  // ticks: the end of the last note or rest

  // Number of notes played (Played()).
  std::size_t PlayedCount() const;
  // "1=D 4/4", "1=D 3/4,4" with an upbeat; a recording: the key only.
  std::string HeaderText() const;
};

// Speeds offered for playing along, in percent of the song's tempo.
inline constexpr int kPracticeSpeeds[] = {25, 50, 75, 100};

// Milliseconds from the song's start to `tick` at `speed_percent` (1..100)
// of its tempo, rounded to the nearest millisecond. Every time the practice
// uses (events, play-along, listening) comes from here, from absolute
// ticks, so rounding never accumulates.
std::int64_t MsAtTick(const Song& song, std::int64_t tick, int speed_percent = 100);

}  // namespace tonvale
