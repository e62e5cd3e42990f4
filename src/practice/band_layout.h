// The song band's lines: the printed items of a song (the header, notes,
// dashes, bar lines) placed left to right and broken into lines that fit a
// width. A pure function of the song and of widths the window measures, in
// whatever unit it draws (pixels at scale 1, say, scaled when drawn).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "practice/song.h"

namespace tonvale {

struct BandWidths {
  std::int32_t header = 0;      // the title and "1=D 4/4" at each line's start
  std::int32_t note = 0;        // a digit with its dots and underlines
  std::int32_t accidental = 0;  // added to a note that has one
  std::int32_t dash = 0;
  std::int32_t bar_line = 0;
  std::int32_t gap = 0;  // between two items
};

enum class BandItemKind : std::uint8_t { kHeader, kNote, kDash, kBarLine };

struct BandItem {
  BandItemKind kind = BandItemKind::kNote;
  std::int32_t note = -1;  // index in song.notes: the note, or the note a dash holds; else -1
  std::int32_t dash = 0;   // 1.. for the n-th dash of its note
  std::int64_t tick = 0;   // where it stands in time (a bar line: the bar's end)
  std::int32_t x = 0;      // left edge within its line
  std::int32_t width = 0;
  // Underlines shared with the next item (a beam): both are notes of one
  // beat (or one triplet) with underlines; the smaller count of the two.
  std::int8_t beam_to_next = 0;
};

struct BandLine {
  std::size_t first_item = 0;  // items[first_item, end_item), the header first
  std::size_t end_item = 0;
  // The notes whose digits stand on it; -1 when it holds only dashes.
  std::int32_t first_note = -1;
  std::int32_t last_note = -1;
  std::int32_t width = 0;  // of its items with the gaps between them
};

struct BandLayout {
  std::vector<BandItem> items;
  std::vector<BandLine> lines;
};

// Lines begin with a header item and break after a bar line where the next
// bar does not fit; a bar longer than a whole line breaks between its items
// (a recording, without bars, anywhere). A bar line closes the song. Every
// line holds at least one item besides its header, whatever the width.
BandLayout LayoutBand(const Song& song, const BandWidths& widths, std::int32_t line_width);

// The line showing song.notes[note] (a note, rest or tied note), or 0 when
// the layout holds no such note.
std::size_t LineOfNote(const BandLayout& layout, std::size_t note);

}  // namespace tonvale
