#include "practice/song_reader.h"

#include <charconv>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "perform/key_table.h"
#include "practice/note_key.h"

namespace tonvale {

namespace {

constexpr std::int64_t kWhole = 4 * kTicksPerCrotchet;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    int more = 0;
    std::uint32_t min = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      ++p;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      more = 1, min = 0x80, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      more = 2, min = 0x800, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      more = 3, min = 0x10000, cp = c & 0x07;
    } else {
      return false;
    }
    if (end - p <= more) return false;
    for (int i = 1; i <= more; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    p += more + 1;
  }
  return true;
}

std::optional<std::int64_t> Number(std::string_view text) {
  std::int64_t value = 0;
  if (text.empty() || text.size() > 9) return std::nullopt;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

bool IsPowerOfTwoUpTo32(std::int64_t n) {
  return n >= 1 && n <= 32 && (n & (n - 1)) == 0;
}

// "4", "8", "4.", "8*3": the length of a note value, as an upbeat is written.
std::optional<std::int64_t> NoteValueTicks(std::string_view text) {
  std::int64_t times = 1;
  bool dotted = false;
  if (const std::size_t star = text.find('*'); star != std::string_view::npos) {
    const std::optional<std::int64_t> n = Number(text.substr(star + 1));
    if (!n || *n < 1 || *n > 64) return std::nullopt;
    times = *n;
    text = text.substr(0, star);
  } else if (!text.empty() && text.back() == '.') {
    dotted = true;
    text.remove_suffix(1);
  }
  const std::optional<std::int64_t> unit = Number(text);
  if (!unit || !IsPowerOfTwoUpTo32(*unit)) return std::nullopt;
  const std::int64_t ticks = kWhole / *unit;
  return (dotted ? ticks * 3 / 2 : ticks) * times;
}

// "C", "F#", "Bb", "eb": the pitch class of a key's note name.
std::optional<int> PitchClass(std::string_view name) {
  static constexpr int kNatural[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  if (name.empty() || name.size() > 2) return std::nullopt;
  const char letter = static_cast<char>(name[0] | 0x20);
  if (letter < 'a' || letter > 'g') return std::nullopt;
  int pc = kNatural[letter - 'a'];
  if (name.size() == 2) {
    if (name[1] == '#') {
      ++pc;
    } else if (name[1] == 'b') {
      --pc;
    } else {
      return std::nullopt;
    }
  }
  return (pc + 12) % 12;
}

struct Word {
  std::string_view text;
  std::int32_t line;
};

// A failed read, carried out of the nested parsing code.
struct Refusal {
  SongError error;
};

[[noreturn]] void Refuse(SongProblem problem, const Word& word) {
  throw Refusal{SongError{problem, word.line, std::string(word.text)}};
}

[[noreturn]] void RefuseFile(SongProblem problem) {
  throw Refusal{SongError{problem, 0, {}}};
}

// Splits the text into words and hands each to `take` as it comes,
// dropping what is skipped whole: comments, lyric lines, header lines (the
// title is kept), texts, grace notes, and everything after NextPart or
// NextScore.
class Words {
 public:
  Words(std::string_view text, const std::function<void(const Word&)>& take) : take_(take) {
    Split(text);
  }
  const std::string& title() const { return title_; }

 private:
  void Split(std::string_view text) {
    std::int32_t line_number = 0;
    std::optional<Word> grace;  // an open g[ ... ]
    while (!text.empty()) {
      const std::size_t newline = text.find('\n');
      std::string_view line = text.substr(0, newline);
      text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
      ++line_number;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (SplitLine(line, line_number, grace)) return;
    }
    if (grace) Refuse(SongProblem::kGraceNotClosed, *grace);
  }

  // True when the rest of the text is to be skipped.
  bool SplitLine(std::string_view line, std::int32_t number, std::optional<Word>& grace) {
    std::size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) ++at;
    const std::string_view rest = line.substr(at);
    if (!grace) {
      if (rest.starts_with("L:") || rest.starts_with("H:")) return false;
      if (rest.starts_with("LP:")) Refuse(SongProblem::kLilyPondBlock, {rest.substr(0, 3), number});
      // name=value: the title, or another header that does not concern us.
      std::size_t name_end = 0;
      while (name_end < rest.size() &&
             (IsLetter(rest[name_end]) ||
              (name_end > 0 &&
               (IsDigit(rest[name_end]) || rest[name_end] == '-' || rest[name_end] == '_')))) {
        ++name_end;
      }
      if (name_end > 0 && name_end < rest.size() && rest[name_end] == '=' &&
          rest.substr(0, name_end) != "Fr") {
        if (rest.substr(0, name_end) == "title" && title_.empty()) {
          std::string_view value = rest.substr(name_end + 1);
          while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
          while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
          title_ = std::string(value);
        }
        return false;
      }
    }
    while (at < line.size()) {
      if (IsBlank(line[at])) {
        ++at;
        continue;
      }
      if (line[at] == '%') return false;
      const std::size_t begin = at;
      if ((line[at] == '^' || line[at] == '_') && at + 1 < line.size() && line[at + 1] == '"') {
        const std::size_t close = line.find('"', at + 2);
        if (close == std::string_view::npos) {
          std::size_t end = at;
          while (end < line.size() && !IsBlank(line[end])) ++end;
          Refuse(SongProblem::kTextNotClosed, {line.substr(begin, end - begin), number});
        }
        at = close + 1;
        continue;
      }
      while (at < line.size() && !IsBlank(line[at]) && line[at] != '%') ++at;
      const Word word{line.substr(begin, at - begin), number};
      if (grace) {
        if (word.text.find(']') != std::string_view::npos) grace.reset();
        continue;
      }
      if (word.text.starts_with("g[")) {
        if (word.text.find(']') == std::string_view::npos) grace = word;
        continue;
      }
      if (word.text == "NextPart" || word.text == "NextScore") return true;
      take_(word);
    }
    return false;
  }

  const std::function<void(const Word&)>& take_;
  std::string title_;
};

// A note or a dash in written order, and the bar line that follows it
// (written or implied).
struct Written {
  bool dash = false;
  bool bar_after = false;
  std::int64_t ticks = 0;  // the head of a note, or a dash's crotchet
  std::size_t note = 0;    // a note's index in the written notes
};

struct Range {
  std::size_t begin = 0;
  std::size_t end = 0;
};

struct Repeat {
  Range body;
  std::vector<Range> endings;
};

class Parser {
 public:
  Song Read(std::string_view text) {
    // A word and its blank take at least two bytes; most take three or more.
    written_.reserve(text.size() / 3);
    notes_.reserve(text.size() / 3);
    const Words words(text, [this](const Word& word) { Take(word); });
    Finish();
    Song song = Unroll();
    song.title = words.title();
    return song;
  }

 private:
  enum class Block { kTop, kRepeat, kAfterRepeat, kEndings };

  // Where the bar stands in written order.
  struct BarState {
    std::int64_t pos = 0;      // ticks into the current bar
    std::int64_t length = 0;   // of the current bar (the upbeat's first)
    std::int64_t regular = 0;  // of the bars after it
  };

  void Take(const Word& word) {
    std::string_view text = word.text;
    // Slurs, a triplet's brackets and ties can stick to a note.
    while (!text.empty() && text.front() == '(') text.remove_prefix(1);
    if (text.size() >= 2 && IsDigit(text[0]) && text[1] == '[') {
      OpenTuplet(word, text[0]);
      text.remove_prefix(2);
    }
    std::size_t core_end = text.size();
    while (core_end > 0 &&
           (text[core_end - 1] == ')' || text[core_end - 1] == ']' || text[core_end - 1] == '~')) {
      --core_end;
    }
    const std::string_view core = text.substr(0, core_end);
    if (!core.empty()) TakeCore(word, core);
    for (const char c : text.substr(core_end)) {
      if (c == '~') Tie(word);
      if (c == ']') CloseTuplet(word);
    }
  }

  void TakeCore(const Word& word, std::string_view core) {
    if (core.front() == '\\') return;  // dynamics and other typesetting commands
    if (core.starts_with("Fr=")) return;
    if (core == "|") return BarLine(word);
    if (core == "R{") return OpenRepeat(word);
    if (core == "A{") return OpenEndings(word);
    // Only bar lines may stand between a repeat and its endings.
    if (block_ == Block::kAfterRepeat) block_ = Block::kTop;
    if (core == "-") return Dash(word);
    if (core == "}") return CloseBrace(word);
    if (core == "KeepLength") Refuse(SongProblem::kKeepLength, word);
    if (core.starts_with("LP:")) Refuse(SongProblem::kLilyPondBlock, word);
    if (core.find('=') != std::string_view::npos) return KeyOrTempo(word, core);
    if (core.find('/') != std::string_view::npos) return Time(word, core);
    Note(word, core);
  }

  void NotInTuplet(const Word& word) const {
    if (tuplet_) Refuse(SongProblem::kNotInTuplet, word);
  }

  // A tie waiting for its second note cannot pass a repeat's edge.
  void RepeatEdge(const Word& word) {
    NotInTuplet(word);
    if (tie_) Refuse(SongProblem::kTieAcrossRepeat, *tie_);
    last_note_.reset();
  }

  void KeyOrTempo(const Word& word, std::string_view core) {
    NotInTuplet(word);
    const std::size_t eq = core.find('=');
    const std::string_view left = core.substr(0, eq);
    const std::string_view right = core.substr(eq + 1);
    if (left == "1" || left == "6") {
      const std::optional<int> pc = PitchClass(right);
      if (!pc) Refuse(SongProblem::kBadKey, word);
      const std::int32_t mode = left == "1" ? MajorKeyMode(*pc) : MinorKeyMode(*pc);
      if (!seen_note_) {
        key_mode_ = mode;
        key_text_ = std::string(core);
      }
      key_offset_ = *TonicOffset(mode);
      return;
    }
    if (left.empty() || left.find_first_not_of("0123456789") != std::string_view::npos) {
      Refuse(SongProblem::kUnknownWord, word);
    }
    if (left != "4") Refuse(SongProblem::kBadTempo, word);
    const std::optional<std::int64_t> tempo = Number(right);
    if (!tempo || *tempo < kMinTempo || *tempo > kMaxTempo) Refuse(SongProblem::kBadTempo, word);
    if (seen_note_) Refuse(SongProblem::kLateTempo, word);
    tempo_ = static_cast<std::int32_t>(*tempo);
  }

  void Time(const Word& word, std::string_view core) {
    NotInTuplet(word);
    std::optional<std::string_view> upbeat_text;
    if (const std::size_t comma = core.find(','); comma != std::string_view::npos) {
      upbeat_text = core.substr(comma + 1);
      core = core.substr(0, comma);
    }
    const std::size_t slash = core.find('/');
    const std::optional<std::int64_t> beats = Number(core.substr(0, slash));
    const std::optional<std::int64_t> unit = Number(core.substr(slash + 1));
    if (!beats || *beats < 1 || *beats > 32 || !unit || !IsPowerOfTwoUpTo32(*unit)) {
      Refuse(SongProblem::kBadTime, word);
    }
    const TimeSignature time{static_cast<std::int32_t>(*beats), static_cast<std::int32_t>(*unit)};
    std::int64_t upbeat = 0;
    if (upbeat_text) {
      const std::optional<std::int64_t> ticks = NoteValueTicks(*upbeat_text);
      if (!ticks || *ticks >= time.BarTicks() || seen_note_) Refuse(SongProblem::kBadUpbeat, word);
      upbeat = *ticks;
    }
    if (seen_note_) {
      if (bar_.pos != 0) Refuse(SongProblem::kTimeInsideBar, word);
      bar_.length = bar_.regular = time.BarTicks();
      return;
    }
    time_ = time;
    upbeat_ = upbeat;
    bar_.regular = time.BarTicks();
    bar_.length = upbeat > 0 ? upbeat : bar_.regular;
  }

  void Note(const Word& word, std::string_view core) {
    SongNote note;
    std::size_t at = 0;
    switch (core[0]) {
      case 'q':
        note.underlines = 1, at = 1;
        break;
      case 's':
        note.underlines = 2, at = 1;
        break;
      case 'd':
        note.underlines = 3, at = 1;
        break;
      default:
        break;
    }
    int digits = 0, sharps = 0, flats = 0, ups = 0, downs = 0, dots = 0, slashes = 0;
    char digit = 0;
    for (const char c : core.substr(at)) {
      if (IsDigit(c)) {
        ++digits;
        digit = c;
      } else if (c == '#') {
        ++sharps;
      } else if (c == 'b') {
        ++flats;
      } else if (c == '\'') {
        ++ups;
      } else if (c == ',') {
        ++downs;
      } else if (c == '.') {
        ++dots;
      } else if (c == '\\') {
        ++slashes;
      } else if (c == '(' || c == ')') {
        // A slur begun or ended on this note.
      } else if (c == 'x') {
        Refuse(SongProblem::kPercussion, word);
      } else {
        Refuse(SongProblem::kUnknownWord, word);
      }
    }
    if (digits == 0) Refuse(SongProblem::kUnknownWord, word);
    if (digits > 1) Refuse(SongProblem::kChord, word);
    if (sharps + flats > 1) Refuse(SongProblem::kTwoAccidentals, word);
    if (ups > 0 && downs > 0) Refuse(SongProblem::kOctaveBothWays, word);
    if (note.underlines + slashes > 3) Refuse(SongProblem::kTooShort, word);
    if (dots > 1) Refuse(SongProblem::kTwoDots, word);
    if (digit == '0' && (sharps + flats + ups + downs) > 0) Refuse(SongProblem::kMarkedRest, word);

    note.degree = static_cast<std::int8_t>(digit - '0');
    note.octave = static_cast<std::int8_t>(ups - downs);
    if (digit == '8' || digit == '9') {
      note.degree = static_cast<std::int8_t>(digit - '7');
      ++note.octave;
    }
    note.accidental = sharps ? Accidental::kSharp : flats ? Accidental::kFlat : Accidental::kNone;
    note.underlines = static_cast<std::int8_t>(note.underlines + slashes);
    note.dotted = dots == 1;
    note.line = word.line;
    note.word = std::string(word.text);

    std::int64_t ticks = kTicksPerCrotchet >> note.underlines;
    if (note.dotted) ticks = ticks * 3 / 2;
    if (tuplet_) {
      ticks = ticks * 2 / 3;  // every written length is a multiple of 3 ticks
      note.tuplet = 3;
      note.tuplet_first = tuplet_notes_ == 0;
      ++tuplet_notes_;
    }

    if (note.degree != 0) {
      static constexpr int kDegreeSemitones[8] = {0, 0, 2, 4, 5, 7, 9, 11};
      note.pitch = (key_offset_ - *TonicOffset(key_mode_)) + kDegreeSemitones[note.degree] +
                   static_cast<int>(note.accidental) + 12 * note.octave;
      if (note.pitch > kHighestPitch) Refuse(SongProblem::kTooHigh, word);
      if (note.pitch < kLowestPitch) Refuse(SongProblem::kTooLow, word);
      note.key = *KeyForPitch(note.pitch);
    }
    if (tie_) {
      if (note.degree == 0) Refuse(SongProblem::kTieWithoutNote, *tie_);
      if (note.pitch != notes_[*last_note_].pitch) {
        Refuse(SongProblem::kTieToOtherPitch, word);
      }
      note.tied_from_previous = true;
      tie_.reset();
    }
    seen_note_ = true;
    Written w;
    w.ticks = ticks;
    w.note = notes_.size();
    notes_.push_back(std::move(note));
    Place(word, w);
    last_note_ = w.note;
  }

  void Dash(const Word& word) {
    if (!last_note_) Refuse(SongProblem::kDashWithoutNote, word);
    if (tie_) Refuse(SongProblem::kTieWithoutNote, *tie_);
    if (tuplet_ || notes_[*last_note_].tuplet != 0) Refuse(SongProblem::kDashInTuplet, word);
    Written w;
    w.dash = true;
    w.ticks = kTicksPerCrotchet;
    Place(word, w);
  }

  // Appends a note or dash, checks it stays within its bar, and marks the
  // bar's end when it fills the bar.
  void Place(const Word& word, Written w) {
    if (bar_.pos + w.ticks > bar_.length) Refuse(SongProblem::kCrossesBarLine, word);
    bar_.pos += w.ticks;
    if (bar_.pos == bar_.length) {
      w.bar_after = true;
      bar_.pos = 0;
      bar_.length = bar_.regular;
    }
    written_.push_back(w);
    if (written_.size() > kMaxSongItems) RefuseFile(SongProblem::kTooLong);
  }

  void BarLine(const Word& word) {
    if (block_ == Block::kEndings) {
      RepeatEdge(word);
      repeats_.back().endings.back().end = written_.size();
      repeats_.back().endings.push_back({written_.size(), written_.size()});
      bar_ = bar_at_body_end_;
      return;
    }
    NotInTuplet(word);
    if (bar_.pos != 0) Refuse(SongProblem::kBarLineMisplaced, word);
  }

  void Tie(const Word& word) {
    if (!last_note_ || notes_[*last_note_].degree == 0 || tie_) {
      Refuse(SongProblem::kTieWithoutNote, word);
    }
    notes_[*last_note_].tie_to_next = true;
    tie_ = word;
  }

  void OpenTuplet(const Word& word, char count) {
    if (tuplet_) Refuse(SongProblem::kNestedTuplet, word);
    if (count != '3') Refuse(SongProblem::kOnlyTriplets, word);
    tuplet_ = word;
    tuplet_notes_ = 0;
  }

  void CloseTuplet(const Word& word) {
    if (!tuplet_) Refuse(SongProblem::kStrayBracket, word);
    if (tuplet_notes_ > 0) notes_[*last_note_].tuplet_last = true;
    tuplet_.reset();
  }

  void OpenRepeat(const Word& word) {
    RepeatEdge(word);
    if (block_ == Block::kRepeat || block_ == Block::kEndings) {
      Refuse(SongProblem::kNestedRepeat, word);
    }
    block_ = Block::kRepeat;
    open_ = word;
    repeats_.push_back({{written_.size(), written_.size()}, {}});
  }

  void OpenEndings(const Word& word) {
    RepeatEdge(word);
    if (block_ != Block::kAfterRepeat) Refuse(SongProblem::kEndingWithoutRepeat, word);
    block_ = Block::kEndings;
    open_ = word;
    repeats_.back().endings.push_back({written_.size(), written_.size()});
    bar_at_body_end_ = bar_;
  }

  void CloseBrace(const Word& word) {
    RepeatEdge(word);
    if (block_ == Block::kRepeat) {
      repeats_.back().body.end = written_.size();
      block_ = Block::kAfterRepeat;
    } else if (block_ == Block::kEndings) {
      repeats_.back().endings.back().end = written_.size();
      block_ = Block::kTop;
    } else {
      Refuse(SongProblem::kStrayBrace, word);
    }
  }

  void Finish() {
    if (tuplet_) Refuse(SongProblem::kTupletNotClosed, *tuplet_);
    if (block_ == Block::kRepeat || block_ == Block::kEndings) {
      Refuse(SongProblem::kRepeatNotClosed, *open_);
    }
    if (tie_) Refuse(SongProblem::kTieWithoutNote, *tie_);
  }

  // Writes the repeats out and turns the written notes and dashes into the
  // song's notes in playing order.
  Song Unroll() {
    // The written passages in playing order.
    std::vector<Range> played;
    std::size_t at = 0;
    for (const Repeat& repeat : repeats_) {
      played.push_back({at, repeat.body.begin});
      const std::size_t endings = repeat.endings.size();
      const std::size_t plays = endings > 2 ? endings : 2;
      for (std::size_t play = 0; play < plays; ++play) {
        played.push_back(repeat.body);
        if (endings > 0) played.push_back(repeat.endings[play < endings ? play : endings - 1]);
      }
      at = endings > 0 ? repeat.endings.back().end : repeat.body.end;
    }
    played.push_back({at, written_.size()});
    std::size_t count = 0;
    for (const Range& range : played) {
      count += range.end - range.begin;
      if (count > kMaxSongItems) RefuseFile(SongProblem::kTooLong);
    }

    Song song;
    song.key_text = key_text_;
    song.key_mode = key_mode_;
    song.time = time_;
    song.upbeat = upbeat_;
    song.tempo = tempo_;
    // Without repeats every written note is played once: it stays where it is.
    const bool in_place = repeats_.empty();
    if (in_place) {
      song.notes = std::move(notes_);
    } else {
      song.notes.reserve(count);
    }
    SongNote* last = nullptr;
    std::size_t placed = 0;
    std::int64_t tick = 0;
    for (const Range& range : played) {
      for (std::size_t index = range.begin; index < range.end; ++index) {
        const Written& w = written_[index];
        if (w.dash) {
          last->length += w.ticks;
          ++last->dashes;
        } else {
          last = in_place ? &song.notes[placed++] : &song.notes.emplace_back(notes_[w.note]);
          last->start = tick;
          last->length = w.ticks;
        }
        tick += w.ticks;
        if (w.bar_after && (song.bar_ends.empty() || song.bar_ends.back() < tick)) {
          song.bar_ends.push_back(tick);
        }
      }
    }
    song.length = tick;
    // The sound of a note lasts through the notes tied to it.
    for (std::size_t i = song.notes.size(); i-- > 0;) {
      SongNote& note = song.notes[i];
      if (!note.Played()) continue;
      note.sound_length = note.length;
      for (std::size_t j = i; song.notes[j].tie_to_next && j + 1 < song.notes.size(); ++j) {
        note.sound_length += song.notes[j + 1].length;
      }
    }
    if (song.PlayedCount() == 0) RefuseFile(SongProblem::kNoNotes);
    return song;
  }

  std::vector<Written> written_;
  std::vector<SongNote> notes_;  // the written notes
  std::vector<Repeat> repeats_;
  std::optional<std::size_t> last_note_;  // in notes_: the note a dash or tie refers to
  std::optional<Word> tie_;               // a tie waiting for its second note
  std::optional<Word> tuplet_;            // an open triplet
  int tuplet_notes_ = 0;
  std::optional<Word> open_;  // the open R{ or A{
  Block block_ = Block::kTop;
  BarState bar_{0, 4 * kTicksPerCrotchet, 4 * kTicksPerCrotchet};  // 4/4 until told
  BarState bar_at_body_end_;
  bool seen_note_ = false;
  std::int32_t key_mode_ = kDefaultKeyMode;
  std::string key_text_ = "1=C";
  int key_offset_ = 0;
  TimeSignature time_;
  std::int64_t upbeat_ = 0;
  std::int32_t tempo_ = 60;
};

}  // namespace

SongReadResult ReadSongText(std::string_view text) {
  if (text.size() > kMaxSongBytes) {
    return SongError{SongProblem::kTooLarge, 0, {}};
  }
  if (!IsUtf8(text)) return SongError{SongProblem::kNotUtf8, 0, {}};
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  try {
    Parser parser;
    return parser.Read(text);
  } catch (const Refusal& refusal) {
    return refusal.error;
  }
}

}  // namespace tonvale
