// The walk reads the file object by object with the same tokens, numbers and
// separators as the library's reader (text numbers through the library's own
// number parser), so both see the same counts at the same places. It keeps
// only what the checks need: each mesh's element counts.
//
// A count is held by the bytes after it when each element it announces has
// at least two bytes of text per number (a digit and a separator) or four
// bytes of binary data per number.
#include "platform/d3d/x_model_screen.h"

#include <assimp/fast_atof.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace {

constexpr size_t HEADER_SIZE = 16;
constexpr size_t MSZIP_BLOCK = 32786;    // the reader's room for one block's output
constexpr uint16_t MSZIP_MARK = 0x4B43;  // "CK"
constexpr unsigned MAX_TEXTURE_SETS = 8, MAX_COLOR_SETS = 8;

// What the library's number parser throws at a malformed number.
struct BadNumber : std::exception {
    template <typename... Parts>
    explicit BadNumber(Parts&&...) {}
};

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The compressed forms: after the header a 4-byte total size, then blocks of
// a 2-byte expanded size, a 2-byte length (counting the "CK" mark), "CK" and
// a raw deflate stream whose dictionary is the previous block's output.
// Walked as the reader walks them, from the first block's length.
bool Expand(const uint8_t* data, size_t size, std::string* out) {
    const size_t first = HEADER_SIZE + 6;
    for (size_t at = first; at + 3 < size; at += 4 + Word(data + at))
        if (Word(data + at) >= MSZIP_BLOCK || Word(data + at + 2) != MSZIP_MARK) return false;
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
    std::vector<Bytef> block(MSZIP_BLOCK);
    bool ok = true;
    for (size_t at = first; ok && at + 3 < size;) {
        const uint16_t length = Word(data + at);
        at += 4;
        ok = at + length <= size + 2;  // the last block's length may count the mark past the end
        const size_t in = std::min<size_t>(length, size - std::min(at, size));
        if (ok && in > 0) {
            stream.next_in = const_cast<Bytef*>(data + at);
            stream.avail_in = static_cast<uInt>(in);
            stream.next_out = block.data();
            stream.avail_out = MSZIP_BLOCK;
            const int result = inflate(&stream, Z_SYNC_FLUSH);
            const size_t made = MSZIP_BLOCK - stream.avail_out;
            ok = (result == Z_OK || result == Z_STREAM_END) && out->size() + made <= X_MODEL_MAX_EXPANDED;
            if (ok) {
                out->append(reinterpret_cast<const char*>(block.data()), made);
                inflateReset(&stream);
                inflateSetDictionary(&stream, block.data(), static_cast<uInt>(made));
            }
        }
        at += length;
    }
    inflateEnd(&stream);
    return ok;
}

struct MeshCounts {
    uint32_t vertices = 0, faces = 0, faceMaterials = 0, materials = 0;
    unsigned textureSets = 0, colorSets = 0;
};

class ModelWalk {
public:
    ModelWalk(const std::string& bytes, bool binary, unsigned floatSize)
        : c_(bytes.c_str()), size_(bytes.size()), binary_(binary), floatSize_(floatSize) {}

    bool Run() {
        pos_ = HEADER_SIZE;
        SkipLine();
        while (!failed_) {
            const std::string name = Token();
            if (name.empty()) break;
            if (name == "template") Template();
            else if (name == "Frame") Frame(1);
            else if (name == "Mesh") Mesh();
            else if (name == "AnimTicksPerSecond") Ints(1);
            else if (name == "AnimationSet") AnimationSet();
            else if (name == "Material") Material();
            else if (name != "}") Unknown();
        }
        return !failed_;
    }

private:
    int64_t Left() const { return static_cast<int64_t>(size_) - static_cast<int64_t>(pos_); }
    void Fail() { failed_ = true; }
    void Advance(uint64_t bytes) {
        pos_ += bytes;
        if (pos_ <= size_) return;
        pos_ = size_;  // the reader would go on reading outside its buffer
        Fail();
    }
    uint32_t Binary(int bytes) {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(static_cast<uint8_t>(c_[pos_ + i])) << (8 * i);
        pos_ += bytes;
        return value;
    }

