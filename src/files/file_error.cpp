#include "files/file_error.h"

namespace tonvale {

const char* MessageFormat(FileError error) {
  switch (error) {
    case FileError::kCannotOpen:
      return "不能找到或打开文件%s.";
    case FileError::kNotStandard:
      return "文件%s不是标准的Tonvale文件.";
    case FileError::kNotSupported:
      return "文件%s不是被支持的Tonvale文件.";
    case FileError::kCannotRead:
      return "不能读取文件%s.";
    case FileError::kCannotCreate:
      return "不能创建文件%s.";
    case FileError::kCannotWrite:
      return "不能写入文件%s.";
  }
  return "不能读取文件%s.";
}

std::string FillFileMessage(std::string_view format, std::string_view name) {
  std::string text(format);
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, name);
  return text;
}

}  // namespace tonvale
