#include "tools/quibstage/stage_text.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Reads the text one line at a time, tracking where each word starts.
class TextReader {
public:
    TextReader(const std::string& text, const std::string& name) : text_(text), name_(name) {}

    // Moves to the next line holding something other than blanks and a
    // comment; false at the end of the text.
    bool NextLine() {
        while (next_ < text_.size()) {
            const size_t end = text_.find('\n', next_);
            lineStart_ = next_;
            lineEnd_ = end == std::string::npos ? text_.size() : end;
            next_ = end == std::string::npos ? text_.size() : end + 1;
            ++lineNumber_;
            const size_t hash = text_.find('#', lineStart_);
            if (hash < lineEnd_) lineEnd_ = hash;
            pos_ = lineStart_;
            SkipBlanks();
            if (pos_ < lineEnd_) return true;
        }
        return false;
    }

    // The next word of the line, or "" at its end.
    std::string Word() {
        SkipBlanks();
        wordStart_ = pos_;
        while (pos_ < lineEnd_ && !IsBlank(text_[pos_])) ++pos_;
        return text_.substr(wordStart_, pos_ - wordStart_);
    }

    bool AtLineEnd() {
        SkipBlanks();
        wordStart_ = pos_;
        return pos_ >= lineEnd_;
    }

    // "NAME:LINE:COLUMN: reason" at the start of the last word looked at.
    std::string Error(const std::string& reason) const {
        return name_ + ":" + std::to_string(lineNumber_) + ":" + std::to_string(wordStart_ - lineStart_ + 1) + ": " +
               reason;
    }
    std::string ErrorAtEnd(const std::string& reason) const {
        return name_ + ":" + std::to_string(lineNumber_ + 1) + ":1: " + reason;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
    void SkipBlanks() {
        while (pos_ < lineEnd_ && IsBlank(text_[pos_])) ++pos_;
    }

    const std::string& text_;
    const std::string& name_;
    size_t next_ = 0, lineStart_ = 0, lineEnd_ = 0, pos_ = 0, wordStart_ = 0;
    int lineNumber_ = 0;
};

// A decimal 32-bit integer, optionally signed.
bool ParseInt32(const std::string& word, int32_t* value) {
    if (word.empty()) return false;
    const size_t digits = word[0] == '-' || word[0] == '+' ? 1 : 0;
    if (digits == word.size()) return false;
    for (size_t i = digits; i < word.size(); ++i)
        if (word[i] < '0' || word[i] > '9') return false;
    errno = 0;
    const long long v = std::strtoll(word.c_str(), nullptr, 10);
    if (errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    *value = static_cast<int32_t>(v);
    return true;
}

bool ReadNumber(TextReader& reader, const std::string& what, int32_t* value, std::string* error) {
    const std::string word = reader.Word();
    if (word.empty()) {
        *error = reader.Error("expected " + what + ", found the end of the line");
        return false;
    }
    if (!ParseInt32(word, value)) {
        *error = reader.Error("expected " + what + " (a whole number that fits in 32 bits), found '" + word + "'");
        return false;
    }
    return true;
}

bool ExpectLineEnd(TextReader& reader, const std::string& after, std::string* error) {
    if (reader.AtLineEnd()) return true;
    *error = reader.Error("unexpected '" + reader.Word() + "' after " + after);
    return false;
}

bool ParseHeader(TextReader& reader, StageText* stage, const bool* seen, std::string* error) {
    const std::string keyword = reader.Word();
    if (keyword != "stage") {
        *error = reader.Error("expected 'stage NNN', found '" + keyword + "'");
        return false;
    }
    int32_t number = 0;
    if (!ReadNumber(reader, "a stage number", &number, error)) return false;
    if (number < 1 || number > STAGE_COUNT) {
        *error = reader.Error("stage number " + std::to_string(number) + " is outside 1.." +
                              std::to_string(STAGE_COUNT));
        return false;
    }
    if (seen[number]) {
        *error = reader.Error("stage " + std::to_string(number) + " is given twice");
        return false;
    }
    stage->number = number;
    if (!reader.AtLineEnd()) {
        const std::string word = reader.Word();
        if (word != "check") {
            *error = reader.Error("expected 'check' or the end of the line, found '" + word + "'");
            return false;
        }
        if (!ReadNumber(reader, "a check word", &stage->checkWord, error)) return false;
        stage->keepsCheckWord = true;
    }
    return ExpectLineEnd(reader, "the stage header", error);
}

bool ParseRows(TextReader& reader, StageText* stage, std::string* error) {
    for (int row = 0; row < MAP_ROWS; ++row) {
        if (!reader.NextLine()) {
            *error = reader.ErrorAtEnd("stage " + std::to_string(stage->number) + " ends after " +
                                       std::to_string(row) + " of its " + std::to_string(MAP_ROWS) + " rows");
            return false;
        }
        for (int column = 0; column < MAP_COLUMNS; ++column) {
            const std::string what = "the number of column " + std::to_string(column) + " in row " +
                                     std::to_string(row) + " of stage " + std::to_string(stage->number);
            if (!ReadNumber(reader, what, &stage->cells[CellIndex(column, row)], error)) return false;
        }
        if (!ExpectLineEnd(reader, std::to_string(MAP_COLUMNS) + " numbers", error)) return false;
    }
    return true;
}

}  // namespace

void FormatStageText(const StageText& stage, std::string* out) {
    char line[64];
    std::snprintf(line, sizeof(line), "stage %03d", stage.number);
    *out += line;
    if (stage.keepsCheckWord) *out += " check " + std::to_string(stage.checkWord);
    *out += '\n';
    for (int row = 0; row < MAP_ROWS; ++row) {
        for (int column = 0; column < MAP_COLUMNS; ++column) {
            std::snprintf(line, sizeof(line), column ? " %3d" : "%3d",
                          static_cast<int>(stage.cells[CellIndex(column, row)]));
            *out += line;
        }
        *out += '\n';
    }
}

bool ParseStageText(const std::string& text, const std::string& name, std::vector<StageText>* stages,
                    std::string* error) {
    TextReader reader(text, name);
    bool seen[STAGE_COUNT + 1] = {};
    while (reader.NextLine()) {
        StageText stage;
        if (!ParseHeader(reader, &stage, seen, error) || !ParseRows(reader, &stage, error)) return false;
        seen[stage.number] = true;
        stages->push_back(stage);
    }
    return true;
}
