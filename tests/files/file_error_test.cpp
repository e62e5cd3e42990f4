#include "files/file_error.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(FileError, MessagesAndFillingIn) {
  EXPECT_STREQ(MessageFormat(FileError::kCannotOpen), "不能找到或打开文件%s.");
  EXPECT_STREQ(MessageFormat(FileError::kNotStandard), "文件%s不是标准的Tonvale文件.");
  EXPECT_STREQ(MessageFormat(FileError::kNotSupported), "文件%s不是被支持的Tonvale文件.");
  EXPECT_STREQ(MessageFormat(FileError::kCannotRead), "不能读取文件%s.");
  EXPECT_STREQ(MessageFormat(FileError::kCannotCreate), "不能创建文件%s.");
  EXPECT_STREQ(MessageFormat(FileError::kCannotWrite), "不能写入文件%s.");
  // The name is text, not a format: no directive inside it is expanded.
  EXPECT_EQ(FileMessage(FileError::kCannotRead, "100%s %d.qvi"), "不能读取文件100%s %d.qvi.");
  EXPECT_EQ(FillFileMessage("no slot", "x"), "no slot");
}

}  // namespace
}  // namespace tonvale
