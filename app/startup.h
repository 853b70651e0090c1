// What start-up and shut-down call in the screens: the sounds that live for the whole run,
// the random seed and the introduction.
#pragma once

#include "sound/sound.h"

// The rest of the second start-up stage after the device, timer and controller: seeds the
// generator, loads the menu's and the scores' sounds; false when a sound is missing.
bool InitGameSystems();
// Releases the sounds that live for the whole run, menu first.
void ReleaseGameSounds();
void StartIntroOnFirstPaint();
