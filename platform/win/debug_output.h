// Where debug lines go besides standard error.
#pragma once

#include <string>

bool OpenDebugLogFile(const std::string& path);
void CloseDebugLogFile();
// Writes UTF-8 text to standard error and the log file.
void WriteDebugText(const std::string& utf8);
