// How a file operation reports failure: which message applies. The message
// is a format with one %s that the caller fills with the file name.
#pragma once

#include <string>
#include <string_view>

namespace tonvale {

enum class FileError {
  kCannotOpen,    // the file cannot be found or opened
  kNotStandard,   // not a recording file at all
  kNotSupported,  // a recording file this program does not take
  kCannotRead,    // shorter than its chunks say
  kCannotCreate,  // the file to write cannot be created
  kCannotWrite,   // writing failed after creation
};

// The message format, with one %s for the file name: a source text the
// window translates under the context "FileError".
const char* MessageFormat(FileError error);

// Replaces the %s of `format` with `name`; the name is taken as it stands,
// so a % inside it is not read as a directive.
std::string FillFileMessage(std::string_view format, std::string_view name);

inline std::string FileMessage(FileError error, std::string_view name) {
  return FillFileMessage(MessageFormat(error), name);
}

}  // namespace tonvale
