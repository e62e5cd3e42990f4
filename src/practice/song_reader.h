// The reader of numbered-notation songs: the melody subset of jianpu-ly's
// text format.
//
// Words are separated by blanks; a song may spread over any number of lines.
//   notes     1..7, 0 a rest, 8 and 9 for 1' and 2'; # and b, ' and , in
//             any order around the digit; q, s, d before it or one to three
//             backslashes after it for quaver, semiquaver, demisemiquaver;
//             a dot after it; "-" words lengthen the note before by a
//             crotchet each; "~" ties two notes of one pitch.
//   triplet   3[ q1 q2 q3 ]
//   headers   1=C 1=Bb 6=F# (a key: the one in force at the first note sets
//             the key mode; a later one changes how the degrees after it are
//             read, their keys still found in the first), 4/4 3/4,4 (time,
//             upbeat after the comma as a note value: 4, 8, 4., 8*3), 4=85
//             (crotchets per minute, before the first note), title=...
//             lines; other name=value lines are skipped.
//   bars      "|" must fall on a bar's end, and no note or dash may run over
//             one; R{ ... } repeats once, R{ ... } A{ ... | ... } with
//             endings played in turn (the "|" in A{ } separates them).
//   skipped   % comments, L: and H: lines, ( ), words starting with \,
//             ^"..." _"...", g[...], Fr=..., and all from NextPart or
//             NextScore on.
// Anything else is refused with its line, word and reason.
#pragma once

#include <cstddef>
#include <string_view>
#include <variant>

#include "practice/song.h"
#include "practice/song_error.h"

namespace tonvale {

inline constexpr std::size_t kMaxSongBytes = 1 << 20;
// Notes, rests and dashes once repeats are written out.
inline constexpr std::size_t kMaxSongItems = 1000000;
inline constexpr std::int32_t kMinTempo = 20;
inline constexpr std::int32_t kMaxTempo = 400;

using SongReadResult = std::variant<Song, SongError>;

// Reads a whole song file's text: UTF-8 (a byte-order mark is skipped, CRLF
// line ends are taken). The title is left empty when the text names none.
SongReadResult ReadSongText(std::string_view text);

}  // namespace tonvale