    // Room for count elements of `numbers` numbers each in the bytes left.
    bool Fits(uint64_t count, unsigned numbers) {
        if (!failed_ && count * numbers * (binary_ ? 4 : 2) > static_cast<uint64_t>(std::max<int64_t>(Left(), 0))) Fail();
        return !failed_;
    }
    bool IsSpace() const { return std::isspace(static_cast<unsigned char>(c_[pos_])) != 0; }

    void SkipLine() {
        if (binary_) return;
        while (pos_ < size_) {
            const char next = c_[pos_++];
            if (next == '\n' || next == '\r') return;
        }
    }
    void SkipSpace() {
        if (binary_) return;
        for (;;) {
            while (pos_ < size_ && IsSpace()) ++pos_;
            if (pos_ >= size_ || !((c_[pos_] == '/' && c_[pos_ + 1] == '/') || c_[pos_] == '#')) return;
            SkipLine();
        }
    }

    std::string Token() {
        if (failed_) return {};
        std::string token = binary_ ? BinaryToken() : TextToken();
        if (token.size() > X_MODEL_MAX_NAME) Fail();
        return failed_ ? std::string() : token;
    }
    std::string TextToken() {
        std::string token;
        SkipSpace();
        while (pos_ < size_ && !IsSpace()) {
            const char next = c_[pos_];
            if (next == ';' || next == '}' || next == '{' || next == ',') {
                if (token.empty()) token.push_back(c_[pos_++]);
                break;
            }
            token.push_back(c_[pos_++]);
        }
        return token;
    }
    std::string BinaryToken() {
        static const char* const SYMBOLS[] = {"{", "}", "(", ")", "[", "]", "<", ">", ".", ",", ";"};
        static const char* const TYPES[] = {"WORD", "DWORD", "FLOAT", "DOUBLE", "CHAR", "UCHAR", "SWORD",
                                            "SDWORD", "void", "string", "unicode", "cstring", "array"};
        if (Left() < 2) return {};
        const uint32_t kind = Binary(2);
        if (kind == 1 || kind == 2) {  // a name, or a string with its 2-byte terminator
            if (Left() < 4) return {};
            const uint32_t length = Binary(4);
            if (static_cast<int64_t>(length) > Left()) {
                if (kind == 2 && static_cast<int32_t>(length) < 0) Fail();  // the reader would take it whole
                return {};
            }
            std::string text(c_ + pos_, length);
            Advance(length + (kind == 2 ? 2 : 0));
            return text;
        }
        if (kind == 3 || kind == 5) {  // an integer, a GUID
            Advance(kind == 3 ? 4 : 16);
            return kind == 3 ? "<integer>" : "<guid>";
        }
        if (kind == 6 || kind == 7) {
            if (Left() < 4) return {};
            const uint32_t count = Binary(4);
            Advance(static_cast<uint32_t>(count * (kind == 6 ? 4 : floatSize_)));
            return kind == 6 ? "<int_list>" : "<flt_list>";
        }
        if (kind >= 0x0a && kind <= 0x14) return SYMBOLS[kind - 0x0a];
        if (kind == 0x1f) return "template";
        if (kind >= 0x28 && kind <= 0x34) return TYPES[kind - 0x28];
        return {};
    }

