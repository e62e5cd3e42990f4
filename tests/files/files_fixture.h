// Shared material of the file tests: the two-event recording, scratch
// folders and a child process that writes under a file-size limit.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "files/qvi_file.h"

namespace tonvale {
inline void PrintTo(FileError error, std::ostream* os) {
  *os << MessageFormat(error);
}
}  // namespace tonvale

namespace tonvale::test {

using Blob = std::vector<std::uint8_t>;

// Scan code 0x1E pressed 1200 ms after the start, released 300 ms later.
inline std::vector<PerformanceEvent> TwoEvents() {
  return {{1200, 256, 0x001E0001u, 0}, {300, 257, 0xC01E0001u, 0}};
}
inline constexpr FileDate kDate{2024, 3, 9};

inline Blob Bytes(std::initializer_list<int> values) {
  return Blob(values.begin(), values.end());
}
inline Blob Text(const char* text) {
  return Blob(text, text + std::char_traits<char>::length(text));
}
inline void Append(Blob& out, const Blob& more) {
  out.insert(out.end(), more.begin(), more.end());
}

inline Blob ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void WriteAll(const std::filesystem::path& path, const Blob& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A fresh empty folder, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "tonvale-XXXXXX").string();
    path_ = ::mkdtemp(name.data());
  }
  ~ScratchFolder() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    return names;
  }

 private:
  std::filesystem::path path_;
};

// Runs `body` in a child that may write at most `limit` bytes into any one
// file, SIGXFSZ ignored so longer writes fail with EFBIG. Returns `body`'s
// result, or -1 if the child died.
inline int RunWithFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tonvale::test
