// The reference server (kelo-java-peer server: Caucho's HessianServlets in an embedded Jetty) as a
// GoogleTest environment: started in the background once for the whole test program, stopped at
// its end. Each program gives its own name, so that programs that ctest runs side by side keep
// their port, certificate and log files apart in the work folder.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>

#include "support/run.h"

namespace kelointerop {

class ServerEnvironment : public ::testing::Environment {
 public:
  // The server writes <work>/<name>.port, .log and, with https, the certificate <name>.crt.
  ServerEnvironment(const std::string& work, const std::string& name, bool https)
      : cert(work + "/" + name + ".crt"),
        log(work + "/" + name + ".server.log"),
        portFile_(work + "/" + name + ".port"),
        https_(https) {}

  void SetUp() override {
    std::remove(portFile_.c_str());
    const std::string command = std::string(KELO_INTEROP_JAVA) + " server " +
                                (https_ ? "--https '" + cert + "' " : std::string()) + "'" +
                                portFile_ + "' >'" + log + "' 2>&1 & echo $!";
    FILE* shell = popen(command.c_str(), "r");
    ASSERT_TRUE(shell && std::fscanf(shell, "%d", &pid_) == 1) << command;
    pclose(shell);
    // A JVM and Jetty start in one to three seconds here; allow for a loaded machine.
    for (int i = 0; i < 600 && kill(pid_, 0) == 0; ++i) {
      std::istringstream urls(kelotest::ReadFile(portFile_));
      if (std::getline(urls, http) && (!https_ || std::getline(urls, https))) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    FAIL() << "the reference server stopped or wrote no URLs:\n" << kelotest::ReadFile(log);
  }

  void TearDown() override {
    if (pid_ > 0) kill(pid_, SIGTERM);
  }

  std::string http, https;  // the base URLs, once the server listens
  const std::string cert, log;

 private:
  const std::string portFile_;
  const bool https_;
  int pid_ = 0;
};

}  // namespace kelointerop
