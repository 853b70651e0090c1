// Score submission: the confirmation screen and the two requests to the score server.
#pragma once

#include <string>

#include "sound/sound.h"

constexpr int SEND_SOUND_COUNT = 3;
extern SoundBuffer g_sendSounds[SEND_SOUND_COUNT];
extern std::string g_scoreUrl;

int StartSendScore();
void SendScoreKey(int vk);
void StopSendSounds();
void ReleaseSendSounds();
void SendScore();
int ReadPlayerDetails();
int BuildScoreUrl(const char* text);
void AppendScoreToUrl();
int SubmitScore();
void QueryPlace();
void SayPlaceFromReply(const char* reply);
