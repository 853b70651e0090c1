#include "tests/net/support/score_server_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "tools/score_server/score_routes.h"

namespace testing_support {

bool ScoreServerRunner::Start(const std::string& dbPath) {
  Stop();
  std::string error;
  if (!m_store.Open(dbPath, &error)) {
    ADD_FAILURE() << error;
    return false;
  }
  m_server = std::make_unique<httplib::Server>();
  score_server::InstallRoutes(*m_server, m_store);
  m_port = m_server->bind_to_any_port("127.0.0.1");
  if (m_port <= 0) return false;
  m_thread = std::thread([this] { m_server->listen_after_bind(); });
  // stop() only takes effect once the loop runs, so Stop() right after Start() must wait.
  for (int i = 0; i < 5000 && !m_server->is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return m_server->is_running();
}

void ScoreServerRunner::Stop() {
  if (m_server) m_server->stop();
  if (m_thread.joinable()) m_thread.join();
  m_server.reset();
  m_store.Close();
  m_port = 0;
}

std::string FreshDatabasePath(const std::string& name) {
  std::string path = ::testing::TempDir() + "chimebox_" + name + ".db";
  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
  return path;
}

}  // namespace testing_support
