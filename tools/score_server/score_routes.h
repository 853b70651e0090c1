// The reference score server's two pages, as the game requests them:
//   GET /chimebox/top1.php?first_name=&last_name=&addr=&country=&score=N  stores a submission
//   GET /chimebox/top2.php?...&score=N  answers with the place (1..10) of N as bare decimal
//       digits, or an empty body when N is not among the ten best.
// Bad input gets 400 with a short text starting with a letter, which the game never reads
// as a place or as "not enough".
#pragma once

#include <httplib.h>

#include <string>

#include "tools/score_server/score_store.h"

namespace score_server {

constexpr size_t MAX_FIELD_BYTES = 256;  // each name, address or country, once decoded
constexpr int MAX_SCORE = 18000;         // a level's whole time limit in ticks
constexpr long TOP_PLACES = 10;
constexpr size_t MAX_BODY_BYTES = 1024;  // the pages take no body; anything larger is refused

// Reads the query of either page. requireFields: the four text keys must be present (top1);
// otherwise they are only checked when given. false with the reason for the 400 reply.
bool ParseSubmission(const httplib::Params& params, bool requireFields, Submission* out,
                     std::string* why);

// Decimal digits only, at most MAX_SCORE.
bool ParseScore(const std::string& text, int* score);

// Installs the two pages, the limits and the error replies on server. store must outlive it.
void InstallRoutes(httplib::Server& server, ScoreStore& store);

}  // namespace score_server
