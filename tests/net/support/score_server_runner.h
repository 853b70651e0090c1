// The reference score server run in-process on a free loopback port, for tests.
#pragma once

#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

#include "tools/score_server/score_store.h"

namespace testing_support {

class ScoreServerRunner {
 public:
  ~ScoreServerRunner() { Stop(); }

  // Opens dbPath and starts listening on 127.0.0.1 at a port of the system's choosing.
  // false when either fails.
  bool Start(const std::string& dbPath);
  void Stop();

  int Port() const { return m_port; }
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }
  score_server::ScoreStore& Store() { return m_store; }

 private:
  score_server::ScoreStore m_store;
  std::unique_ptr<httplib::Server> m_server;
  std::thread m_thread;
  int m_port = 0;
};

// A fresh database path under the test temporary folder, removed with its WAL files.
std::string FreshDatabasePath(const std::string& name);

}  // namespace testing_support
