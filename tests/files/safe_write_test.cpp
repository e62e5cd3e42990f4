#include "files/safe_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files_fixture.h"

namespace tonvale {
namespace {

using Blob = std::vector<std::uint8_t>;

TEST(SafeWrite, PiecesReplaceTheTargetWholeKeepingItsRights) {
  test::ScratchFolder folder;
  const auto target = folder / "t.bin";
  const Blob a = {1, 2, 3}, b = {}, c = {4, 5};
  const std::span<const std::uint8_t> pieces[] = {a, b, c};
  ASSERT_EQ(WriteFileSafely(target, BytePieces(pieces)), std::nullopt);
  EXPECT_EQ(test::ReadAll(target), (Blob{1, 2, 3, 4, 5}));

  std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
  ASSERT_EQ(WriteFileSafely(target, std::span<const std::uint8_t>(c)), std::nullopt);
  EXPECT_EQ(test::ReadAll(target), c);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"t.bin"});
}

TEST(SafeWrite, FailuresLeaveNothingBehind) {
  test::ScratchFolder folder;
  const Blob data(100000, 7);
  EXPECT_EQ(WriteFileSafely(folder / "missing/x", std::span<const std::uint8_t>(data)),
            FileError::kCannotCreate);
  EXPECT_EQ(WriteFileSafely(folder.path(), std::span<const std::uint8_t>(data)),
            FileError::kCannotCreate);
  std::filesystem::create_directory(folder / "dir");
  EXPECT_EQ(WriteFileSafely(folder / "dir", std::span<const std::uint8_t>(data)),
            FileError::kCannotCreate);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"dir"});

  // A short write: the target keeps its bytes and no temporary stays.
  test::WriteAll(folder / "old", {9, 9});
  const int result = test::RunWithFileSizeLimit(1000, [&] {
    return WriteFileSafely(folder / "old", std::span<const std::uint8_t>(data)) ==
                   FileError::kCannotWrite
               ? 0
               : 1;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(test::ReadAll(folder / "old"), (Blob{9, 9}));
  EXPECT_EQ(folder.Names().size(), 2u);
}

}  // namespace
}  // namespace tonvale
