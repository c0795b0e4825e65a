// Running a program of the build (the tool, a peer) as a user would, through the shell: its exit
// status and what it printed. POSIX only.
#pragma once

#include <string>

namespace kelotest {

struct Ran {
  int rc;  // the exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs `program args` (args is a shell word list) in the caller's folder, with input on its
// standard input; its streams pass through a temporary folder that is removed afterwards.
Ran Run(const std::string& program, const std::string& args, const std::string& input = "");

// The whole contents of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace kelotest
