#include "files/file_error.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

// The other messages are asserted, filled in, by the document and tool tests.
TEST(FileError, MessagesAndFillingIn) {
  EXPECT_STREQ(MessageFormat(FileError::kCannotRead), "不能读取文件%s.");
  // The name is text, not a format: no directive inside it is expanded.
  EXPECT_EQ(FileMessage(FileError::kCannotRead, "100%s %d.qvi"), "不能读取文件100%s %d.qvi.");
  EXPECT_EQ(FileMessage(FileError::kCannotWrite, "x"), "不能写入文件x.");
  EXPECT_EQ(FillFileMessage("no slot", "x"), "no slot");
}

}  // namespace
}  // namespace tonvale
