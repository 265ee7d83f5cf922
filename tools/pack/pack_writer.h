// Writes pack archives: the header word, then each file's stored name, size
// and content. The framework only unpacks them.
#pragma once

#include <string>
#include <vector>

// Packs the files and folders (recursively, in name order) given as paths
// relative to the current folder; each file is stored under its path with
// '\' between folders. False with a reason for an absolute or climbing path,
// a name longer than 259 bytes, a file of 2 GB or more, or a read or write
// failure.
bool WritePackArchive(const std::string& archivePath, const std::vector<std::string>& paths, std::string* error);
