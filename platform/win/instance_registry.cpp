// A running instance holds an abstract Unix socket named after the user, the
// desktop (X display) and the window class. The kernel frees the name when the
// process ends, however it ends, so a crash never leaves a stale lock behind.
#include "platform/win/instance_registry.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win/backend.h"

namespace {

int gHeldSocket = -1;
int gForeignMarker;

bool CheckEnabled() {
    const PlatformOptions& options = GetPlatformOptions();
    return options.backend != "headless" || options.singleInstanceCheck;
}

std::string DesktopName() {
    if (GetPlatformOptions().backend == "headless") return "headless";
    if (const char* x = std::getenv("DISPLAY")) return x;
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY")) return wayland;
    return "console";
}

socklen_t InstanceAddress(const char* className, sockaddr_un* address) {
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    const std::string name = "korven-instance:" + std::to_string(getuid()) + ":" + DesktopName() + ":" + className;
    const size_t length = std::min(name.size(), sizeof(address->sun_path) - 1);
    std::memcpy(address->sun_path + 1, name.data(), length);  // leading 0: abstract namespace
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

}  // namespace

void RegisterRunningInstance(const char* className) {
    if (!CheckEnabled() || gHeldSocket >= 0) return;
    sockaddr_un address;
    const socklen_t length = InstanceAddress(className, &address);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 4) != 0) {
        close(fd);
        return;
    }
    gHeldSocket = fd;
}

bool IsInstanceRunningElsewhere(const char* className) {
    if (!CheckEnabled() || gHeldSocket >= 0) return false;
    sockaddr_un address;
    const socklen_t length = InstanceAddress(className, &address);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool found = connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
    close(fd);
    return found;
}

HWND ForeignInstanceWindow() { return reinterpret_cast<HWND>(&gForeignMarker); }
