// The screen in front of the model reader: every encoding of a real model
// passes (a compressed one as its binary form), and counts the bytes cannot
// hold, indices outside their arrays and reads past the end are refused.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/d3d/x_model_reader.h"
#include "platform/d3d/x_model_screen.h"
#include "tools/x_model/shapes.h"
#include "tools/x_model/x_model_writer.h"

namespace {

XModel TorusModel() {
    XMaterial material;
    material.textureFile = "ring.bmp";
    XModel model;
    model.frames.push_back({"Ring", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {TorusMesh(12, 8, 1, 0.3f, material)}, {}});
    model.ticksPerSecond = 30;
    model.animationSetName = "Turn";
    model.animations.push_back({"Ring", {{0, {1, 0, 0, 0}}, {30, {0, 0, 1, 0}}}, {{0, {1, 1, 1}}}, {{0, {0, 0, 0}}}});
    return model;
}

// One triangle as text; each test changes a piece of it.
const std::string TRIANGLE =
    "xof 0302txt 0032\n"
    "Frame F {\n Mesh m {\n  3;\n  0.0;0.0;0.0;,\n  1.0;0.0;0.0;,\n  0.0;1.0;0.0;;\n  1;\n  3;0,1,2;;\n"
    "  MeshMaterialList { 1; 1; 0;; Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }\n"
    "  MeshVertexColors { 3; 0;1.0;0.0;0.0;1.0;;, 1;0.0;1.0;0.0;1.0;;, 2;0.0;0.0;1.0;1.0;;; }\n"
    "  SkinWeights { \"F\"; 2; 0, 2; 0.5, 0.5;"
    " 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;; }\n }\n}\n";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

bool Screen(const std::string& bytes, std::string* plain = nullptr) {
    std::string ignored;
    return ScreenXModel(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), plain ? plain : &ignored);
}

bool Read(const std::string& bytes) {
    ModelFile model;
    return ReadXModel(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &model);
}

// Binary tokens: names, braces and lists of numbers.
struct BinaryModel {
    std::string bytes = "xof 0302bin 0032";
    BinaryModel& Word(uint32_t w) { return bytes.append({char(w), char(w >> 8)}), *this; }
    BinaryModel& Dword(uint32_t d) { return Word(d & 0xFFFF).Word(d >> 16); }
    BinaryModel& Name(const std::string& name) { return Word(1).Dword(uint32_t(name.size())), bytes += name, *this; }
    BinaryModel& Ints(const std::vector<uint32_t>& values) {
        Word(6).Dword(uint32_t(values.size()));
        for (uint32_t v : values) Dword(v);
        return *this;
    }
    BinaryModel& Floats(int count) {
        Word(7).Dword(uint32_t(count));
        for (int i = 0; i < count; ++i) Dword(i % 2 ? 0x3F800000 : 0);
        return *this;
    }
};

