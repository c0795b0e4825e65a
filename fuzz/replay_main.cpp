// Replays fuzz inputs without libFuzzer: every file named on the command line, and every file
// below every directory named (in sorted order), is passed once to the target linked with this
// driver. A failed check aborts with the input's name; otherwise it prints how many ran.
//   kelo_replay_<target> PATH...
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_support.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    if (fs::is_regular_file(argv[i], ec)) {
      files.push_back(argv[i]);
      continue;
    }
    for (fs::recursive_directory_iterator it(argv[i], ec), end; !ec && it != end; it.increment(ec))
      if (it->is_regular_file(ec)) files.push_back(it->path().string());
    if (ec) {
      fprintf(stderr, "replay: cannot read %s: %s\n", argv[i], ec.message().c_str());
      return 2;
    }
  }
  std::sort(files.begin(), files.end());
  for (const std::string& name : files) {
    std::ifstream file(name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!file.good() && !file.eof()) {
      fprintf(stderr, "replay: cannot read %s\n", name.c_str());
      return 2;
    }
    // A buffer of exactly the input's size, as libFuzzer gives, so that the sanitizers see a read
    // past its end.
    const std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), data.get());
    kelofuzz::g_currentInput = name.c_str();
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
  }
  printf("replayed %zu inputs\n", files.size());
  return files.empty() ? 2 : 0;
}
