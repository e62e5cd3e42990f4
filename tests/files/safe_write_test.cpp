#include "files/safe_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files_fixture.h"

namespace tonvale {
namespace {

using test::Blob;
namespace fs = std::filesystem;

TEST(SafeWrite, AnyNameModeLinksAndOtherNamesAreKept) {
  test::ScratchFolder folder;
  std::string name = ".qvi";  // 250 bytes: a temporary file named after it would not fit
  for (int i = 0; i < 82; ++i) name = "歌" + name;
  const fs::path target = folder / name;
  const Blob a = {1, 2, 3}, b = {4, 5};
  const std::span<const std::uint8_t> pieces[] = {a, {}, b};
  ASSERT_EQ(WriteFileSafely(target, BytePieces(pieces)), std::nullopt);
  EXPECT_EQ(test::ReadAll(target), (Blob{1, 2, 3, 4, 5}));
  // Through a relative link from another folder the file it names is
  // written and keeps its mode; the link stays.
  fs::permissions(target, fs::perms(0640));
  fs::create_directory(folder / "sub");
  fs::create_symlink("../" + name, folder / "sub/link.qvi");
  ASSERT_EQ(WriteFileSafely(folder / "sub/link.qvi", b), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(folder / "sub/link.qvi") && test::ReadAll(target) == b);
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
  // A file with a second name stays one file.
  fs::create_hard_link(target, folder / "other.qvi");
  ASSERT_EQ(WriteFileSafely(target, a), std::nullopt);
  EXPECT_EQ(test::ReadAll(folder / "other.qvi"), a);
  EXPECT_EQ(folder.Count(), 3u);
}

// A read-only file (for root too), a folder, a missing folder: refused, and
// nothing is touched. In a folder that takes no new file an existing file is
// written in place; either way a write that fails under a real size limit
// keeps the old bytes.
TEST(SafeWrite, FailuresKeepTheOldFileAlsoWhenWritingInPlace) {
  test::ScratchFolder folder;
  const fs::path file = folder / "rec.qvi", read_only = folder / "ro.qvi";
  test::WriteAll(read_only, Blob{7});
  fs::permissions(read_only, fs::perms(0444));
  for (const fs::path& target : {read_only, folder.path, folder / "none/x.qvi"})
    EXPECT_EQ(WriteFileSafely(target, Blob{1}), FileError::kCannotCreate) << target;
  EXPECT_EQ(test::ReadAll(read_only), Blob{7});
  const auto inode = [&] {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  for (const bool folder_writable : {true, false}) {
    test::WriteAll(file, Blob(5000, 1));
    const ino_t before = inode();
    fs::permissions(folder.path, fs::perms(folder_writable ? 0755 : 0555));
    const auto write_1_mb = [&] { return WriteFileSafely(file, Blob(1 << 20, 2)).has_value(); };
    EXPECT_EQ(test::RunLimited(RLIMIT_FSIZE, 1 << 16, write_1_mb), 1);
    EXPECT_EQ(test::ReadAll(file), Blob(5000, 1));
    ASSERT_EQ(WriteFileSafely(file, Blob{3}), std::nullopt) << folder_writable;
    EXPECT_EQ(test::ReadAll(file), Blob{3});
    EXPECT_EQ(inode() == before, !folder_writable);
    fs::permissions(folder.path, fs::perms(0755));
    EXPECT_EQ(folder.Count(), 2u);
  }
}

}  // namespace
}  // namespace tonvale
