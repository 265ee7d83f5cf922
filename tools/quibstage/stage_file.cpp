#include "tools/quibstage/stage_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

StageFile ReadStageFile(const std::string& path, OpenMode mode) {
    StageFile file;
    file.path = path;
    struct stat info {};
    file.exists = stat(path.c_str(), &info) == 0;
    if (!file.exists) return file;
    file.size = static_cast<uint64_t>(info.st_size);
    if (S_ISDIR(info.st_mode)) return file;
    FILE* stream = std::fopen(path.c_str(), mode == OpenMode::AS_EDITOR ? "r+b" : "rb");
    if (!stream) return file;
    file.opened = true;
    file.wordsRead = ReadStageRecord(stream);
    std::fclose(stream);
    file.checkWord = gStageRecord.checkWord;
    std::memcpy(file.cells, gStageRecord.cells, sizeof(file.cells));
    return file;
}

bool ReadWholeStageFile(const std::string& path, StageFile* file, std::string* error) {
    errno = 0;
    *file = ReadStageFile(path, OpenMode::READ_ONLY);
    if (!file->exists) {
        *error = path + ": no such file";
    } else if (!file->opened) {
        *error = path + ": cannot be read" + (errno ? std::string(" (") + std::strerror(errno) + ")" : "");
    } else if (!file->WholeRecord()) {
        *error = path + ": " + std::to_string(file->size) + " bytes; a stage file has " +
                 std::to_string(STAGE_FILE_BYTES);
    } else {
        return true;
    }
    return false;
}

bool WriteStageCells(const std::string& path, int32_t checkWord, const int32_t* cells, std::string* error) {
    gStageRecord.checkWord = checkWord;
    std::memcpy(gStageRecord.cells, cells, sizeof(gStageRecord.cells));
    errno = 0;
    if (WriteStageRecord(path.c_str()) == 1) return true;
    *error = path + ": cannot be written" + (errno ? std::string(" (") + std::strerror(errno) + ")" : "");
    return false;
}

std::string StageFilePath(const std::string& folder, int stageNumber) {
    char name[32];
    std::snprintf(name, sizeof(name), "stage%03d.clb", stageNumber);
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

int StageNumberOfPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    int number = 0;
    char tail = 0;
    if (name.size() != 12 || std::sscanf(name.c_str(), "stage%3d.cl%c", &number, &tail) != 2 || tail != 'b')
        return 0;
    if (std::strspn(name.c_str() + 5, "0123456789") != 3) return 0;
    return number >= 1 && number <= STAGE_COUNT ? number : 0;
}
