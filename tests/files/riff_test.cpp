#include "files/riff.h"

#include <gtest/gtest.h>

#include <vector>

namespace tonvale::riff {
namespace {

// The layout, nested sizes and pads, and sizes of bytes written elsewhere
// are checked byte for byte by the recording file's tests; here the misuse.
TEST(Riff, MisuseIsFlagged) {
  std::vector<std::uint8_t> out;
  Writer unbalanced(out);
  unbalanced.EndChunk();
  EXPECT_FALSE(unbalanced.ok());
  Writer open_end(out);
  open_end.BeginChunk(MakeFourCC("open"));
  EXPECT_FALSE(open_end.ok());
  // An odd size cannot be padded when its bytes are written elsewhere.
  std::vector<std::uint8_t> odd_out, even_out;
  Writer odd_outside(odd_out), even_outside(even_out);
  for (Writer* w : {&odd_outside, &even_outside}) w->BeginChunk(MakeFourCC("data"));
  odd_outside.AppendOutside(3);
  even_outside.AppendOutside(4);
  for (Writer* w : {&odd_outside, &even_outside}) w->EndChunk();
  EXPECT_FALSE(odd_outside.ok());
  EXPECT_TRUE(even_outside.ok());
}

}  // namespace
}  // namespace tonvale::riff
