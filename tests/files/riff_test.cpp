#include "files/riff.h"

#include <gtest/gtest.h>

#include "files_fixture.h"

namespace tonvale::riff {
namespace {

using test::Append;
using test::Bytes;
using test::Text;
using Blob = std::vector<std::uint8_t>;

TEST(Riff, WriterPadsOddChunksAndPatchesNestedSizes) {
  Blob out;
  Writer w(out);
  w.BeginList(MakeFourCC("RIFF"), MakeFourCC("TEST"));
  w.BeginChunk(MakeFourCC("odd "));
  w.Append(Text("abc"));
  w.EndChunk();
  w.BeginList(MakeFourCC("LIST"), MakeFourCC("INFO"));
  w.BeginChunk(MakeFourCC("none"));
  w.EndChunk();
  w.EndChunk();
  w.AppendU32(0x01020304);
  w.EndChunk();
  ASSERT_TRUE(w.ok());
  Blob expected = Text("RIFF");
  Append(expected, Bytes({40, 0, 0, 0}));
  Append(expected, Text("TESTodd "));
  Append(expected, Bytes({3, 0, 0, 0, 'a', 'b', 'c', 0}));
  Append(expected, Text("LIST"));
  Append(expected, Bytes({12, 0, 0, 0}));
  Append(expected, Text("INFOnone"));
  Append(expected, Bytes({0, 0, 0, 0, 4, 3, 2, 1}));
  EXPECT_EQ(out, expected);

  // Bytes written outside the buffer count in every enclosing size.
  Blob head;
  Writer outside(head);
  outside.BeginList(MakeFourCC("RIFF"), MakeFourCC("TEST"));
  outside.BeginChunk(MakeFourCC("data"));
  outside.AppendOutside(1000);
  outside.EndChunk();
  outside.EndChunk();
  EXPECT_TRUE(outside.ok());
  EXPECT_EQ(LoadU32(&head[4]), 1012u);
  EXPECT_EQ(LoadU32(&head[16]), 1000u);

  Blob bad;
  Writer unbalanced(bad);
  unbalanced.EndChunk();
  EXPECT_FALSE(unbalanced.ok());
  Writer open_end(bad);
  open_end.BeginChunk(MakeFourCC("open"));
  EXPECT_FALSE(open_end.ok());
  Writer odd_outside(bad);
  odd_outside.BeginChunk(MakeFourCC("data"));
  odd_outside.AppendOutside(3);
  odd_outside.EndChunk();
  EXPECT_FALSE(odd_outside.ok());
}

TEST(Riff, ReaderFindsChunksWithinTheirParentOnly) {
  // RIFF "TEST" holding an odd chunk and "want"; another "want" follows the
  // form; a "RIFF" of another form precedes it.
  Blob file = Text("RIFF");
  Append(file, Bytes({4, 0, 0, 0}));
  Append(file, Text("WAVE"));
  Append(file, Text("RIFF"));
  Append(file, Bytes({28, 0, 0, 0}));
  Append(file, Text("TESTodd "));
  Append(file, Bytes({1, 0, 0, 0, 7, 0}));
  Append(file, Text("want"));
  Append(file, Bytes({2, 0, 0, 0, 8, 9}));
  Append(file, Text("want"));
  Append(file, Bytes({0, 0, 0, 0}));
  SpanSource source(file);

  const std::optional<Chunk> form = FindForm(source, MakeFourCC("TEST"));
  ASSERT_TRUE(form);
  EXPECT_EQ(form->offset, 12u);
  EXPECT_EQ(form->DataEnd(), 48u);
  EXPECT_FALSE(FindForm(source, MakeFourCC("NONE")));

  const std::optional<Chunk> want =
      FindChunk(source, *form, form->FirstChild(), MakeFourCC("want"));
  ASSERT_TRUE(want);
  EXPECT_EQ(want->offset, 34u);
  EXPECT_EQ(want->size, 2u);
  // Searching on from after it stays inside the form.
  EXPECT_FALSE(FindChunk(source, *form, want->Next(), MakeFourCC("want")));

  // A header cut by the end of the bytes is no chunk; reads are clipped.
  SpanSource cut(std::span<const std::uint8_t>(file).first(42));
  EXPECT_TRUE(FindChunk(cut, *form, form->FirstChild(), MakeFourCC("want")));
  SpanSource cut_header(std::span<const std::uint8_t>(file).first(41));
  EXPECT_FALSE(FindChunk(cut_header, *form, form->FirstChild(), MakeFourCC("want")));
  std::uint8_t buffer[8];
  EXPECT_EQ(cut.ReadAt(38, buffer, 8), 4u);
  EXPECT_EQ(cut.ReadAt(42, buffer, 8), 0u);
  EXPECT_EQ(cut.ReadAt(~std::uint64_t{0}, buffer, 8), 0u);
}

}  // namespace
}  // namespace tonvale::riff
