#include "app/globals.h"

int32_t g_mode = 0;
int32_t g_tickEnabled = 0;
std::string g_programFolder;
bool g_windowReady = false;
bool g_introStarted = false;
bool g_startupDone = false;
int32_t g_lastScore = 0;
