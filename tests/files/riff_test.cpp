#include "files/riff.h"

#include <gtest/gtest.h>

#include "files_fixture.h"

namespace tonvale::riff {
namespace {

using test::Blob;

// The padded and nested layout is checked byte for byte by the recording
// file's tests; here the sizes of bytes written elsewhere and the misuse.
TEST(Riff, OutsideBytesCountInEverySizeAndMisuseIsFlagged) {
  Blob head;
  Writer outside(head);
  outside.BeginList(MakeFourCC("RIFF"), MakeFourCC("TEST"));
  outside.BeginChunk(MakeFourCC("data"));
  outside.AppendOutside(1000);
  outside.EndChunk();
  outside.EndChunk();
  EXPECT_TRUE(outside.ok());
  ASSERT_EQ(head.size(), 20u);
  EXPECT_EQ(LoadU32(&head[4]), 1012u);
  EXPECT_EQ(LoadU32(&head[16]), 1000u);

  Blob bad;
  Writer unbalanced(bad);
  unbalanced.EndChunk();
  EXPECT_FALSE(unbalanced.ok());
  Writer open_end(bad);
  open_end.BeginChunk(MakeFourCC("open"));
  EXPECT_FALSE(open_end.ok());
  // An odd size cannot be padded when its bytes are written elsewhere.
  Writer odd_outside(bad);
  odd_outside.BeginChunk(MakeFourCC("data"));
  odd_outside.AppendOutside(3);
  odd_outside.EndChunk();
  EXPECT_FALSE(odd_outside.ok());
}

}  // namespace
}  // namespace tonvale::riff
