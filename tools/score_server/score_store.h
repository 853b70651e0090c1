// The stored submissions of the reference score server: one SQLite database in WAL mode.
#pragma once

#include <mutex>
#include <string>

struct sqlite3;

namespace score_server {

struct Submission {
  std::string firstName;
  std::string lastName;
  std::string addr;
  std::string country;
  int score = 0;
};

// Safe to share between the server's request threads: one connection, one lock held for
// each statement's whole life.
class ScoreStore {
 public:
  ScoreStore() = default;
  ~ScoreStore();
  ScoreStore(const ScoreStore&) = delete;
  ScoreStore& operator=(const ScoreStore&) = delete;

  // Opens or creates the database; false with a reason when it cannot be used.
  bool Open(const std::string& path, std::string* error);
  void Close();

  bool Add(const Submission& submission);
  // The place this score holds: 1 + the number of stored scores strictly greater, so equal
  // scores share a place (1, 2, 2, 4). 0 on a database error.
  long PlaceOf(int score);

 private:
  std::mutex m_lock;
  sqlite3* m_db = nullptr;
};

}  // namespace score_server
