// The directory media and model file names are resolved against.
#include <cstring>

#include "framework/app/app.h"
#include "framework/media/media.h"

void GetAppDirectory(char* buffer) {
    if (gAppConfig.screenSaver) {
        // A screen saver is started from the system folder: its data lies beside the program.
        GetModuleFileNameA(static_cast<HMODULE>(gApp.hInstance), buffer, 256);
        for (int i = static_cast<int>(std::strlen(buffer)) - 1; i >= 0; --i) {
            if (buffer[i] == '\\') {
                buffer[i] = '\0';
                break;
            }
            buffer[i] = '\0';
        }
    } else {
        GetCurrentDirectoryA(256, buffer);
    }
}
