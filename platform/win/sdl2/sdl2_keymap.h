// SDL key scancodes to Windows virtual-key codes.
#pragma once

#include <SDL.h>

// The virtual-key code of a scancode, or 0 for keys that have none.
int VirtualKeyFromScancode(SDL_Scancode scancode);
// For the left/right modifier codes the generic one (VK_SHIFT for VK_LSHIFT); 0 otherwise.
int GenericModifierKey(int virtualKey);
