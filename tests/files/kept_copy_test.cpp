#include "files/kept_copy.h"

#include <gtest/gtest.h>

#include "files_fixture.h"

namespace tonvale {
namespace {

using test::Blob;
namespace fs = std::filesystem;

// What the next start makes of the notes: a copy never completed means its
// file was never touched, so it goes unasked, as does a note whose copy is
// gone; a note still held belongs to a running write.
TEST(KeptCopy, OnlyCompleteCopiesWhoseWriterIsGoneAreOffered) {
  test::ScratchFolder folder;
  const fs::path file = folder / "rec.qvi", copy = folder / ".tonvale-00000001.old";
  test::WriteAll(file, "new"s);
  const auto note = [&](const char* name, char state, const fs::path& copy_path) {
    test::WriteAll(folder / name, KeptNoteBytes(state, file, copy_path));
  };
  test::WriteAll(copy, "old"s);
  test::WriteAll(folder / ".tonvale-00000002.old", "ol"s);
  note("kept-00000001.note", 'R', copy);
  note("kept-00000002.note", 'C', folder / ".tonvale-00000002.old");
  note("kept-00000003.note", 'R', folder / ".tonvale-00000003.old");
  test::WriteAll(folder / "kept-00000004.note", "tonvale kept copy\nR\n"s);
  note("kept-00000005.note", 'R', copy);
  FileHandle running = FileHandle::Open(folder / "kept-00000005.note", FileHandle::Access::kRead);
  ASSERT_TRUE(running.TryLock());

  std::vector<LeftCopy> left = FindLeftCopies(folder.path);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].target, file);
  EXPECT_EQ(left[0].copy, copy);
  // rec.qvi, the copy and its note, the running write's note.
  EXPECT_EQ(folder.Count(), 4u);
  DiscardLeftCopy(left[0]);
  EXPECT_EQ(folder.Count(), 2u);
  EXPECT_EQ(test::ReadAll(file), Blob({'n', 'e', 'w'}));
}

}  // namespace
}  // namespace tonvale
