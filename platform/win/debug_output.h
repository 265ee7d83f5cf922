// Where debug lines go besides standard error.
#pragma once

#include <string>

bool OpenDebugLogFile(const std::string& path);
void CloseDebugLogFile();
// Writes UTF-8 text to standard error and the log file.
void WriteDebugText(const std::string& utf8);
// While set, every debug line is also appended to text as the program wrote
// it (Shift-JIS), for a program that shows its own log.
void SetDebugOutputCopy(std::string* text);
