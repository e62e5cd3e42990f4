#include "files/journal_file.h"

#include <gtest/gtest.h>

#include "files/take_journal.h"
#include "files_fixture.h"
#include "left_files.h"

namespace tonvale {
namespace {

using test::Blob;
namespace fs = std::filesystem;

// The two events of test::kTwoEvents in C major, bass off, written by hand.
const std::string kTwoEventFile =
    "RIFF\x80\0\0\0QV  LIST\x2C\0\0\0INFOISFT\x0B\0\0\0QV by Dalo\0\0ISCD\x0B\0\0\0"
    "2024-03-09\0\0fmt \x18\0\0\0\2\0\0\0\x11\5\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0data"
    "\x20\0\0\0\xB0\4\0\0\0\1\0\0\1\0\x1E\0\0\0\0\0\x2C\1\0\0\1\1\0\0\1\0\x1E\xC0\0\0\0\0"s;

// The journal is a recording file that any reader takes, event by event as
// it grows; a new take starts it afresh, and a discarded one leaves nothing.
TEST(TakeJournal, GrowsAsARecordingFileAndGoesWhenDiscarded) {
  test::ScratchFolder folder;
  const fs::path state = folder / "state/tonvale";
  std::vector<std::string> reports;
  TakeJournal journal(
      state, [] { return test::kDate; }, [&](const std::string& line) { reports.push_back(line); });
  journal.Restart({test::kTwoEvents[0]}, {1297, false});
  journal.Append({&test::kTwoEvents[1], 1}, {1297, false});
  journal.Flush();
  const fs::path path = journal.Path();
  EXPECT_TRUE(IsJournalName(path.filename().string())) << path;
  EXPECT_EQ(test::Str(test::ReadAll(path)), kTwoEventFile);
  EXPECT_EQ(fs::status(state).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0600));

  // A third event and the automatic bass: the header follows.
  const PerformanceEvent third{5, 256, 0x00200000, -1};
  journal.Append({&third, 1}, {1332, true});
  journal.Flush();
  std::string three = kTwoEventFile;
  three.replace(4, 1, "\x90");
  three.replace(72, 1, "\3");
  three.replace(76, 2, "\x34\5");
  three.replace(80, 1, "\1");
  three.replace(100, 1, "\x30");
  three += "\5\0\0\0\0\1\0\0\0\0\x20\0\xFF\xFF\xFF\xFF"s;
  EXPECT_EQ(test::Str(test::ReadAll(path)), three);

  journal.Restart({}, {1297, false});
  journal.Flush();
  EXPECT_EQ(test::ReadAll(path).size(), kQviHeaderBytes);
  journal.Discard();
  journal.Flush();
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(journal.Path().empty());
  EXPECT_EQ(reports, std::vector<std::string>{});

  // A folder that cannot be made is told once, and nothing breaks.
  test::WriteAll(folder / "file", "x"s);
  TakeJournal nowhere(folder / "file/tonvale", LocalDate,
                      [&](const std::string& line) { reports.push_back(line); });
  nowhere.Restart(test::kTwoEvents, {1297, false});
  nowhere.Append(test::kTwoEvents, {1297, false});
  nowhere.Flush();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("cannot make the folder"), std::string::npos) << reports[0];
}

// Whatever a crash leaves: whole events only, the counts of the header not
// believed, reading stops at the first event no take can hold.
TEST(JournalFile, ReadsTheWholeEventsOfACutOrDamagedJournal) {
  for (std::size_t size = 0; size <= kTwoEventFile.size() + 16; ++size) {
    std::string cut = kTwoEventFile + "\x10\0\0\0\0\1\0\0\0\0\x39\0\0\0\0\0"s;  // Space
    cut.resize(size);
    const std::size_t whole = size < 104 ? 0 : (size - 104) / 16;
    const RecordingFile take = test::ReadJournalText(cut);
    ASSERT_EQ(take.events.size(), whole) << size;
    if (whole > 0) {
      EXPECT_EQ(take.events[0], test::kTwoEvents[0]);
    }
    EXPECT_EQ(take.key_mode, 1297);
  }
  const auto patched = [](std::size_t at, std::string_view bytes) {
    std::string file = kTwoEventFile;
    return file.replace(at, bytes.size(), bytes);
  };
  const struct {
    const char* what;
    std::string file;
    std::size_t events;
    std::int32_t key_mode;
    std::uint32_t auto_bass;
  } cases[] = {
      {"the header counts one", patched(72, "\1"), 2, 1297, 0},
      {"its header garbled", patched(0, "garbage garbage garbage"), 2, 1297, 0},
      {"zeros where the disk lost the end", patched(120, std::string(16, '\0')), 1, 1297, 0},
      {"an octave shift of 2", patched(132, "\2"), 1, 1297, 0},
      {"a message of 258", patched(108, "\2"), 0, 1297, 0},
      {"key mode 1332, bass on", patched(76, "\x34\5\0\0\1"s), 2, 1332, 1},
      {"key mode 1306, bass 7", patched(76, "\x1A\5\0\0\7"s), 2, 1297, 0},
  };
  for (const auto& c : cases) {
    const RecordingFile take = test::ReadJournalText(c.file);
    EXPECT_EQ(take.events.size(), c.events) << c.what;
    EXPECT_EQ(take.key_mode, c.key_mode) << c.what;
    EXPECT_EQ(take.auto_bass, c.auto_bass) << c.what;
  }
}

// Only journals whose window is gone are found, newest first; one that holds
// nothing goes silently; anything else in the folder is left alone.
TEST(JournalFile, LeftJournalsAreThoseNoRunningWindowHolds) {
  test::ScratchFolder folder;
  TakeJournal live(folder.path);
  live.Restart(test::kTwoEvents, {1297, false});
  live.Flush();
  test::WriteLeft(folder / "take-0000000a.qvi", kTwoEventFile.substr(0, 120), 5);
  test::WriteLeft(folder / "take-0000000b.qvi", kTwoEventFile, 1);
  test::WriteLeft(folder / "take-0000000c.qvi", kTwoEventFile.substr(0, 104), 1);
  test::WriteLeft(folder / "take-notours.qvi", kTwoEventFile, 1);
  std::vector<LeftJournal> found = FindLeftJournals(folder.path);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].path.filename(), "take-0000000b.qvi");
  EXPECT_EQ(found[0].take.events, test::kTwoEvents);
  EXPECT_EQ(found[1].path.filename(), "take-0000000a.qvi");
  EXPECT_EQ(found[1].take.events.size(), 1u);
  EXPECT_FALSE(fs::exists(folder / "take-0000000c.qvi"));
  // Held while offered: a second look finds nothing more.
  EXPECT_EQ(FindLeftJournals(folder.path).size(), 0u);
  EXPECT_EQ(folder.Count(), 4u);
}

}  // namespace
}  // namespace tonvale
