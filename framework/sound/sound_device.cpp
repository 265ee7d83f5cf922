// The sound record's life: zeroed before the entry procedure, the device made
// at start-up, the WAVE slots and the device released at process exit.
#include <cstring>

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/sound/sound.h"
#include "framework/sound/wave_slots.h"

SoundState::SoundState()
    : directSound(nullptr), buffers{}, names{}, streamBuffer(nullptr), streamNotify(nullptr), streamEvents{} {}

// The stream fields belong to the stream thread, which releases them itself.
SoundState::~SoundState() {
    for (int slot = 0; slot < WAVE_SLOT_COUNT; ++slot) ReleaseWave(slot);
    if (directSound) directSound->Release();
    directSound = nullptr;
}

int CreateSoundDevice() {
    if (DirectSoundCreate(nullptr, &gSound.directSound, nullptr) != DS_OK) {
        ErrorBox("DirectSoundの構築に失敗しました。");
        return 0;
    }
    if (gSound.directSound->SetCooperativeLevel(gApp.hWnd, DSSCL_NORMAL) != DS_OK) {
        ErrorBox("DirectSoundの協調レベル設定が拒否されました。");
        return 0;
    }
    return 1;
}
