// The .x writers. The text form writes every member with its separators; the
// binary form writes the same data objects as tokens, runs of integers and
// floats as lists; the compressed form deflates the binary form in MSZIP
// blocks of at most 32 KiB.
#include "tools/x_model/x_model_writer.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <type_traits>

namespace {

// What both encodings write: data objects and their members.
class XSink {
public:
    virtual ~XSink() = default;
    virtual void Open(const std::string& type, const std::string& name) = 0;
    virtual void Close() = 0;
    virtual void Reference(const std::string& name) = 0;
    virtual void String(const std::string& text) = 0;
    virtual void Int(uint32_t value) = 0;
    // Between the records of an array written member by member.
    virtual void Separator(bool last) = 0;
    virtual void Ints(const std::vector<uint32_t>& values) = 0;
    // An array of records of `width` numbers each.
    virtual void Floats(const std::vector<float>& values, size_t width) = 0;
    // The faces of a mesh: count, then per face its index count and indices.
    virtual void Faces(const std::vector<std::vector<uint32_t>>& faces) = 0;
};

class TextSink final : public XSink {
public:
    TextSink() { out_ = "xof 0302txt 0032\n"; }
    std::string& Text() { return out_; }

    void Open(const std::string& type, const std::string& name) override {
        Indent();
        out_ += type + (name.empty() ? "" : " " + name) + " {\n";
        ++depth_;
    }
    void Close() override {
        --depth_;
        Indent();
        out_ += "}\n";
    }
    void Reference(const std::string& name) override {
        Indent();
        out_ += "{ " + name + " }\n";
    }
    void String(const std::string& text) override {
        Indent();
        out_ += "\"" + text + "\";\n";
    }
    void Int(uint32_t value) override {
        Indent();
        out_ += std::to_string(value) + ";\n";
    }
    void Separator(bool last) override {
        Indent();
        out_ += last ? ";\n" : ",\n";
    }
    // Plain numbers separated by ',' and closed by ';'.
    void Ints(const std::vector<uint32_t>& values) override {
        Indent();
        for (size_t i = 0; i < values.size(); ++i) out_ += std::to_string(values[i]) + (i + 1 < values.size() ? "," : ";");
        out_ += "\n";
    }
    void Floats(const std::vector<float>& values, size_t width) override {
        WriteRecords(values.size(), width, [&](size_t i) {
            char text[32];
            std::snprintf(text, sizeof text, "%.9g", values[i]);  // reads back exactly
            return std::string(text);
        });
    }
    void Faces(const std::vector<std::vector<uint32_t>>& faces) override {
        Indent();
        out_ += std::to_string(faces.size()) + ";\n";
        for (size_t f = 0; f < faces.size(); ++f) {
            Indent();
            out_ += std::to_string(faces[f].size()) + ";";
            for (size_t i = 0; i < faces[f].size(); ++i)
                out_ += std::to_string(faces[f][i]) + (i + 1 < faces[f].size() ? "," : "");
            out_ += f + 1 < faces.size() ? ";,\n" : ";;\n";
        }
    }

private:
    void Indent() { out_.append(static_cast<size_t>(depth_), ' '); }
    // A record's members end with ';' and records are separated by ',' with
    // the array closed by ';'; a lone number is just ended by ';'.
    template <typename Format>
    void WriteRecords(size_t count, size_t width, Format format) {
        Indent();
        if (width == 1 && count == 1) {
            out_ += format(0) + ";\n";
            return;
        }
        for (size_t i = 0; i < count; ++i) {
            out_ += format(i) + ";";
            if ((i + 1) % width == 0) out_ += i + 1 < count ? "," : ";";
        }
        out_ += "\n";
    }

    std::string out_;
    int depth_ = 0;
};

class BinarySink final : public XSink {
public:
    explicit BinarySink(const char* header) { Append(header, 16); }
    std::vector<uint8_t>& Bytes() { return out_; }

