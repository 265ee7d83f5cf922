// The shared beginning and end of the picture loaders.
#include "framework/image/slot_loading.h"

#include <cstring>

bool CanLoadIntoSlot(int slot, const char* name, const char* pluginName) {
    return IsApplicationSlot(slot) && name && pluginName && std::strlen(name) < sizeof(ImageSlot::fileName) &&
           std::strlen(pluginName) < sizeof(ImageSlot::pluginName);
}

void ClaimSlot(int slot, const char* name, const char* pluginName) {
    ImageSlot& s = gImageSlots[slot];
    if (s.surface) s.surface->Release();
    s.surface = nullptr;
    std::strcpy(s.fileName, name);
    std::strcpy(s.pluginName, pluginName);
}

int FinishSlotLoad(int slot, HBITMAP bitmap, int useColorKey) {
    const int made = SetImageFromBitmap(static_cast<uint16_t>(slot), bitmap);
    DeleteObject(bitmap);
    if (!made) return 0;
    SetImageColorKeyFromCorner(slot);
    gImageSlots[slot].useColorKey = useColorKey;
    return 1;
}
