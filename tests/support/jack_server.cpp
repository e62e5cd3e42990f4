#include "jack_server.h"

#include <regex>
#include <sstream>

#include "child_programs.h"

namespace tonvale::test {

pid_t StartJackServer(const std::string& name, int period, const std::filesystem::path& dir,
                      std::string& error) {
  pid_t jackd = Spawn({"jackd", "--no-realtime", "-n", name, "-d", "dummy", "-r", "48000", "-p",
                       std::to_string(period)},
                      dir / "jackd.log");
  if (jackd <= 0) {
    error = "jackd did not start";
    return -1;
  }
  if (WaitExit(Spawn({"jack_wait", "-w", "-t", "10"}, dir / "wait.log")) != 0) {
    error = "jackd did not answer: " + ReadAll(dir / "jackd.log");
    Stop(jackd, kJackGrace);
    return -1;
  }
  return jackd;
}

std::vector<Dumped> DumpedEvents(const std::string& dump) {
  static const std::regex kLine(R"(^\s*(\d+):\s+((?:[0-9a-f]{2} ?)+))", std::regex::icase);
  std::vector<Dumped> out;
  std::istringstream lines(dump);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, kLine)) continue;
    std::string bytes = m[2];
    while (!bytes.empty() && bytes.back() == ' ') bytes.pop_back();
    out.push_back({std::stoull(m[1]), bytes});
  }
  return out;
}

std::vector<std::string> DumpedMessages(const std::string& dump) {
  std::vector<std::string> out;
  for (const Dumped& d : DumpedEvents(dump)) out.push_back(d.bytes);
  return out;
}

}  // namespace tonvale::test
