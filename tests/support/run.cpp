// Running programs for the tests; see run.h.
#include "support/run.h"

#if !defined(_WIN32)
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <fstream>
#include <sstream>

namespace kelotest {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

#if !defined(_WIN32)
Ran Run(const std::string& program, const std::string& args, const std::string& input) {
  char pattern[] = "/tmp/kelo_run_XXXXXX";
  if (!mkdtemp(pattern)) return {-1, "", "cannot make a temporary folder"};
  const std::string dir = pattern;
  std::ofstream(dir + "/stdin", std::ios::binary) << input;
  const std::string command =
      program + " " + args + " <" + dir + "/stdin >" + dir + "/stdout 2>" + dir + "/stderr";
  const int status = std::system(command.c_str());
  Ran ran{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir + "/stdout"),
          ReadFile(dir + "/stderr")};
  std::system(("rm -rf " + dir).c_str());
  return ran;
}
#endif

}  // namespace kelotest
