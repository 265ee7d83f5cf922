// The contract between the framework and an image decoder plug-in: a shared
// object exporting "IsSupported" and "GetPicture" with C linkage. The plug-in
// hands the decoded picture back as two movable global-memory blocks (the
// BITMAPINFO with its colour table, and the pixel bits) that the caller frees.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi.h"
#include "platform/win/win.h"

// Nonzero when the plug-in can decode the picture. data is the address of a
// buffer holding the whole file, zero-filled up to at least
// PICTURE_HEAD_BYTES, so a plug-in may inspect that many bytes freely.
using IsSupportedProc = int (*)(const char* path, uintptr_t data);

// Called with progress (done, total, userData) while decoding; a nonzero result
// asks the plug-in to stop. The framework passes none.
using PictureProgressProc = int (*)(int done, int total, long userData);

// Decodes a picture. With inputKind PICTURE_IN_MEMORY, buffer and length are
// the file's bytes. On PICTURE_OK, *info and *bits are the two blocks.
using GetPictureProc = int (*)(const char* buffer, long length, unsigned int inputKind, HGLOBAL* info,
                               HGLOBAL* bits, PictureProgressProc progress, long userData);

constexpr unsigned int PICTURE_IN_MEMORY = 1;
constexpr size_t PICTURE_HEAD_BYTES = 2048;

// GetPicture results.
constexpr int PICTURE_OK = 0;
constexpr int PICTURE_NOT_IMPLEMENTED = -1;
constexpr int PICTURE_UNKNOWN_FORMAT = 2;
constexpr int PICTURE_BROKEN_DATA = 3;
constexpr int PICTURE_NO_MEMORY = 4;

// How a plug-in marks its entry points.
#define PICTURE_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
