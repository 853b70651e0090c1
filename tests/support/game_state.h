// Puts the game's program-wide state back to how a fresh process starts, so that several
// runs of the game can share one test process.
#pragma once

namespace testing_support {
void ResetGameState();
}
