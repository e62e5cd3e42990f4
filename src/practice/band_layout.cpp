#include "practice/band_layout.h"

#include <algorithm>

namespace tonvale {

namespace {

// Underlines are joined within one beat: a crotchet, or a dotted crotchet
// in 3/8, 6/8, 9/8 and 12/8.
std::int64_t BeamBeat(const TimeSignature& time) {
  return time.unit == 8 && time.beats % 3 == 0 ? 3 * kTicksPerCrotchet / 2 : kTicksPerCrotchet;
}

// The items in time order, without positions.
std::vector<BandItem> Items(const Song& song, const BandWidths& widths) {
  std::vector<BandItem> items;
  items.reserve(song.notes.size() + song.bar_ends.size() + 1);
  std::size_t bar = 0;
  const auto bars_until = [&](std::int64_t tick) {
    for (; bar < song.bar_ends.size() && song.bar_ends[bar] <= tick; ++bar) {
      items.push_back({BandItemKind::kBarLine, -1, 0, song.bar_ends[bar], 0, widths.bar_line, 0});
    }
  };
  for (std::size_t i = 0; i < song.notes.size(); ++i) {
    const SongNote& note = song.notes[i];
    const auto index = static_cast<std::int32_t>(i);
    bars_until(note.start);
    const std::int32_t width =
        widths.note + (note.accidental != Accidental::kNone ? widths.accidental : 0);
    items.push_back({BandItemKind::kNote, index, 0, note.start, 0, width, 0});
    for (std::int32_t d = 1; d <= note.dashes; ++d) {
      const std::int64_t tick = note.start + note.HeadLength() + (d - 1) * kTicksPerCrotchet;
      bars_until(tick);
      items.push_back({BandItemKind::kDash, index, d, tick, 0, widths.dash, 0});
    }
  }
  bars_until(song.length);
  if (song.has_bars && !items.empty() && items.back().kind != BandItemKind::kBarLine) {
    items.push_back({BandItemKind::kBarLine, -1, 0, song.length, 0, widths.bar_line, 0});
  }
  return items;
}

void Beam(const Song& song, std::vector<BandItem>& items) {
  const std::int64_t beat = BeamBeat(song.time);
  // Where the bar of the current item began; an upbeat's bar began before 0.
  std::int64_t bar_start = song.upbeat > 0 ? song.upbeat - song.time.BarTicks() : 0;
  for (std::size_t i = 0; i + 1 < items.size(); ++i) {
    if (items[i].kind == BandItemKind::kBarLine) bar_start = items[i].tick;
    if (items[i].kind != BandItemKind::kNote || items[i + 1].kind != BandItemKind::kNote) continue;
    const SongNote& a = song.notes[items[i].note];
    const SongNote& b = song.notes[items[i + 1].note];
    if (a.underlines == 0 || b.underlines == 0) continue;
    const bool one_triplet = a.tuplet != 0 && b.tuplet != 0 && !a.tuplet_last;
    const bool one_beat = a.tuplet == 0 && b.tuplet == 0 &&
                          (a.start - bar_start) / beat == (b.start - bar_start) / beat;
    if (one_triplet || one_beat) items[i].beam_to_next = std::min(a.underlines, b.underlines);
  }
}

}  // namespace

BandLayout LayoutBand(const Song& song, const BandWidths& widths, std::int32_t line_width) {
  BandLayout layout;
  const std::vector<BandItem> items = Items(song, widths);
  std::int32_t x = 0;
  const auto new_line = [&] {
    if (!layout.lines.empty()) layout.lines.back().end_item = layout.items.size();
    layout.lines.push_back({layout.items.size(), layout.items.size(), -1, -1, 0});
    layout.items.push_back({BandItemKind::kHeader, -1, 0, 0, 0, widths.header, 0});
    x = widths.header;
  };
  const auto place = [&](BandItem item) {
    BandLine& line = layout.lines.back();
    item.x = x + widths.gap;
    item.tick = item.kind == BandItemKind::kHeader ? 0 : item.tick;
    x = item.x + item.width;
    line.width = x;
    if (item.kind == BandItemKind::kNote) {
      if (line.first_note < 0) line.first_note = item.note;
      line.last_note = item.note;
    }
    layout.items.push_back(item);
  };
  const auto fits = [&](std::int32_t width) { return x + width <= line_width; };

  new_line();
  std::size_t group = 0;  // the first item of the bar being placed
  while (group < items.size()) {
    // A bar: up to and including its bar line; a recording's items one by one.
    std::size_t end = group + 1;
    if (song.has_bars) {
      while (end < items.size() && items[end - 1].kind != BandItemKind::kBarLine) ++end;
    }
    std::int32_t width = 0;
    for (std::size_t i = group; i < end; ++i) width += widths.gap + items[i].width;
    const bool line_empty = layout.items.size() == layout.lines.back().first_item + 1;
    if (!line_empty && !fits(width)) new_line();
    for (std::size_t i = group; i < end; ++i) {
      // Too long a bar breaks between its items; a bar line stays with the
      // note before it.
      const bool empty = layout.items.size() == layout.lines.back().first_item + 1;
      if (!empty && items[i].kind != BandItemKind::kBarLine && !fits(widths.gap + items[i].width)) {
        new_line();
      }
      place(items[i]);
    }
    group = end;
  }
  layout.lines.back().end_item = layout.items.size();
  // After the line breaks: a header between two notes parts their beam.
  Beam(song, layout.items);
  return layout;
}

std::size_t LineOfNote(const BandLayout& layout, std::size_t note) {
  const auto index = static_cast<std::int32_t>(note);
  for (std::size_t line = 0; line < layout.lines.size(); ++line) {
    const BandLine& l = layout.lines[line];
    if (l.first_note >= 0 && l.first_note <= index && index <= l.last_note) return line;
  }
  return 0;
}

}  // namespace tonvale
