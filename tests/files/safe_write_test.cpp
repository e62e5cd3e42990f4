#include "files/safe_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files/kept_copy.h"
#include "files_fixture.h"
#include "left_files.h"

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
  EXPECT_EQ(folder.Count(), 2u);
}

// A read-only file (for root too), a folder, a missing folder: refused, and
// nothing is touched. In a folder that takes no new file an existing file is
// written in place, and only after a complete copy of it is on the disk;
// either way a write that fails under a real size limit keeps the old bytes,
// of any size (in place they were lost beyond 64 MiB).
TEST(SafeWrite, FailuresKeepTheOldFileAlsoWhenWritingInPlace) {
  test::ScratchFolder folder, home;
  const fs::path state = test::UseStateHome(home.path);
  const fs::path file = folder / "rec.wav", read_only = folder / "ro.qvi";
  test::WriteAll(read_only, Blob{7});
  fs::permissions(read_only, fs::perms(0444));
  for (const fs::path& target : {read_only, folder.path, folder / "none/x.qvi"})
    EXPECT_EQ(WriteFileSafely(target, Blob{1}), FileError::kCannotCreate) << target;
  EXPECT_EQ(test::ReadAll(read_only), Blob{7});
  const auto inode = [&] {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  const Blob old((65 << 20) + 1, 5);
  for (const bool folder_writable : {true, false}) {
    test::WriteAll(file, old);
    const ino_t before = inode();
    fs::permissions(folder.path, fs::perms(folder_writable ? 0755 : 0555));
    const auto write_66_mb = [&] { return WriteFileSafely(file, Blob(66 << 20, 6)).has_value(); };
    EXPECT_EQ(test::RunLimited(RLIMIT_FSIZE, (65 << 20) + (1 << 19), write_66_mb), 1);
    EXPECT_TRUE(test::ReadAll(file) == old) << folder_writable;
    ASSERT_EQ(WriteFileSafely(file, Blob{3}), std::nullopt) << folder_writable;
    EXPECT_EQ(test::ReadAll(file), Blob{3});
    EXPECT_EQ(inode() == before, !folder_writable);
    fs::permissions(folder.path, fs::perms(0755));
    EXPECT_EQ(folder.Count(), 2u);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(state), {}), 0);
  // No state folder can be made: no copy, no write.
  test::WriteAll(home / "not-a-folder", "x"s);
  test::UseStateHome(home / "not-a-folder");
  fs::permissions(folder.path, fs::perms(0555));
  EXPECT_EQ(WriteFileSafely(file, Blob{1}), FileError::kCannotCreate);
  EXPECT_EQ(test::ReadAll(file), Blob{3});
  fs::permissions(folder.path, fs::perms(0755));
}

// Rewritten in place (a folder that takes no new file, a file with two
// names, one over 64 MiB) by a child killed before, in the middle of and
// after the write: the next start finds the old bytes and puts them back, or
// finds the new content complete. Never neither.
TEST(SafeWrite, InPlaceWritesKilledMidWayLeaveTheOldContentOrTheNew) {
  test::ScratchFolder folder;
  const fs::path state = test::UseStateHome(folder.path);
  fs::create_directory(folder / "ro");
  fs::create_directory(folder / "big");
  const struct {
    fs::path target;
    std::size_t size;
    std::vector<int> kill_points;  // 0 before writing, 1 half way, 2 done
  } cases[] = {{folder / "ro/rec.qvi", 5000, {0, 1, 2}},
               {folder / "linked.qvi", 5000, {0, 1, 2}},
               {folder / "big/rec.wav", (65 << 20) + 3, {1}}};
  test::WriteAll(folder / "linked.qvi", "x"s);
  fs::create_hard_link(folder / "linked.qvi", folder / "other.qvi");
  for (const auto& c : cases) {
    const Blob old(c.size, 7), fresh(c.size - 3, 9);
    for (const int point : c.kill_points) {
      test::WriteAll(c.target, old);
      fs::permissions(folder / "ro", fs::perms(0555));
      fs::permissions(folder / "big", fs::perms(0555));
      const int ended = test::RunChild([&] {
        SafeWriter writer;
        if (writer.Open(c.target)) return 3;
        const std::span<const std::uint8_t> all(fresh);
        if (point >= 1) writer.Write(all.first(all.size() / 2));
        if (point == 2 && (!writer.Write(all.subspan(all.size() / 2)) || writer.Finish())) return 4;
        return ::kill(::getpid(), SIGKILL);
      });
      EXPECT_EQ(ended, -1) << c.target << " " << point;
      std::vector<LeftCopy> left = FindLeftCopies(state);
      ASSERT_EQ(left.size(), point == 2 ? 0u : 1u) << c.target << " " << point;
      if (point < 2) {
        EXPECT_EQ(left[0].target, c.target);
        ASSERT_EQ(RestoreLeftCopy(left[0]), std::nullopt) << c.target << " " << point;
      }
      EXPECT_TRUE(test::ReadAll(c.target) == (point == 2 ? fresh : old)) << c.target << point;
      fs::permissions(folder / "ro", fs::perms(0755));
      fs::permissions(folder / "big", fs::perms(0755));
      EXPECT_EQ(std::distance(fs::directory_iterator(state), {}), 0) << c.target << point;
    }
  }
  EXPECT_EQ(test::ReadAll(folder / "other.qvi"), Blob(4997, 9));
  EXPECT_EQ(folder.Count(), 5u);  // the two folders, the two names, the state folder
}

// A named pipe (or a link to one) and a device are refused at once: opening
// a pipe for writing would wait for a reader forever.
TEST(SafeWrite, SpecialFilesAreRefusedWithoutWaiting) {
  test::ScratchFolder folder;
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0644), 0);
  fs::create_symlink("pipe", folder / "link");
  EXPECT_EQ(
      test::RunChild([&] {
        ::alarm(10);
        for (const fs::path& target : {folder / "pipe", folder / "link", fs::path("/dev/null")})
          if (WriteFileSafely(target, Blob{1}) != FileError::kCannotCreate) return 1;
        return 0;
      }),
      0);
}

// Temporary files an earlier run left are swept by the next write into
// their folder once no write holds them; a fresh one may be a write that is
// just starting.
TEST(SafeWrite, LeftTemporariesAreSweptOnceNoWriteHoldsThem) {
  test::ScratchFolder folder;
  test::WriteLeft(folder / ".tonvale-0000000a.tmp", "x", 60);
  test::WriteLeft(folder / ".tonvale-0000000b.tmp", "x", 60);
  test::WriteLeft(folder / ".tonvale-0000000c.tmp", "x", 0);
  test::WriteLeft(folder / ".tonvale-notours.tmp", "x", 60);
  FileHandle held = FileHandle::Open(folder / ".tonvale-0000000b.tmp", FileHandle::Access::kRead);
  ASSERT_TRUE(held.TryLock());
  ASSERT_EQ(WriteFileSafely(folder / "new.qvi", Blob{1}), std::nullopt);
  EXPECT_FALSE(fs::exists(folder / ".tonvale-0000000a.tmp"));
  EXPECT_EQ(folder.Count(), 4u);
}

}  // namespace
}  // namespace tonvale