TEST(XModelScreen, EveryEncodingPassesUpToTheLimitAndImpossibleCountsIndicesAndReadsAreRefused) {
    const std::vector<uint8_t> text = WriteXModel(TorusModel(), XEncoding::Text);
    const std::vector<uint8_t> binary = WriteXModel(TorusModel(), XEncoding::Binary);
    const std::vector<uint8_t> compressed = WriteXModel(TorusModel(), XEncoding::Compressed);
    std::string plain;
    EXPECT_TRUE(ScreenXModel(text.data(), text.size(), &plain));
    EXPECT_EQ(plain, std::string(text.begin(), text.end()));
    EXPECT_TRUE(ScreenXModel(binary.data(), binary.size(), &plain));
    ASSERT_TRUE(ScreenXModel(compressed.data(), compressed.size(), &plain));
    EXPECT_TRUE(plain == std::string(binary.begin(), binary.end())) << plain.size() << " bytes, not " << binary.size();
    EXPECT_TRUE(Screen(TRIANGLE));
    EXPECT_TRUE(Read(TRIANGLE));
    // A binary triangle of lists as the reader takes them.
    const BinaryModel triangle = BinaryModel().Name("Mesh").Word(0x0a).Ints({3}).Floats(9).Ints({1, 3, 0, 1, 2}).Word(0x0b);
    EXPECT_TRUE(Read(triangle.bytes));
    // Compressed blocks of 32 KB of zeros each: a few expand, more than the limit
    // holds are refused.
    std::vector<Bytef> zeros(32768), packed(1024);
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    stream.next_in = zeros.data();
    stream.avail_in = static_cast<uInt>(zeros.size());
    stream.next_out = packed.data();
    stream.avail_out = static_cast<uInt>(packed.size());
    ASSERT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    packed.resize(packed.size() - stream.avail_out);
    deflateEnd(&stream);
    auto model = [&](size_t blocks) {
        BinaryModel compressed;
        compressed.bytes.replace(8, 4, "bzip");
        compressed.Dword(0);
        for (size_t i = 0; i < blocks; ++i) {
            compressed.Word(32768).Word(uint32_t(packed.size() + 2)).bytes += "CK";
            compressed.bytes.append(packed.begin(), packed.end());
        }
        return compressed.bytes;
    };
    ASSERT_TRUE(Screen(model(4), &plain));
    EXPECT_EQ(plain, "xof 0302bin 0032" + std::string(4 * 32768, '\0'));
    EXPECT_FALSE(Screen(model(X_MODEL_MAX_EXPANDED / 32768 + 1)));
    // Counts the bytes cannot hold, indices outside their arrays and reads past the end are refused.
    for (const char* count : {"4000000000;", "-1;", "400000;", "1000001;"}) {
        EXPECT_FALSE(Screen(Replace(TRIANGLE, "  3;\n", count))) << "vertices " << count;
        EXPECT_FALSE(Screen(Replace(TRIANGLE, "  1;\n", count))) << "faces " << count;
    }
    EXPECT_FALSE(Screen(Replace(TRIANGLE, "3;0,1,2;;", "900;0,1,2;;"))) << "indices of a face";
    EXPECT_FALSE(Screen(Replace(TRIANGLE, "2; 0, 2;", "90000; 0, 2;"))) << "skin weights";
    // Binary data past its end reads as zeros: a count of 100,000 over 20 bytes.
    EXPECT_FALSE(Screen(BinaryModel().Name("Mesh").Word(0x0a).Ints({100000}).Floats(3).bytes));
    // Indices outside their arrays and reads past the end.
    EXPECT_FALSE(Screen(Replace(TRIANGLE, "3;0,1,2;;", "3;0,1,3;;"))) << "a face index one past the vertices";
    EXPECT_FALSE(Screen(Replace(TRIANGLE, "2;0.0;0.0;1.0", "3;0.0;0.0;1.0"))) << "a vertex colour";
    EXPECT_FALSE(Screen(Replace(TRIANGLE, "0, 2; 0.5", "0, 3; 0.5"))) << "a skin weight";
    EXPECT_FALSE(Screen(Replace(TRIANGLE, "Material {", "Mat {"))) << "face materials without a material";
    EXPECT_FALSE(Screen(Replace(TRIANGLE, "  1;\n  3;0,1,2;;\n", "  0;\n"))) << "a material index without faces";
    EXPECT_FALSE(Screen(Replace(TRIANGLE, " }\n}\n", "MeshMaterialList { 1; 1; 0;; { Mat } }\n }\n}\n")))
        << "a second material list";
    EXPECT_FALSE(Screen(Replace(TRIANGLE, "Frame F", "Frame " + std::string(1024, 'F')))) << "a name too long";
    std::string deep = "xof 0302txt 0032\n";
    for (int i = 0; i <= X_MODEL_MAX_DEPTH; ++i) deep += "Frame {\n";
    EXPECT_FALSE(Screen(deep + std::string(X_MODEL_MAX_DEPTH + 1, '}')));
    EXPECT_FALSE(Screen(BinaryModel().Word(2).Dword(0x80000000u).bytes)) << "a string the reader would take whole";
    EXPECT_FALSE(Screen(BinaryModel().Name("Frame").Word(0x0a).Word(6).Dword(1000).bytes)) << "a list past the end";
}

}  // namespace
