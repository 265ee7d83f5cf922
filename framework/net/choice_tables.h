// The connection and session tables: heap copies of what an enumeration
// found and the text of each entry, kept only while their selection screen
// is up.
#pragma once

#include <cstdlib>

// Empties the table without freeing: every pointer null, no entries.
template <typename Entry, int N>
void ClearChoiceTable(Entry* (&entries)[N], char* (&texts)[N], int* count) {
    *count = 0;
    for (int i = 0; i < N; ++i) {
        entries[i] = nullptr;
        texts[i] = nullptr;
    }
}

// Frees every copy and text, then empties the table.
template <typename Entry, int N>
void FreeChoiceTable(Entry* (&entries)[N], char* (&texts)[N], int* count) {
    for (int i = 0; i < N; ++i) {
        free(entries[i]);
        free(texts[i]);
    }
    ClearChoiceTable(entries, texts, count);
}
