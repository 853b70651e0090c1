#include "scores/send_score.h"

#include <vector>

#include "app/globals.h"
#include "menu/menu.h"
#include "platform/platform.h"
#include "scores/announcements.h"

#ifndef CHIMEBOX_SCORE_HOST
#define CHIMEBOX_SCORE_HOST "127.0.0.1:8765"
#endif

// Lifetime: from StartSendScore to the key that leaves the screen.
SoundBuffer g_sendSounds[SEND_SOUND_COUNT];
// Lifetime: rebuilt from config.dat on every Y; afterwards holds the last address requested.
std::string g_scoreUrl;

namespace {

enum : int {
  SEND_SOUND_PROMPT = 0,           // "check that you are connected", asks for Y or N
  SEND_SOUND_SENDING = 1,          // spoken before the requests
  SEND_SOUND_CONFIGURE_FIRST = 2,  // config.dat missing or empty
};

const char* const SEND_SOUND_FILES[SEND_SOUND_COUNT] = {
    "game\\check_connected.vgz",
    "game\\sending_score.vgz",
    "game\\say_config_first.vgz",
};

const char SCORE_URL_TEMPLATE[] =
    "http://" CHIMEBOX_SCORE_HOST
    "/chimebox/top1.php?first_name=%s&last_name=%s&addr=%s&country=%s&score=";

constexpr char CONFIG_FIELD_SEPARATOR = '`';
constexpr int CONFIG_FIELD_COUNT = 4;
constexpr uint32_t PLACE_QUERY_DELAY_MS = 6000;  // lets the server enter the score first

}  // namespace

int StartSendScore() {
  for (int i = 0; i < SEND_SOUND_COUNT; ++i) {
    g_sendSounds[i] = LoadSound(SEND_SOUND_FILES[i]);
    if (!g_sendSounds[i]) {
      ReleaseSendSounds();
      return 0;
    }
  }
  PlayOnce(g_sendSounds[SEND_SOUND_PROMPT], 0, 0);
  return 1;
}

void SendScoreKey(int vk) {
  if (vk == plat::VK_ESCAPE || vk == plat::VK_N) {
    StopSendSounds();
    ReleaseSendSounds();
    ReturnToMenu();
  } else if (vk == plat::VK_Y) {
    StopSendSounds();
    SendScore();
    StopSendSounds();
    ReleaseSendSounds();
    ReturnToMenu();
  }
}

void StopSendSounds() {
  for (SoundBuffer sound : g_sendSounds) {
    if (sound) StopSound(sound);
  }
}

void ReleaseSendSounds() {
  for (SoundBuffer& sound : g_sendSounds) ReleaseSound(sound);
}

void SendScore() {
  if (!ReadPlayerDetails()) {
    PlayAndWait(g_sendSounds[SEND_SOUND_CONFIGURE_FIRST], 0, 0);
    return;
  }
  PlayAndWait(g_sendSounds[SEND_SOUND_SENDING], 0, 0);
  AppendScoreToUrl();
  SubmitScore();
}

int ReadPlayerDetails() {
  std::vector<char> head(CONFIG_READ_BYTES);
  const std::string path = g_programFolder + "config.dat";
  long n = plat::g_platform->ReadFileHead(path.c_str(), head.data(), head.size());
  return ParsePlayerDetails(head.data(), n);
}

int ParsePlayerDetails(const char* head, long n) {
  if (head == nullptr || n <= 0) return 0;
  if (static_cast<size_t>(n) > CONFIG_READ_BYTES) n = static_cast<long>(CONFIG_READ_BYTES);
  // The last byte read is dropped: normally the final line feed.
  std::string text(head, static_cast<size_t>(n) - 1);
  for (char& c : text) {
    if (c == '\n') c = CONFIG_FIELD_SEPARATOR;
  }
  // The details are text: a zero byte ends them.
  return BuildScoreUrl(text.c_str());
}

int BuildScoreUrl(const char* text) {
  if (text == nullptr || *text == '\0') return 0;
  std::string fields[CONFIG_FIELD_COUNT];
  const char* p = text;
  for (std::string& field : fields) {
    const char* start = p;
    while (*p != '\0' && *p != CONFIG_FIELD_SEPARATOR) ++p;
    field.assign(start, static_cast<size_t>(p - start));
    if (*p == CONFIG_FIELD_SEPARATOR) ++p;
  }

  // The fields go in as they stand; the platform encodes what cannot travel in a URL.
  g_scoreUrl.clear();
  int next = 0;
  for (const char* t = SCORE_URL_TEMPLATE; *t != '\0'; ++t) {
    if (t[0] == '%' && t[1] == 's' && next < CONFIG_FIELD_COUNT) {
      g_scoreUrl += fields[next++];
      ++t;
    } else {
      g_scoreUrl += *t;
    }
  }
  return 1;
}

void AppendScoreToUrl() { g_scoreUrl += std::to_string(g_lastScore); }

int SubmitScore() {
  if (plat::g_platform->HttpGet(g_scoreUrl, nullptr, 0) != plat::HttpResult::Ok) return 0;
  plat::g_platform->Sleep(PLACE_QUERY_DELAY_MS);
  QueryPlace();
  return 1;
}

void QueryPlace() {
  static const std::string kSubmitPage = "top1.php";
  static const std::string kPlacePage = "top2.php";
  for (size_t at = g_scoreUrl.find(kSubmitPage); at != std::string::npos;
       at = g_scoreUrl.find(kSubmitPage, at + kPlacePage.size())) {
    g_scoreUrl.replace(at, kSubmitPage.size(), kPlacePage);
  }

  std::string reply;
  if (plat::g_platform->HttpGet(g_scoreUrl, &reply, PLACE_REPLY_MAX_BYTES) != plat::HttpResult::Ok) {
    return;
  }
  if (reply.size() > PLACE_REPLY_MAX_BYTES) reply.resize(PLACE_REPLY_MAX_BYTES);
  if (reply.empty()) {
    SayNotEnough();
    return;
  }
  // The reply is text: it ends at its first zero byte, if any.
  SayPlaceFromReply(reply.c_str());
}

void SayPlaceFromReply(const char* reply) {
  if (reply == nullptr) return;
  char first = reply[0];
  if (first == '1') {
    SayPlace(reply[1] == '\0' ? 1 : 10);
  } else if (first >= '2' && first <= '9') {
    SayPlace(first - '0');
  }
}
