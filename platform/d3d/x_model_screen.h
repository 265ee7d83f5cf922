// Screening .x model bytes before the model library reads them. The library
// trusts the counts a file declares: it sizes arrays by them before reading
// any element, reads zeros past the end of binary data, and indexes arrays by
// the file's numbers unchecked. The screen walks the file exactly as the
// library's reader will and refuses it when a count cannot be held by the
// bytes after it or exceeds the limits below, when an index points outside
// its array, or when the reader would step past the end of the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Vertices, faces or normals of one mesh.
constexpr uint32_t X_MODEL_MAX_ELEMENTS = 1000000;
// Indices of one face (a polygon is cut into triangles in time that grows
// with the cube of its corners at worst).
constexpr uint32_t X_MODEL_MAX_FACE_INDICES = 256;
// What a compressed model may expand to.
constexpr size_t X_MODEL_MAX_EXPANDED = 32u << 20;
// Frames within frames.
constexpr int X_MODEL_MAX_DEPTH = 256;
// Bytes of one name or string.
constexpr size_t X_MODEL_MAX_NAME = 1023;

// True when the model may be read; plain then holds the bytes to give the
// reader: the model itself, or the text or binary form of a compressed model.
bool ScreenXModel(const uint8_t* data, size_t size, std::string* plain);
