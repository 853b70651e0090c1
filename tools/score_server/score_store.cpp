#include "tools/score_server/score_store.h"

#include <sqlite3.h>

#include <ctime>

namespace score_server {

namespace {

const char kSchema[] =
    "CREATE TABLE IF NOT EXISTS scores ("
    "  id INTEGER PRIMARY KEY,"
    "  first_name TEXT NOT NULL,"
    "  last_name TEXT NOT NULL,"
    "  addr TEXT NOT NULL,"
    "  country TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  received INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS scores_by_score ON scores(score);";

bool BindText(sqlite3_stmt* stmt, int index, const std::string& text) {
  // Fields are stored byte for byte; a decoded %00 or a carriage return stays in them.
  return sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()),
                           SQLITE_TRANSIENT) == SQLITE_OK;
}

// Finalised when it goes out of scope; sqlite3_close_v2 lets the connection close before.
struct Statement {
  sqlite3_stmt* stmt = nullptr;
  ~Statement() { sqlite3_finalize(stmt); }
};

}  // namespace

ScoreStore::~ScoreStore() { Close(); }

bool ScoreStore::Open(const std::string& path, std::string* error) {
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_db != nullptr) sqlite3_close_v2(m_db);
  m_db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &m_db,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                           nullptr);
  auto fail = [&](const char* what) {
    if (error != nullptr) *error = std::string(what) + ": " + sqlite3_errmsg(m_db);
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    return false;
  };
  if (rc != SQLITE_OK) return fail("cannot open database");
  // Another server process on the same file waits its turn instead of failing.
  sqlite3_busy_timeout(m_db, 5000);

  Statement wal;
  if (sqlite3_prepare_v2(m_db, "PRAGMA journal_mode=WAL;", -1, &wal.stmt, nullptr) != SQLITE_OK ||
      sqlite3_step(wal.stmt) != SQLITE_ROW) {
    return fail("cannot switch to WAL mode");
  }
  const unsigned char* modeText = sqlite3_column_text(wal.stmt, 0);
  std::string mode = modeText != nullptr ? reinterpret_cast<const char*>(modeText) : "";
  if (mode != "wal") {
    if (error != nullptr) *error = "database refused WAL mode (journal mode " + mode + ")";
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    return false;
  }
  if (sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK) {
    return fail("cannot create the scores table");
  }
  return true;
}

void ScoreStore::Close() {
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_db != nullptr) sqlite3_close_v2(m_db);
  m_db = nullptr;
}

bool ScoreStore::Add(const Submission& s) {
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_db == nullptr) return false;
  Statement insert;
  if (sqlite3_prepare_v2(m_db,
                         "INSERT INTO scores (first_name, last_name, addr, country, score, received)"
                         " VALUES (?, ?, ?, ?, ?, ?);",
                         -1, &insert.stmt, nullptr) != SQLITE_OK) {
    return false;
  }
  bool bound = BindText(insert.stmt, 1, s.firstName) && BindText(insert.stmt, 2, s.lastName) &&
               BindText(insert.stmt, 3, s.addr) && BindText(insert.stmt, 4, s.country) &&
               sqlite3_bind_int(insert.stmt, 5, s.score) == SQLITE_OK &&
               sqlite3_bind_int64(insert.stmt, 6, static_cast<sqlite3_int64>(std::time(nullptr))) ==
                   SQLITE_OK;
  return bound && sqlite3_step(insert.stmt) == SQLITE_DONE;
}

long ScoreStore::PlaceOf(int score) {
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_db == nullptr) return 0;
  Statement count;
  if (sqlite3_prepare_v2(m_db, "SELECT COUNT(*) FROM scores WHERE score > ?;", -1, &count.stmt,
                         nullptr) != SQLITE_OK ||
      sqlite3_bind_int(count.stmt, 1, score) != SQLITE_OK ||
      sqlite3_step(count.stmt) != SQLITE_ROW) {
    return 0;
  }
  return static_cast<long>(sqlite3_column_int64(count.stmt, 0)) + 1;
}

}  // namespace score_server