    // Binary numbers come from lists: a list mark and count, or a single number.
    void StartNumber(uint16_t listMark) {
        if (numbersLeft_ == 0 && Left() >= 2) {
            const uint16_t mark = static_cast<uint16_t>(Binary(2));
            numbersLeft_ = mark == listMark && Left() >= 4 ? Binary(4) : 1;
        }
        --numbersLeft_;
    }
    uint32_t Int() {
        if (failed_) return 0;
        if (binary_) {
            StartNumber(0x06);
            if (Left() >= 4) return Binary(4);
            pos_ = size_;
            return 0;
        }
        SkipSpace();
        const bool negative = c_[pos_] == '-';
        if (negative) ++pos_;
        if (!std::isdigit(static_cast<unsigned char>(c_[pos_]))) return Fail(), 0;
        uint32_t number = 0;
        while (pos_ < size_ && std::isdigit(static_cast<unsigned char>(c_[pos_]))) number = number * 10 + (c_[pos_++] - '0');
        Separator();
        return negative ? 0u - number : number;
    }
    void Float() {
        if (failed_) return;
        if (binary_) {
            StartNumber(0x07);
            if (Left() >= floatSize_) pos_ += floatSize_;
            else pos_ = size_;
            return;
        }
        SkipSpace();
        const char* at = c_ + pos_;
        if (std::strncmp(at, "-1.#IND00", 9) == 0 || std::strncmp(at, "1.#IND00", 8) == 0) {
            Advance(9);
        } else if (std::strncmp(at, "1.#QNAN0", 8) == 0) {
            Advance(8);
        } else {
            try {
                ai_real value;
                pos_ = static_cast<size_t>(Assimp::fast_atoreal_move<ai_real, BadNumber>(at, value) - c_);
            } catch (const BadNumber&) {
                return Fail();
            }
        }
        Separator();
    }
    void Floats(int count) {
        for (int i = 0; i < count; ++i) Float();
    }
    // Vectors and colours: their numbers, then a separator if there is one.
    void Vector(int numbers) {
        Floats(numbers);
        TestSeparator();
    }

    void Separator() {
        if (binary_) return;
        const std::string token = Token();
        if (token != "," && token != ";") Fail();
    }
    void Semicolon() {
        if (!binary_ && Token() != ";") Fail();
    }
    void TestSeparator() {
        if (binary_ || failed_) return;
        SkipSpace();
        if (pos_ < size_ && (c_[pos_] == ';' || c_[pos_] == ',')) ++pos_;
    }
    void ClosingBrace() {
        if (Token() != "}") Fail();
    }
    void Head() {
        const std::string nameOrBrace = Token();
        if (nameOrBrace != "{" && Token() != "{") Fail();
    }
    void QuotedString() {
        if (binary_) {
            Token();
            return;
        }
        SkipSpace();
        if (failed_ || pos_ >= size_ || c_[pos_] != '"') return Fail();
        const size_t start = ++pos_;
        while (pos_ < size_ && c_[pos_] != '"') ++pos_;
        if (pos_ - start > X_MODEL_MAX_NAME || pos_ + 1 >= size_ || c_[pos_ + 1] != ';') return Fail();
        pos_ += 2;
    }

    // An object of a few numbers and its closing brace.
    void Ints(int count) {
        Head();
        for (int i = 0; i < count; ++i) Int();
        ClosingBrace();
    }
    void Template() {
        Head();
        Token();  // the identifier
        for (;;) {
            const std::string token = Token();
            if (token == "}") return;
            if (token.empty()) return Fail();
        }
    }
    void Unknown() {
        for (std::string token = Token(); token != "{"; token = Token())
            if (token.empty()) return Fail();
        for (int depth = 1; depth > 0;) {
            const std::string token = Token();
            if (token.empty()) return Fail();
            depth += token == "{" ? 1 : token == "}" ? -1 : 0;
        }
    }
    // The objects inside another up to its closing brace: handle() takes the
    // ones it knows and answers false for the rest, which are read over.
    template <typename Handle>
    void Children(Handle handle) {
        for (;;) {
            const std::string name = Token();
            if (name.empty()) return Fail();
            if (name == "}") return;
            if (!handle(name)) Unknown();
        }
    }