    void Open(const std::string& type, const std::string& name) override {
        Name(type);
        if (!name.empty()) Name(name);
        Word(0x0A);
    }
    void Close() override { Word(0x0B); }
    void Reference(const std::string& name) override {
        Word(0x0A);
        Name(name);
        Word(0x0B);
    }
    void String(const std::string& text) override {
        Word(0x02);
        DWord(static_cast<uint32_t>(text.size()));
        Append(text.data(), text.size());
        Word(0x14);  // the string's terminator
    }
    void Int(uint32_t value) override { Ints({value}); }
    void Separator(bool) override {}
    void Ints(const std::vector<uint32_t>& values) override {
        Word(0x06);
        DWord(static_cast<uint32_t>(values.size()));
        for (uint32_t v : values) DWord(v);
    }
    void Floats(const std::vector<float>& values, size_t) override {
        Word(0x07);
        DWord(static_cast<uint32_t>(values.size()));
        for (float v : values) {
            uint32_t bits;
            std::memcpy(&bits, &v, 4);
            DWord(bits);
        }
    }
    void Faces(const std::vector<std::vector<uint32_t>>& faces) override {
        std::vector<uint32_t> list{static_cast<uint32_t>(faces.size())};
        for (const auto& face : faces) {
            list.push_back(static_cast<uint32_t>(face.size()));
            list.insert(list.end(), face.begin(), face.end());
        }
        Ints(list);
    }

private:
    void Append(const void* data, size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        out_.insert(out_.end(), bytes, bytes + size);
    }
    void Word(uint16_t value) {
        const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
        Append(bytes, 2);
    }
    void DWord(uint32_t value) {
        Word(static_cast<uint16_t>(value));
        Word(static_cast<uint16_t>(value >> 16));
    }
    void Name(const std::string& name) {
        Word(0x01);
        DWord(static_cast<uint32_t>(name.size()));
        Append(name.data(), name.size());
    }

