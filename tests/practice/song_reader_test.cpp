// The song reader: every construct of the notation it reads, and every
// refusal with its line, word and reason.
#include "practice/song_reader.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "practice_fixture.h"

namespace tonvale {
namespace {

using test::ReadFails;
using test::ReadOk;

// One note as "degree accidental octave = pitch", e.g. "2b-1=-11".
std::string Printed(const SongNote& n) {
  const char accidental = " #b"[n.accidental == Accidental::kSharp  ? 1
                                : n.accidental == Accidental::kFlat ? 2
                                                                    : 0];
  return std::to_string(n.degree) + accidental + std::to_string(n.octave) + '=' +
         std::to_string(n.pitch);
}

// One note's time as "start:length:sound:underlines:dashes", then "." when
// dotted, "~" when tied to the next, "^" when tied from the previous.
std::string Timed(const SongNote& n) {
  std::string text;
  for (const std::int64_t v :
       {n.start, n.length, n.sound_length, std::int64_t{n.underlines}, std::int64_t{n.dashes}}) {
    text += std::to_string(v) + ':';
  }
  text.pop_back();
  return text + (n.dotted ? "." : "") + (n.tie_to_next ? "~" : "") +
         (n.tied_from_previous ? "^" : "");
}

template <class F>
std::vector<std::string> Each(const Song& song, F describe) {
  std::vector<std::string> out;
  for (const SongNote& n : song.notes) out.push_back(describe(n));
  return out;
}

TEST(SongReader, PitchesTakeTheirMarksInAnyOrder) {
  const Song song = ReadOk("1 #1 1# b2 2b 1' '1 1, ,1 8 9 7,, 4'' 0");
  EXPECT_EQ(Each(song, Printed),
            (std::vector<std::string>{"1 0=0", "1#0=1", "1#0=1", "2b0=1", "2b0=1", "1 1=12",
                                      "1 1=12", "1 -1=-12", "1 -1=-12", "1 1=12", "2 1=14",
                                      "7 -2=-13", "4 2=29", "0 0=0"}));
  EXPECT_EQ(song.notes[1].key, (SongKey{44, 0}));   // Z
  EXPECT_EQ(song.notes[12].key, (SongKey{40, 1}));  // Shift+'
  EXPECT_EQ(song.notes[13].start, 13 * 192);
  EXPECT_TRUE(song.notes[13].Rest());
  EXPECT_EQ(song.PlayedCount(), 13u);
}

TEST(SongReader, LengthsDotsDashesAndTies) {
  const Song song = ReadOk(
      "q1 s1 d1 1\\ 1\\\\ 1\\\\\\ 1. q1. | 1 - - - |\n"
      "2 - ~ 2 3 ~ | 3 - 0 - | q1\\ s1");
  EXPECT_EQ(Each(song, Timed),
            (std::vector<std::string>{
                "0:96:96:1:0", "96:48:48:2:0", "144:24:24:3:0", "168:96:96:1:0", "264:48:48:2:0",
                "312:24:24:3:0", "336:288:288:0:0.", "624:144:144:1:0.", "768:768:768:0:3",
                "1536:384:576:0:1~", "1920:192:0:0:0^", "2112:192:576:0:0~", "2304:384:0:0:1^",
                "2688:384:0:0:1", "3072:48:48:2:0", "3120:48:48:2:0"}));
  EXPECT_EQ(song.notes[8].HeadLength(), 192);
  EXPECT_EQ(song.notes[10].line, 2);
  EXPECT_EQ(song.bar_ends, (std::vector<std::int64_t>{768, 1536, 2304, 3072}));
  EXPECT_EQ(song.length, 3168);
  EXPECT_EQ(song.PlayedCount(), 13u);
}

TEST(SongReader, TripletsPlayThreeInTheTimeOfTwo) {
  const Song song = ReadOk("3[ q1 q2 q3 ] 3[ 1 2 3 ] q4 q4 | 3[q5 q6 q7] 3[ s1 s2 s3] s4 s4 1 1");
  // "start:tuplet", then "[" where a bracket begins and "]" where it ends.
  EXPECT_EQ(Each(song,
                 [](const SongNote& n) {
                   return std::to_string(n.start) + ':' + std::to_string(n.tuplet) +
                          (n.tuplet_first ? "[" : "") + (n.tuplet_last ? "]" : "");
                 }),
            (std::vector<std::string>{"0:3[", "64:3", "128:3]", "192:3[", "320:3", "448:3]",
                                      "576:0", "672:0", "768:3[", "832:3", "896:3]", "960:3[",
                                      "992:3", "1024:3]", "1056:0", "1104:0", "1152:0", "1344:0"}));
  EXPECT_EQ(song.notes[9].word, "q6");
  EXPECT_EQ(song.bar_ends, (std::vector<std::int64_t>{768, 1536}));
}

TEST(SongReader, TheKeyInForceAtTheFirstNoteSetsTheModeLaterKeysMoveTheDegrees) {
  // The text, then "mode key: pitches".
  const std::pair<const char*, const char*> cases[] = {
      {"1 2", "1297 1=C: 0 2"},
      {"1=D 1 2", "1298 1=D: 0 2"},
      {"1=Bb 1", "1312 1=Bb: 0"},
      {"1=F# 1", "1304 1=F#: 0"},
      {"1=c 1", "1297 1=c: 0"},
      {"6=E 6 1", "1317 6=E: 9 0"},
      {"6=Bb 6", "1332 6=Bb: 9"},
      {"1=C 1=D 1", "1298 1=D: 0"},
      // From C major: G's degree 1 is 7 up, F's 5 up; from G, C's 7 down.
      {"1=C 1 1=G 1 1=F 1", "1297 1=C: 0 7 5"},
      {"1=G 1 1=C 1 6=A 6", "1301 1=G: 0 -7 2"},
      // B major sits below C: its degree 1 is one semitone under C's.
      {"1=C 1 1=B 1", "1297 1=C: 0 -1"},
  };
  for (const auto& [text, expected] : cases) {
    const Song song = ReadOk(text);
    std::string got = std::to_string(song.key_mode) + ' ' + song.key_text + ':';
    for (const SongNote& n : song.notes) got += ' ' + std::to_string(n.pitch);
    EXPECT_EQ(got, expected) << text;
  }
}

TEST(SongReader, HeadersTimeUpbeatTempoAndTitle) {
  Song song = ReadOk("title=  Ode to Joy \ncomposer=nobody\n4=85 3/4,4\n5, | 1 2 3 | 1 - -");
  EXPECT_EQ(song.title, "Ode to Joy");
  EXPECT_EQ(song.tempo, 85);
  EXPECT_EQ(song.time, (TimeSignature{3, 4}));
  EXPECT_EQ(song.upbeat, 192);
  EXPECT_EQ(song.bar_ends, (std::vector<std::int64_t>{192, 768, 1344}));
  EXPECT_EQ(song.HeaderText(), "1=C 3/4,4");

  song = ReadOk("1");
  EXPECT_EQ(song.title, "");
  EXPECT_EQ(song.tempo, 60);
  EXPECT_EQ(song.time, (TimeSignature{4, 4}));
  EXPECT_EQ(song.HeaderText(), "1=C 4/4");

  // The time signature, then "upbeat ticks, header".
  const std::pair<const char*, const char*> upbeats[] = {{"6/8,8", "96, 1=C 6/8,8"},
                                                         {"4/4,4.", "288, 1=C 4/4,4."},
                                                         {"4/4,8*3", "288, 1=C 4/4,4."},
                                                         {"4/4,16*5", "240, 1=C 4/4,16*5"}};
  for (const auto& [time, expected] : upbeats) {
    song = ReadOk(std::string(time) + " d1");
    EXPECT_EQ(std::to_string(song.upbeat) + ", " + song.HeaderText(), expected) << time;
  }
  // A new time signature at a bar's start takes over from there.
  song = ReadOk("2/4 1 1 | 3/4 1 1 1 | 1 1 1 | 6/8 1. 1.");
  EXPECT_EQ(song.bar_ends, (std::vector<std::int64_t>{384, 960, 1536, 2112}));
}

TEST(SongReader, RepeatsAreWrittenOutWithTheirEndingsInTurn) {
  const auto degrees = [](const Song& song) {
    std::string text;
    for (const SongNote& n : song.notes) text += static_cast<char>('0' + n.degree);
    return text;
  };
  Song song = ReadOk("R{ 1 2 3 4 } 5 6 7 1'");
  EXPECT_EQ(degrees(song), "123412345671");
  EXPECT_EQ(song.bar_ends, (std::vector<std::int64_t>{768, 1536, 2304}));

  song = ReadOk("R{ 1 2 3 4 | } | A{ 5 5 5 5 | 6 6 6 6 } 1 - - -");
  EXPECT_EQ(degrees(song),
            "1234555512346666"
            "1");
  EXPECT_EQ(song.bar_ends.size(), 5u);
  EXPECT_EQ(song.length, 3840);

  // An upbeat inside the repeat: the bar left open at its end is completed
  // by the upbeat when it comes round again.
  song = ReadOk("4/4,4 R{ 5, | 1 1 1 1 | 2 2 2 } 3 | 4 - - -");
  EXPECT_EQ(degrees(song), "511112225111122234");
  EXPECT_EQ(song.bar_ends, (std::vector<std::int64_t>{192, 960, 1728, 2496, 3264, 4032}));
}

TEST(SongReader, SkipsCommentsLyricsTextGraceNotesAndAllAfterAnotherPart) {
  const Song song = ReadOk(
      "% a comment line 9 9\n"
      "title=T\n"
      "L: some lyrics 1 2 3\n"
      "  H: 歌词\n"
      "1 (2 3) \\p 4( ^\"rit. molto\" _\"a tempo\" g[#45] Fr=1 | )5 % 9 9\n"
      "\\fermata 1' g[ 1 2 ] Fr=2 6 7 |\n"
      "NextPart 9 9 9 x\n"
      "KeepLength\n");
  std::vector<std::string> words;
  for (const SongNote& n : song.notes) words.push_back(n.word);
  EXPECT_EQ(words, (std::vector<std::string>{"1", "(2", "3)", "4(", ")5", "1'", "6", "7"}));
  EXPECT_EQ(song.title, "T");
  EXPECT_EQ(song.notes[4].line, 5);
  EXPECT_EQ(song.notes[5].line, 6);
}

TEST(SongReader, RefusesWithTheLineTheWordAndTheReason) {
  struct Case {
    std::string text;
    SongProblem problem;
    int line;
    const char* word;
  };
  // Enough endings that the written-out song passes a million items.
  std::string too_long = "R{ ";
  for (int i = 0; i < 1000; ++i) too_long += "1 ";
  too_long += "} A{ 1";
  for (int i = 0; i < 999; ++i) too_long += " | 1";
  too_long += " }";
  const Case cases[] = {
      {"1 \xFF", SongProblem::kNotUtf8, 0, ""},
      {std::string(kMaxSongBytes + 1, ' '), SongProblem::kTooLarge, 0, ""},
      {"title=x\n0 0 0 0 |", SongProblem::kNoNotes, 0, ""},
      {too_long, SongProblem::kTooLong, 0, ""},
      {"1 2\n  hello 3", SongProblem::kUnknownWord, 2, "hello"},
      {"135", SongProblem::kChord, 1, "135"},
      {"1 x", SongProblem::kPercussion, 1, "x"},
      {"KeepLength 1", SongProblem::kKeepLength, 1, "KeepLength"},
      {"1\nLP:\n\\clef bass\n:LP", SongProblem::kLilyPondBlock, 2, "LP:"},
      {"6'' 7''", SongProblem::kTooHigh, 1, "7''"},
      {"5,,, 4,,,", SongProblem::kTooLow, 1, "4,,,"},
      {"1=H 1", SongProblem::kBadKey, 1, "1=H"},
      {"5/3 1", SongProblem::kBadTime, 1, "5/3"},
      {"1 1 1 1 | 3/4,4 1", SongProblem::kBadUpbeat, 1, "3/4,4"},
      {"4=19 1", SongProblem::kBadTempo, 1, "4=19"},
      {"4=401 1", SongProblem::kBadTempo, 1, "4=401"},
      {"1 2 3 4 |\r\n1 2 |", SongProblem::kBarLineMisplaced, 2, "|"},
      {"1 2 3 1.", SongProblem::kCrossesBarLine, 1, "1."},
      {"- 1", SongProblem::kDashWithoutNote, 1, "-"},
      {"~ 1", SongProblem::kTieWithoutNote, 1, "~"},
      {"1 2 3 4 ~\n| 2", SongProblem::kTieToOtherPitch, 2, "2"},
      {"R{ 1 1 1 1~ } 1", SongProblem::kTieAcrossRepeat, 1, "1~"},
      {"5[ 1 2 3 4 5 ]", SongProblem::kOnlyTriplets, 1, "5["},
      {"1\n3[ q1 q2 q3", SongProblem::kTupletNotClosed, 2, "3["},
      {"3[ 3[ 1 ] ]", SongProblem::kNestedTuplet, 1, "3["},
      {"3[ q1 | q2 q3 ]", SongProblem::kNotInTuplet, 1, "|"},
      {"R{ 1 R{ 1 } }", SongProblem::kNestedRepeat, 1, "R{"},
      {"R{ 1 2\n3", SongProblem::kRepeatNotClosed, 1, "R{"},
      {"1\ng[12 1 2", SongProblem::kGraceNotClosed, 2, "g[12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.size() > 80 ? c.text.substr(0, 80) : c.text);
    const SongError error = ReadFails(c.text);
    EXPECT_EQ(error.problem, c.problem);
    EXPECT_EQ(error.line, c.line);
    EXPECT_EQ(error.word, c.word);
  }
}

TEST(SongReader, MessagesNameTheFileTheLineTheWordAndTheReason) {
  EXPECT_EQ(SongErrorMessage({SongProblem::kChord, 12, "1%s3"}, "歌%d.txt"),
            "歌曲歌%d.txt第12行的“1%s3”：一个词里有两个音（和弦），只能练单旋律.");
  EXPECT_EQ(SongErrorMessage({SongProblem::kNotUtf8, 0, {}}, "a%s.txt"),
            "文件a%s.txt不是UTF-8编码的文本.");
  SongError recording{SongProblem::kRecording, 0, {}};
  recording.file_error = FileError::kNotSupported;
  EXPECT_EQ(SongErrorMessage(recording, "r.qvi"), "文件r.qvi不是被支持的Tonvale文件.");

  // In the window's language: the format and the reason are looked up under
  // the contexts they are marked with, and only then filled in.
  const std::map<std::pair<std::string, std::string>, std::string> english = {
      {{"SongError", "歌曲%s第%d行的“%s”：%s."}, "Song %s, line %d, “%s”: %s."},
      {{"SongError", "一个词里有两个音（和弦），只能练单旋律"}, "a chord"},
      {{"SongError", "文件%s不是UTF-8编码的文本."}, "%s is not UTF-8."},
      {{"FileError", "文件%s不是被支持的Tonvale文件."}, "%s is not supported."},
  };
  const TextTranslator translate = [&english](const char* context, const char* text) {
    const auto found = english.find({context, text});
    return found == english.end() ? std::string("?") : found->second;
  };
  EXPECT_EQ(SongErrorMessage({SongProblem::kChord, 12, "1%s3"}, "歌%d.txt", translate),
            "Song 歌%d.txt, line 12, “1%s3”: a chord.");
  EXPECT_EQ(SongErrorMessage({SongProblem::kNotUtf8, 0, {}}, "a%s.txt", translate),
            "a%s.txt is not UTF-8.");
  EXPECT_EQ(SongErrorMessage(recording, "r.qvi", translate), "r.qvi is not supported.");
}

}  // namespace
}  // namespace tonvale