    void Frame(int depth) {
        if (depth > X_MODEL_MAX_DEPTH) return Fail();
        Head();
        Children([&](const std::string& name) {
            if (name == "Frame") Frame(depth + 1);
            else if (name == "FrameTransformMatrix") Head(), Floats(16), Semicolon(), ClosingBrace();
            else if (name == "Mesh") Mesh();
            else return false;
            return true;
        });
    }

    // A face list: each face its index count (at least `fewest`) and indices
    // below `limit`.
    void Faces(uint32_t count, uint32_t limit, uint32_t fewest) {
        for (uint32_t f = 0; f < count && !failed_; ++f) {
            const uint32_t indices = Int();
            if (indices < fewest || indices > X_MODEL_MAX_FACE_INDICES) return Fail();
            if (!Fits(indices, 1)) return;
            for (uint32_t i = 0; i < indices && !failed_; ++i)
                if (Int() >= limit) Fail();
            TestSeparator();
        }
    }
    // A count of at most X_MODEL_MAX_ELEMENTS elements the bytes can hold.
    uint32_t Count(unsigned numbers) {
        const uint32_t count = Int();
        if (count > X_MODEL_MAX_ELEMENTS) Fail();
        return Fits(count, numbers) ? count : 0;
    }

    void Mesh() {
        MeshCounts mesh;
        Head();
        mesh.vertices = Count(3);
        for (uint32_t v = 0; v < mesh.vertices && !failed_; ++v) Vector(3);
        mesh.faces = Count(1);
        Faces(mesh.faces, mesh.vertices, 1);  // an empty face would pass for a polygon
        Children([&](const std::string& name) {
            if (name == "MeshNormals") Normals(mesh);
            else if (name == "MeshTextureCoords") TextureCoords(mesh);
            else if (name == "MeshVertexColors") VertexColors(mesh);
            else if (name == "MeshMaterialList") MaterialList(mesh);
            else if (name == "XSkinMeshHeader") Ints(3);
            else if (name == "SkinWeights") SkinWeights(mesh);
            else return false;
            return true;
        });
        // Faces with materials need a material to refer to.
        if (mesh.faceMaterials > 0 && mesh.materials == 0) Fail();
    }
    void Normals(const MeshCounts& mesh) {
        Head();
        const uint32_t normals = Count(3);
        for (uint32_t n = 0; n < normals && !failed_; ++n) Vector(3);
        if (Int() != mesh.faces) Fail();
        Faces(mesh.faces, normals, 0);
        ClosingBrace();
    }
    // Per-vertex sets: as many entries as the mesh has vertices.
    uint32_t VertexSet(unsigned* sets, unsigned maxSets, unsigned numbers, const MeshCounts& mesh) {
        Head();
        if (++*sets > maxSets) Fail();
        const uint32_t count = Int();
        if (count != mesh.vertices) Fail();
        return Fits(count, numbers) ? count : 0;
    }
    void TextureCoords(MeshCounts& mesh) {
        const uint32_t count = VertexSet(&mesh.textureSets, MAX_TEXTURE_SETS, 2, mesh);
        for (uint32_t i = 0; i < count && !failed_; ++i) Vector(2);
        ClosingBrace();
    }
    void VertexColors(MeshCounts& mesh) {
        const uint32_t count = VertexSet(&mesh.colorSets, MAX_COLOR_SETS, 5, mesh);
        for (uint32_t i = 0; i < count && !failed_; ++i) {
            if (Int() >= mesh.vertices) Fail();
            Vector(4);
            SkipSpace();
            if (!binary_ && (c_[pos_] == ';' || c_[pos_] == ',')) ++pos_;
        }
        ClosingBrace();
    }
    void MaterialList(MeshCounts& mesh) {
        Head();
        Int();  // the material count, which the reader does not use
        const uint32_t indices = Int();
        // One index for every face, or one for all; and one list per mesh.
        if ((indices != mesh.faces && indices != 1) || indices > mesh.faces || mesh.faceMaterials > 0 ||
            !Fits(indices, 1))
            return Fail();
        for (uint32_t i = 0; i < indices; ++i) Int();
        if (!binary_ && pos_ < size_ && c_[pos_] == ';') ++pos_;
        mesh.faceMaterials = indices > 0 ? mesh.faces : 0;
        Children([&](const std::string& name) {
            if (name == "{") Token(), ClosingBrace();  // a material referred to by name
            else if (name == "Material") Material();
            else return name == ";";
            ++mesh.materials;
            return true;
        });
    }
    void Material() {
        Head();
        Vector(4);
        Float();
        Vector(3);
        Vector(3);
        Children([&](const std::string& name) {
            if (name != "TextureFilename" && name != "TextureFileName" && name != "NormalmapFilename" &&
                name != "NormalmapFileName")
                return false;
            Head();
            QuotedString();
            ClosingBrace();
            return true;
        });
    }
    void SkinWeights(const MeshCounts& mesh) {
        Head();
        QuotedString();
        const uint32_t weights = Int();
        if (!Fits(weights, 2)) return;
        for (uint32_t i = 0; i < weights && !failed_; ++i)
            if (Int() >= mesh.vertices) Fail();
        for (uint32_t i = 0; i < weights && !failed_; ++i) Float();
        Floats(16);
        Semicolon();
        ClosingBrace();
    }

