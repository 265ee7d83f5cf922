// MessageBoxA on the desktop through SDL's message box. Without a desktop the
// box cannot be shown; the default answer is returned and the text has
// already gone to the debug output.
#include <SDL.h>

#include "platform/win/sdl2/sdl2_window.h"

int ShowSdlMessageBox(SDL_Window* parent, const char* textUtf8, const char* captionUtf8, UINT type) {
    const UINT buttons = type & 0xF;
    SDL_MessageBoxButtonData data[3];
    int count = 0;
    auto add = [&](int id, const char* label, Uint32 flags) { data[count++] = {flags, id, label}; };
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) {
        add(IDYES, "Yes", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
        add(IDNO, "No", buttons == MB_YESNO ? SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT : 0);
        if (buttons == MB_YESNOCANCEL) add(IDCANCEL, "Cancel", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
    } else if (buttons == MB_OKCANCEL) {
        add(IDOK, "OK", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
        add(IDCANCEL, "Cancel", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
    } else {
        add(IDOK, "OK", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
    }
    const UINT icon = type & 0xF0;
    const Uint32 flags = icon == MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
    const SDL_MessageBoxData box{flags, parent, captionUtf8, textUtf8, count, data, nullptr};
    int answer = data[0].buttonid;
    if (SDL_ShowMessageBox(&box, &answer) != 0 || answer < 0) return data[0].buttonid;
    return answer;
}
