// Why a song file was refused: a whole-file problem, or the line and the
// word at fault with the reason. The texts are Chinese source texts (UTF-8):
// the tool prints them as they are, the window in its own language.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "files/file_error.h"

namespace tonvale {

enum class SongProblem {
  // Whole file (line 0, no word).
  kCannotOpen,  // missing or unreadable
  kTooLarge,    // over kMaxSongBytes
  kNotUtf8,
  kNoNotes,    // nothing to play: no note, or only rests
  kTooLong,    // more than kMaxSongItems notes and dashes once repeats are written out
  kRecording,  // a .qvi recording that does not read: see `file_error`
  // One word of one line.
  kUnknownWord,
  kChord,       // two pitches in one word
  kPercussion,  // x
  kKeepLength,
  kLilyPondBlock,  // LP:
  kTwoAccidentals,
  kOctaveBothWays,  // ' and , in one note
  kMarkedRest,      // a rest with an accidental or octave mark
  kTooShort,        // more than three underlines
  kTwoDots,
  kTooHigh,  // beyond the reach even with Shift
  kTooLow,   // beyond the reach even with Ctrl
  kBadKey,
  kBadTime,
  kBadUpbeat,
  kBadTempo,       // not 4=N with N in kMinTempo..kMaxTempo
  kLateTempo,      // a tempo after the first note
  kTimeInsideBar,  // a time signature that does not stand at a bar's start
  kBarLineMisplaced,
  kCrossesBarLine,  // a note or dash running over a bar's end
  kDashWithoutNote,
  kDashInTuplet,
  kTieWithoutNote,  // nothing before ~, a rest, or no note after it
  kTieToOtherPitch,
  kTieAcrossRepeat,
  kOnlyTriplets,  // a tuplet other than 3[
  kTupletNotClosed,
  kNestedTuplet,
  kStrayBracket,  // ] outside a tuplet
  kNotInTuplet,   // a bar line, repeat or header inside a tuplet
  kNestedRepeat,
  kRepeatNotClosed,
  kStrayBrace,           // } outside a repeat
  kEndingWithoutRepeat,  // A{ not right after a repeat's }
  kTextNotClosed,        // ^"... without its closing quote
  kGraceNotClosed,       // g[ without ]
};

struct SongError {
  SongProblem problem = SongProblem::kUnknownWord;
  std::int32_t line = 0;                          // from 1; 0 for a whole-file problem
  std::string word;                               // as written
  FileError file_error = FileError::kCannotOpen;  // kRecording only
};

// The reason alone ("不认识的记号", ...), Chinese UTF-8; empty for the
// whole-file problems, whose message formats say it all.
const char* SongProblemText(SongProblem problem);

// The message format: one %s for the file name, and for a problem of one
// word %d for the line, then %s for the word, then %s for the reason, in
// that order. A recording's is the recording reader's.
const char* SongErrorFormat(const SongError& error);

// The context the format is marked under: the recording reader's
// ("FileError") for a recording or a file that cannot be opened, else
// "SongError", as the reasons are.
const char* SongErrorContext(const SongError& error);

// The whole message for the file called `name`, in Chinese.
std::string SongErrorMessage(const SongError& error, std::string_view name);

// The same in the window's language: `translate(context, text)` gives the
// format and the reason in it, and only then are the name, line and word
// filled in, so that what they hold is never read as a translation's or a
// directive (a translated format keeps %s, %d, %s, %s in that order).
using TextTranslator = std::function<std::string(const char* context, const char* text)>;
std::string SongErrorMessage(const SongError& error, std::string_view name,
                             const TextTranslator& translate);

}  // namespace tonvale