    void AnimationSet() {
        Head();
        Children([&](const std::string& name) {
            if (name != "Animation") return false;
            Animation();
            return true;
        });
    }
    void Animation() {
        Head();
        Children([&](const std::string& name) {
            if (name == "AnimationKey") AnimationKey();
            else if (name == "{") Token(), ClosingBrace();  // the frame it moves
            else return false;
            return true;
        });
    }
    // Keys of a rotation (4 numbers), a scale or position (3) or a matrix (16),
    // each after its time and its number count.
    void AnimationKey() {
        Head();
        const uint32_t type = Int();
        const uint32_t keys = Int();
        static const uint32_t NUMBERS[] = {4, 3, 3, 16, 16};
        if (keys > 0 && type > 4) return Fail();
        const uint32_t numbers = type <= 4 ? NUMBERS[type] : 0;
        if (!Fits(keys, 2 + numbers)) return;
        for (uint32_t k = 0; k < keys && !failed_; ++k) {
            Int();  // the time
            if (Int() != numbers) return Fail();
            if (numbers == 3) {
                Vector(3);
            } else {
                Floats(static_cast<int>(numbers));
                Semicolon();
            }
            Separator();
        }
        ClosingBrace();
    }

    const char* c_;  // ends with a zero byte past size_, as the reader's buffer does
    size_t size_;
    bool binary_;
    unsigned floatSize_;
    uint64_t pos_ = 0;
    uint32_t numbersLeft_ = 0;
    bool failed_ = false;
};

}  // namespace

bool ScreenXModel(const uint8_t* data, size_t size, std::string* plain) {
    if (size < HEADER_SIZE || std::memcmp(data, "xof ", 4) != 0) return false;
    const std::string format(reinterpret_cast<const char*>(data) + 8, 4);
    const std::string floatBits(reinterpret_cast<const char*>(data) + 12, 4);
    const bool binary = format == "bin " || format == "bzip";
    const bool compressed = format == "tzip" || format == "bzip";
    if ((!binary && !compressed && format != "txt ") || (floatBits != "0032" && floatBits != "0064")) return false;
    plain->assign(reinterpret_cast<const char*>(data), HEADER_SIZE);
    if (compressed) {
        // Given to the reader uncompressed; a text header line ends before the text.
        plain->replace(8, 4, binary ? "bin " : "txt ");
        if (!binary) plain->push_back('\n');
        if (!Expand(data, size, plain)) return false;
    } else {
        plain->append(reinterpret_cast<const char*>(data) + HEADER_SIZE, size - HEADER_SIZE);
    }
    return ModelWalk(*plain, binary, floatBits == "0064" ? 8 : 4).Run();
}
