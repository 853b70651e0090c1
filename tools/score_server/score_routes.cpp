#include "tools/score_server/score_routes.h"

namespace score_server {

namespace {

const char kTextPlain[] = "text/plain";

void BadRequest(httplib::Response& res, const std::string& why) {
  res.status = 400;
  res.set_content("bad request: " + why + "\n", kTextPlain);
}

}  // namespace

bool ParseScore(const std::string& text, int* score) {
  if (text.empty() || text.size() > 9) return false;  // nine digits cannot overflow an int
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > MAX_SCORE) return false;
  *score = value;
  return true;
}

bool ParseSubmission(const httplib::Params& params, bool requireFields, Submission* out,
                     std::string* why) {
  struct Field {
    const char* key;
    std::string* value;
  };
  const Field fields[] = {{"first_name", &out->firstName},
                          {"last_name", &out->lastName},
                          {"addr", &out->addr},
                          {"country", &out->country}};
  for (const Field& f : fields) {
    size_t given = params.count(f.key);
    if (given > 1) {
      *why = std::string(f.key) + " given more than once";
      return false;
    }
    if (given == 0) {
      if (requireFields) {
        *why = std::string(f.key) + " missing";
        return false;
      }
      f.value->clear();
      continue;
    }
    const std::string& value = params.find(f.key)->second;
    if (value.size() > MAX_FIELD_BYTES) {
      *why = std::string(f.key) + " longer than " + std::to_string(MAX_FIELD_BYTES) + " bytes";
      return false;
    }
    *f.value = value;
  }
  size_t scores = params.count("score");
  if (scores == 0) {
    *why = "score missing";
    return false;
  }
  if (scores > 1) {
    *why = "score given more than once";
    return false;
  }
  if (!ParseScore(params.find("score")->second, &out->score)) {
    *why = "score must be a whole number from 0 to " + std::to_string(MAX_SCORE);
    return false;
  }
  return true;
}

void InstallRoutes(httplib::Server& server, ScoreStore& store) {
  server.set_payload_max_length(MAX_BODY_BYTES);
  server.set_read_timeout(5, 0);
  server.set_write_timeout(5, 0);
  server.set_keep_alive_max_count(20);

  server.Get("/chimebox/top1.php", [&store](const httplib::Request& req, httplib::Response& res) {
    Submission s;
    std::string why;
    if (!ParseSubmission(req.params, true, &s, &why)) return BadRequest(res, why);
    if (!store.Add(s)) {
      res.status = 500;
      res.set_content("database error\n", kTextPlain);
      return;
    }
    res.set_content("stored\n", kTextPlain);
  });

  server.Get("/chimebox/top2.php", [&store](const httplib::Request& req, httplib::Response& res) {
    Submission s;
    std::string why;
    if (!ParseSubmission(req.params, false, &s, &why)) return BadRequest(res, why);
    long place = store.PlaceOf(s.score);
    if (place <= 0) {
      res.status = 500;
      res.set_content("database error\n", kTextPlain);
      return;
    }
    // Bare digits: the game reads "1" followed by anything at all as place ten.
    res.set_content(place <= TOP_PLACES ? std::to_string(place) : std::string(), kTextPlain);
  });

  // Every refusal carries a text, so that an error page is never heard as "not enough".
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty()) {
      res.set_content("error " + std::to_string(res.status) + "\n", kTextPlain);
    }
  });
}

}  // namespace score_server
