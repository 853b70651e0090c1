// The spoken score screens, and two short blocking phrases used elsewhere.
#pragma once

#include <cstdint>

extern int32_t g_sayPosition;

void StartScoreAnnouncement(int kind);
void ScoreAnnouncementTick();
void ScoreScreenKey(int vk);
void SayPlace(int place);
void SayNotEnough();
