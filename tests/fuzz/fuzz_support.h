// What the fuzz targets share: the framework started once on the headless
// platform (so loaders can make slots), and the fuzzer's input put in a file
// for loaders that read files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Opens the headless platform, the main window and a 16-bit display, once.
void StartHeadlessFramework();

// Writes the input to a file in the target's private folder (in memory where
// the system has /dev/shm) and returns its path; same name each call.
std::string InputFile(const uint8_t* data, size_t size, const char* name);

// The folder InputFile writes in; the process works in it.
const std::string& FuzzFolder();
