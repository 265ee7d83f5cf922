// Crash-safe stage file writes on the platform's file calls.
#include "editor/stage_file_write.h"

#include <cctype>
#include <cstring>
#include <random>

#include "framework/dialog/diagnostics.h"
#include "platform/win/win.h"

namespace {

constexpr char TEMPORARY_PREFIX[] = ".stage-";
constexpr size_t TEMPORARY_RANDOM_CHARS = 6;
constexpr int TEMPORARY_NAME_TRIES = 100;

// Why a file could not be written, for the log.
const char* Reason(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED: return "書き込みが許可されていません";
    case ERROR_DISK_FULL: return "ディスクの空きが足りません";
    case ERROR_FILE_TOO_LARGE: return "ファイルサイズの上限を超えます";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "フォルダがありません";
    case ERROR_CANT_RESOLVE_FILENAME: return "シンボリックリンクが循環しています";
    default: return "書き込みに失敗しました";
    }
}

bool Fail(const std::string& path, const char* reason) {
    DebugLog("ステージファイル[%s]を保存できません: %s\n", path.c_str(), reason);
    return false;
}

bool Fail(const std::string& path) { return Fail(path, Reason(GetLastError())); }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

HANDLE OpenForWriting(const std::string& path, DWORD creation, HANDLE model = nullptr) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, model);
}

bool WriteAllAndFlush(HANDLE file, const uint8_t* bytes, size_t size) {
    DWORD written = 0;
    return WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size &&
           SetEndOfFile(file) && FlushFileBuffers(file);
}

// Writes over an open file from its start, cuts it there and flushes it; closes it.
bool WriteInPlace(const std::string& path, HANDLE file, const uint8_t* bytes, size_t size) {
    const bool ok = SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && WriteAllAndFlush(file, bytes, size);
    const DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return ok || Fail(path);
}

std::string TemporaryName(const std::string& folder) {
    static constexpr char LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::string name = folder + "/" + TEMPORARY_PREFIX;
    for (size_t i = 0; i < TEMPORARY_RANDOM_CHARS; ++i) name += LETTERS[random() % (sizeof(LETTERS) - 1)];
    return name;
}

// Writes a complete copy beside target (with model's permission bits, when
// given) and renames it into place; -1 when no temporary file can be made
// there (the caller writes in place), else 1 for success and 0 for a failure
// already logged.
int ReplaceAtomically(const std::string& path, const std::string& target, HANDLE model, const uint8_t* bytes,
                      size_t size) {
    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; file == INVALID_HANDLE_VALUE && tries < TEMPORARY_NAME_TRIES; ++tries) {
        temporary = TemporaryName(FolderOf(target));
        file = OpenForWriting(temporary, CREATE_NEW, model);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return -1;
    }
    if (file == INVALID_HANDLE_VALUE) return -1;
    bool ok = WriteAllAndFlush(file, bytes, size);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (ok && !MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ok = false, error = GetLastError();
    if (ok) return 1;
    DeleteFileA(temporary.c_str());
    SetLastError(error);
    Fail(path);
    return 0;
}

bool IsStaleTemporaryName(const char* name) {
    const size_t prefix = sizeof(TEMPORARY_PREFIX) - 1;
    if (std::strncmp(name, TEMPORARY_PREFIX, prefix) != 0 || std::strlen(name) != prefix + TEMPORARY_RANDOM_CHARS)
        return false;
    for (size_t i = prefix; i < prefix + TEMPORARY_RANDOM_CHARS; ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

}  // namespace

bool WriteStageFile(const std::string& path, const uint8_t* bytes, size_t size) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return Fail(path);
        // A new file: made complete beside its place, or in place where the folder allows no more.
        const int made = ReplaceAtomically(path, path, nullptr, bytes, size);
        if (made >= 0) return made == 1;
        HANDLE file = OpenForWriting(path, CREATE_ALWAYS);
        return file != INVALID_HANDLE_VALUE ? WriteInPlace(path, file, bytes, size) : Fail(path);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(path, "ファイルではありません");

    // Opened as the system opens it, through any link; a read-only file stays as it was.
    HANDLE file = OpenForWriting(path, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) || GetLastError() != ERROR_FILE_NOT_FOUND) return Fail(path);
        // A dangling link: opening it for writing makes its target.
        file = OpenForWriting(path, CREATE_ALWAYS);
        return file != INVALID_HANDLE_VALUE ? WriteInPlace(path, file, bytes, size) : Fail(path);
    }
    // Hard links must all see the new contents: those files are written in place.
    BY_HANDLE_FILE_INFORMATION information{};
    char target[4096];
    const DWORD length = GetFinalPathNameByHandleA(file, target, sizeof(target), 0);
    if (GetFileInformationByHandle(file, &information) && information.nNumberOfLinks == 1 && length > 0 &&
        length < sizeof(target)) {
        const int replaced = ReplaceAtomically(path, target, file, bytes, size);
        if (replaced >= 0) {
            CloseHandle(file);
            return replaced == 1;
        }
    }
    return WriteInPlace(path, file, bytes, size);
}

void RemoveStaleStageTemporaries(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "/" + TEMPORARY_PREFIX + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (IsStaleTemporaryName(found.cFileName)) DeleteFileA((folder + "/" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
