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

}  // namespace
}  // namespace tonvale::riff
