// The framework's diagnostics: debug lines, warning boxes, yes/no questions.
// Texts are Shift-JIS; each call formats into its own 256-byte buffer.
#pragma once

#include <cstdarg>
#include <cstddef>

constexpr size_t MESSAGE_BUFFER_SIZE = 256;

void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ErrorBox(const char* format, ...) __attribute__((format(printf, 1, 2)));
int ConfirmBox(const char* text);

// Formats into a buffer of the given size like vsprintf, keeping at most
// size - 1 bytes and never ending on the first half of a double-byte character.
void FormatMessageText(char* buffer, size_t size, const char* format, va_list args);
