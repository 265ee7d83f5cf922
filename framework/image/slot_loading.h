// The steps every picture loader shares: taking a slot for a named picture,
// and putting the decoded bitmap into it.
#pragma once

#include "framework/image/image.h"

// False for slot numbers of 256 and above and for names the slot record
// cannot hold (the name is what a restore reloads from).
bool CanLoadIntoSlot(int slot, const char* name, const char* pluginName = "");

// Releases what the slot held and records where its pixels come from.
void ClaimSlot(int slot, const char* name, const char* pluginName = "");

// Copies the bitmap into the slot's new surface and deletes the bitmap; takes
// the colour key from the top-left pixel and stores the key flag. 1 or 0.
int FinishSlotLoad(int slot, HBITMAP bitmap, int useColorKey);
