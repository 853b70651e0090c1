// Screen-mode dispatch: every key press, key release and tick goes to the handler that
// the current mode names.
#pragma once

int DispatchKeyDown(int vk);  // 0 when the window is to close
void DispatchKeyUp(int vk);
void DispatchTick();
