// Replays fuzz inputs without libFuzzer: every file named on the command line, and every file
// below every directory named (in sorted order), is passed once to the target linked with this
// driver. A failed check aborts with the input's name; otherwise it prints how many ran.
//   kelo_replay_<target> PATH...
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_support.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    const fs::path path(argv[i]);
    if (fs::is_directory(path, ec)) {
      for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) files.push_back(it->path().string());
      }
    } else if (fs::is_regular_file(path, ec)) {
      files.push_back(path.string());
    } else {
      fprintf(stderr, "replay: no such file or directory: %s\n", argv[i]);
      return 2;
    }
    if (ec) {
      fprintf(stderr, "replay: cannot read %s: %s\n", argv[i], ec.message().c_str());
      return 2;
    }
  }
  std::sort(files.begin(), files.end());
  for (const std::string& name : files) {
    std::ifstream file(name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
      fprintf(stderr, "replay: cannot read %s\n", name.c_str());
      return 2;
    }
    kelofuzz::g_currentInput = name.c_str();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  kelofuzz::g_currentInput = nullptr;
  printf("replayed %zu inputs\n", files.size());
  if (files.empty()) {
    fprintf(stderr, "replay: no inputs found\n");
    return 2;
  }
  return 0;
}