    std::vector<uint8_t> out_;
};

std::string MaterialName(const std::string& frame, size_t mesh, size_t index) {
    return frame + "_m" + std::to_string(mesh) + "_" + std::to_string(index);
}

void WriteMaterial(XSink& sink, const XMaterial& material, const std::string& name) {
    sink.Open("Material", name);
    sink.Floats({material.diffuse.begin(), material.diffuse.end()}, 4);
    sink.Floats({material.power}, 1);
    sink.Floats({material.specular.begin(), material.specular.end()}, 3);
    sink.Floats({material.emissive.begin(), material.emissive.end()}, 3);
    if (!material.textureFile.empty()) {
        sink.Open("TextureFilename", "");
        sink.String(material.textureFile);
        sink.Close();
    }
    sink.Close();
}

void WriteMesh(XSink& sink, const XMesh& mesh, const std::string& frame, size_t index) {
    const uint32_t vertices = static_cast<uint32_t>(mesh.positions.size() / 3);
    sink.Open("Mesh", "");
    sink.Int(vertices);
    sink.Floats(mesh.positions, 3);
    sink.Faces(mesh.faces);
    if (!mesh.normals.empty()) {
        // One normal per vertex; the normal faces are the position faces.
        sink.Open("MeshNormals", "");
        sink.Int(vertices);
        sink.Floats(mesh.normals, 3);
        sink.Faces(mesh.faces);
        sink.Close();
    }
    if (!mesh.uvs.empty()) {
        sink.Open("MeshTextureCoords", "");
        sink.Int(vertices);
        sink.Floats(mesh.uvs, 2);
        sink.Close();
    }
    if (!mesh.materials.empty()) {
        sink.Open("MeshMaterialList", "");
        sink.Int(static_cast<uint32_t>(mesh.materials.size()));
        sink.Int(static_cast<uint32_t>(mesh.faceMaterials.size()));
        sink.Ints(mesh.faceMaterials);
        // Inside the list rather than as references to top-level materials:
        // Assimp resolves every reference to the scene's first material.
        for (size_t m = 0; m < mesh.materials.size(); ++m) WriteMaterial(sink, mesh.materials[m], MaterialName(frame, index, m));
        sink.Close();
    }
    sink.Close();
}

void WriteFrame(XSink& sink, const XFrame& frame) {
    sink.Open("Frame", frame.name);
    sink.Open("FrameTransformMatrix", "");
    sink.Floats({frame.matrix.begin(), frame.matrix.end()}, 16);
    sink.Close();
    for (size_t i = 0; i < frame.meshes.size(); ++i) WriteMesh(sink, frame.meshes[i], frame.name, i);
    for (const XFrame& child : frame.children) WriteFrame(sink, child);
    sink.Close();
}

// key type 0 rotation (4 numbers), 1 scale, 2 position (3 numbers).
template <typename Key>
void WriteKeys(XSink& sink, uint32_t type, const std::vector<Key>& keys) {
    if (keys.empty()) return;
    sink.Open("AnimationKey", "");
    sink.Int(type);
    sink.Int(static_cast<uint32_t>(keys.size()));
    for (size_t i = 0; i < keys.size(); ++i) {
        const auto& value = [&]() -> const auto& {
            if constexpr (std::is_same_v<Key, XRotationKey>) return keys[i].quaternion;
            else return keys[i].value;
        }();
        sink.Int(keys[i].time);
        sink.Int(static_cast<uint32_t>(value.size()));
        sink.Floats({value.begin(), value.end()}, value.size());
        sink.Separator(i + 1 == keys.size());
    }
    sink.Close();
}

void WriteModel(XSink& sink, const XModel& model) {
    for (const XFrame& frame : model.frames) WriteFrame(sink, frame);
    if (model.ticksPerSecond) {
        sink.Open("AnimTicksPerSecond", "");
        sink.Int(model.ticksPerSecond);
        sink.Close();
    }
    if (model.animations.empty()) return;
    sink.Open("AnimationSet", model.animationSetName);
    for (const XAnimation& animation : model.animations) {
        sink.Open("Animation", "");
        sink.Reference(animation.frame);
        WriteKeys(sink, 0, animation.rotations);
        WriteKeys(sink, 1, animation.scales);
        WriteKeys(sink, 2, animation.positions);
        sink.Close();
    }
    sink.Close();
}

void PutWord(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// Header, total size, then blocks: uncompressed size, compressed size
// (counting the "CK" mark), "CK" and the block as a complete deflate stream
// whose preset dictionary is the previous block's uncompressed bytes.
std::vector<uint8_t> Compress(const std::vector<uint8_t>& binary) {
    constexpr size_t BLOCK = 32768;
    std::vector<uint8_t> out(binary.begin(), binary.begin() + 16);
    std::memcpy(out.data() + 8, "bzip", 4);
    const uint32_t total = static_cast<uint32_t>(binary.size());
    PutWord(out, total & 0xFFFF);
    PutWord(out, total >> 16);
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> block(deflateBound(&stream, BLOCK) + 16);
    for (size_t offset = 16; offset < binary.size(); offset += BLOCK) {
        const size_t size = std::min(BLOCK, binary.size() - offset);
        deflateReset(&stream);
        if (offset > 16) deflateSetDictionary(&stream, binary.data() + offset - BLOCK, static_cast<uInt>(BLOCK));
        stream.next_in = const_cast<uint8_t*>(binary.data() + offset);
        stream.avail_in = static_cast<uInt>(size);
        stream.next_out = block.data();
        stream.avail_out = static_cast<uInt>(block.size());
        deflate(&stream, Z_FINISH);
        const size_t packed = block.size() - stream.avail_out;
        PutWord(out, static_cast<uint32_t>(size));
        PutWord(out, static_cast<uint32_t>(packed + 2));
        out.push_back('C');
        out.push_back('K');
        out.insert(out.end(), block.begin(), block.begin() + static_cast<long>(packed));
    }
    deflateEnd(&stream);
    return out;
}

}  // namespace

std::vector<uint8_t> WriteXModel(const XModel& model, XEncoding encoding) {
    if (encoding == XEncoding::Text) {
        TextSink sink;
        WriteModel(sink, model);
        return {sink.Text().begin(), sink.Text().end()};
    }
    BinarySink sink("xof 0302bin 0032");
    WriteModel(sink, model);
    return encoding == XEncoding::Binary ? sink.Bytes() : Compress(sink.Bytes());
}
