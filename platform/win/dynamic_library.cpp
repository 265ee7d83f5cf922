// Dynamic libraries on the platform's shared objects (dlopen). A Windows-style
// library name maps to a shared object by its file name: the last part of the
// name (after '/' or '\'), lowercased and without its extension, is the
// library's name N, looked for as lib<N>.so, then <N>.so.
#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/win/platform.h"
#include "platform/win/win.h"

namespace {

// The directory of the running program, without a trailing '/'.
std::string ProgramDirectory() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return ".";
    const std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.rfind('/'));
}

// The files a name may stand for, in search order: the name's own directory
// (the working directory when it has none), plugins/ beside the program, and
// the program's directory.
std::vector<std::string> SharedObjectCandidates(const char* name) {
    const std::string path = NativePath(name);
    const size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (const size_t dot = base.rfind('.'); dot != std::string::npos) base.erase(dot);
    for (char& c : base) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (base.empty()) return {};

    const std::string program = ProgramDirectory();
    std::vector<std::string> candidates;
    for (const std::string& folder : {directory, program + "/plugins", program}) {
        candidates.push_back(folder + "/lib" + base + ".so");
        candidates.push_back(folder + "/" + base + ".so");
    }
    return candidates;
}

}  // namespace

HMODULE LoadLibraryA(const char* fileName) {
    TraceCall("LoadLibraryA");
    if (!fileName) return nullptr;
    for (const std::string& candidate : SharedObjectCandidates(fileName)) {
        if (access(candidate.c_str(), F_OK) != 0) continue;
        if (void* library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
    }
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
    if (!module || !procName) return nullptr;
    return reinterpret_cast<FARPROC>(dlsym(module, procName));
}

BOOL FreeLibrary(HMODULE module) {
    TraceCall("FreeLibrary");
    return module && dlclose(module) == 0 ? TRUE : FALSE;
}
