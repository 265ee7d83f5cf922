// GDI drawing on the back buffer: text settings, clearing.
#pragma once

#include <cstdint>

int ClearScreen(uint32_t color);
int SetTextFont(int width, int height, uint32_t color, const char* face);
