// chimebox-score-server: the reference score server the game submits to.
//
//   chimebox-score-server [--listen HOST:PORT] [--db FILE]
//
// Listens on 127.0.0.1:8765 and keeps scores in ./chimebox-scores.db unless told otherwise.
// Port 0 takes any free port; the address in use is printed on the first line of output.
// SIGINT or SIGTERM stops it cleanly.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tools/score_server/score_routes.h"
#include "tools/score_server/score_store.h"

namespace {

const char kUsage[] =
    "usage: chimebox-score-server [--listen HOST:PORT] [--db FILE]\n"
    "  --listen HOST:PORT  address to listen on (default 127.0.0.1:8765; port 0: any free port)\n"
    "  --db FILE           SQLite database of the scores (default chimebox-scores.db)\n";

bool SplitHostPort(const std::string& text, std::string* host, int* port) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
  std::string portText = text.substr(colon + 1);
  if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  int value = std::atoi(portText.c_str());
  if (value > 65535) return false;
  *host = text.substr(0, colon);
  // "[::1]:8765" names an IPv6 address.
  if (host->size() >= 2 && host->front() == '[' && host->back() == ']') {
    *host = host->substr(1, host->size() - 2);
  }
  *port = value;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string host = "127.0.0.1";
  int port = 8765;
  std::string dbPath = "chimebox-scores.db";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "chimebox-score-server: %s needs a value\n%s", arg.c_str(), kUsage);
      return 2;
    }
    std::string value = argv[++i];
    if (arg == "--listen") {
      if (!SplitHostPort(value, &host, &port)) {
        std::fprintf(stderr, "chimebox-score-server: bad address '%s'\n", value.c_str());
        return 2;
      }
    } else if (arg == "--db") {
      dbPath = value;
    } else {
      std::fprintf(stderr, "chimebox-score-server: unknown option %s\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }

  // Stop signals are taken by one waiting thread, not by a handler: stopping the server is
  // not safe inside a signal handler. Threads started later inherit the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  score_server::ScoreStore store;
  std::string error;
  if (!store.Open(dbPath, &error)) {
    std::fprintf(stderr, "chimebox-score-server: %s: %s\n", dbPath.c_str(), error.c_str());
    return 1;
  }

  httplib::Server server;
  score_server::InstallRoutes(server, store);
  server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
    // The path only: the query holds the players' names and addresses.
    std::fprintf(stderr, "%s %s %d\n", req.method.c_str(), req.path.c_str(), res.status);
  });

  if (port == 0) {
    port = server.bind_to_any_port(host);
    if (port < 0) port = 0;
  } else if (!server.bind_to_port(host, port)) {
    port = 0;
  }
  if (port == 0) {
    std::fprintf(stderr, "chimebox-score-server: cannot listen on %s\n", host.c_str());
    return 1;
  }
  std::printf("listening on %s:%d\n", host.c_str(), port);
  std::fflush(stdout);

  std::thread stopper([&server, &stopSignals] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
  });
  bool ok = server.listen_after_bind();
  // A failed listen leaves the stopper waiting: wake it with the signal it waits for.
  if (!ok) pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  store.Close();
  return ok ? 0 : 1;
}
