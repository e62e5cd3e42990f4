#include "files/file_error.h"

#include "perform/ui_text.h"

namespace tonvale {

const char* MessageFormat(FileError error) {
  switch (error) {
    case FileError::kCannotOpen:
      return TONVALE_UI_TEXT("FileError", "不能找到或打开文件%s.");
    case FileError::kNotStandard:
      return TONVALE_UI_TEXT("FileError", "文件%s不是标准的Tonvale文件.");
    case FileError::kNotSupported:
      return TONVALE_UI_TEXT("FileError", "文件%s不是被支持的Tonvale文件.");
    case FileError::kCannotRead:
      return TONVALE_UI_TEXT("FileError", "不能读取文件%s.");
    case FileError::kCannotCreate:
      return TONVALE_UI_TEXT("FileError", "不能创建文件%s.");
    case FileError::kCannotWrite:
      return TONVALE_UI_TEXT("FileError", "不能写入文件%s.");
  }
  return TONVALE_UI_TEXT("FileError", "不能读取文件%s.");
}

std::string FillFileMessage(std::string_view format, std::string_view name) {
  std::string text(format);
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, name);
  return text;
}

}  // namespace tonvale
