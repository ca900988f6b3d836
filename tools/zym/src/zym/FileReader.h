#pragma once
// Reads the bytes of a ZYM file into its description. The reader checks the
// structure: every record consumes exactly its own bytes, every string index
// lies in the pool, every count fits the bytes left, class names match where
// they appear and nothing follows the last section. It raises zy::ExtException
// at the first problem, with the byte offset in the message and in
// failureOffset(). Whether references and values make sense is the checker's
// business (Checker.h).
#include <cstdint>
#include <span>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zym/ByteReader.h"
#include "zym/Description.h"

namespace zym {

class FileReader {
public:
    explicit FileReader(std::span<const std::uint8_t> bytes) : in_(bytes) {}

    Description read();
    std::size_t failureOffset() const { return in_.failureOffset(); }
    const std::string& failureMessage() const { return in_.failureMessage(); }

private:
    void readStringPool();
    const std::string& string(const char* what);
    std::string nodeName();
    Kind recordClass(const char* where, bool (*allowed)(Kind));
    void readHeader(NodeHeader& header, const char* where, bool (*allowed)(Kind));
    void readProperties(std::vector<Property>& out, const char* what);
    Property readProperty();
    NodeRef nodeRef();
    void readRoot(RootRecord& root);
    Material readMaterial(bool last);
    void checkNoKeyFollows(const Material& m, std::size_t next, bool last);
    Texture readTexture();
    VertexFormat readVertexFormat();
    Vertices readVertices();
    Indices readIndices();
    Mat4d mat4d();
    Vec3d vec3d();
    Quatd quatd();
    Vec2f vec2f();
    Vec3f vec3f();
    TreeNode readTreeNode();
    void readArgAnimation(ArgAnimation& animation);
    void readSections(Description& d);
    Connector readConnector();
    Light readLight();
    Shell readShell();
    RenderItem readRenderItem();
    void readFakeLights(RenderItem& item);

    void noteText(std::string_view text, std::size_t offset);

    ByteReader in_;
    std::vector<std::string> pool_;
    std::optional<std::uint64_t> invalidTextOffset_;
};

// Convenience: reads a whole description or raises.
Description readDescription(std::span<const std::uint8_t> bytes);

// The bytes of a file on disk; raises when it cannot be read.
std::vector<std::uint8_t> readFileBytes(const std::string& path);

} // namespace zym
