// Score submission: the confirmation screen and the two requests to the score server.
#pragma once

#include <cstddef>
#include <string>

#include "sound/sound.h"

constexpr int SEND_SOUND_COUNT = 3;
constexpr size_t CONFIG_READ_BYTES = 10000;        // how much of config.dat is read
constexpr size_t PLACE_REPLY_MAX_BYTES = 100000;   // the one read of the place page
extern SoundBuffer g_sendSounds[SEND_SOUND_COUNT];
extern std::string g_scoreUrl;

int StartSendScore();
void SendScoreKey(int vk);
void StopSendSounds();
void ReleaseSendSounds();
void SendScore();
int ReadPlayerDetails();
// The bytes ReadPlayerDetails read (n of them, -1 when the file could not be opened) into
// g_scoreUrl: the last byte dropped, line feeds as field separators. 1 when built.
int ParsePlayerDetails(const char* head, long n);
int BuildScoreUrl(const char* text);
void AppendScoreToUrl();
int SubmitScore();
void QueryPlace();
void SayPlaceFromReply(const char* reply);
