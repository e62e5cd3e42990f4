// Shared material of the file and tool tests.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include "files/qvi_file.h"

using namespace std::literals;

namespace tonvale::test {

using Blob = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// Scan code 0x1E pressed 1200 ms after the start, released 300 ms later.
inline const std::vector<PerformanceEvent> kTwoEvents = {{1200, 256, 0x001E0001u, 0},
                                                         {300, 257, 0xC01E0001u, 0}};
inline constexpr FileDate kDate{2024, 3, 9};

inline std::string Str(const Blob& bytes) {
  return {bytes.begin(), bytes.end()};
}
inline Blob ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  Blob bytes(in ? static_cast<std::size_t>(in.tellg()) : 0);
  in.seekg(0).read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
  return bytes;
}
template <class Bytes>  // a Blob or text
void WriteAll(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write((const char*)std::data(bytes), std::size(bytes));
}

// A fresh empty folder, removed afterwards.
struct ScratchFolder {
  fs::path path = ::mkdtemp((fs::temp_directory_path() / "tonvale-XXXXXX").string().data());
  ~ScratchFolder() { fs::remove_all(path); }
  fs::path operator/(const std::string& name) const { return path / name; }
  std::size_t Count() const { return std::distance(fs::directory_iterator(path), {}); }
};

// Points the state folder (XDG_STATE_HOME/tonvale) of this process into
// `home`; returns the state folder.
inline fs::path UseStateHome(const fs::path& home) {
  ::setenv("XDG_STATE_HOME", home.c_str(), 1);
  return home / "tonvale";
}

// `body`'s result in a child under `limit` of `resource`, -1 if it died; a
// write past RLIMIT_FSIZE fails with EFBIG instead of a signal.
inline int RunLimited(int resource, rlim_t limit, const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lim{limit, limit};
    ::_exit(::setrlimit(resource, &lim) == 0 ? body() : 99);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// `body`'s result in a child process, -1 if it died.
inline int RunChild(const std::function<int()>& body) {
  return RunLimited(RLIMIT_FSIZE, RLIM_INFINITY, body);
}

}  // namespace tonvale::test
