// A loopback port that never answers: listening, connections complete in the backlog but
// nobody accepts them; not listening, connections are refused.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace testing_support {

class SilentPort {
 public:
  explicit SilentPort(bool listening) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      socklen_t len = sizeof addr;
      getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
      port_ = ntohs(addr.sin_port);
      if (listening) listen(fd_, 8);
    }
  }
  ~SilentPort() { close(fd_); }
  SilentPort(const SilentPort&) = delete;
  SilentPort& operator=(const SilentPort&) = delete;

  int Port() const { return port_; }
  std::string Url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/chimebox/top1.php";
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace testing_support
