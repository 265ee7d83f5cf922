// Paths between the system's form, where folders are separated by '\', and
// this machine's, where they are separated by '/'. A program joins folder and
// file name with '\', so every call that takes a path reads both separators.
#include <string>

#include "platform/win/platform.h"

std::string NativePath(const char* systemPath) {
    std::string path = systemPath ? systemPath : "";
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string SystemPath(const std::string& nativePath) {
    std::string path = nativePath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}
