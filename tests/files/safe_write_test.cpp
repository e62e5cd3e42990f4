#include "files/safe_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files_fixture.h"

namespace tonvale {
namespace {

using test::Blob;

// Failures, and a short write under a real size limit, are checked by the
// recording file's and the export's tests.
TEST(SafeWrite, PiecesReplaceTheTargetWholeKeepingItsRights) {
  test::ScratchFolder folder;
  const auto target = folder / "t.bin";
  const Blob a = {1, 2, 3}, b = {}, c = {4, 5};
  const std::span<const std::uint8_t> pieces[] = {a, b, c};
  ASSERT_EQ(WriteFileSafely(target, BytePieces(pieces)), std::nullopt);
  EXPECT_EQ(test::ReadAll(target), (Blob{1, 2, 3, 4, 5}));

  std::filesystem::permissions(target, std::filesystem::perms(0640));
  ASSERT_EQ(WriteFileSafely(target, std::span<const std::uint8_t>(c)), std::nullopt);
  EXPECT_EQ(test::ReadAll(target), c);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  EXPECT_EQ(folder.Names(), std::vector<std::string>{"t.bin"});
}

}  // namespace
}  // namespace tonvale
