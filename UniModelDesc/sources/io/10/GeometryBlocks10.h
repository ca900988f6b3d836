#pragma once
// Blocks shared by several version-10 records.
namespace io {
class IBinaryFileW;
}

namespace model {

class VertexFormat;

// Vertex-format block: u32 26, then one u8 component count per channel.
void writeVertexFormat(io::IBinaryFileW& out, const VertexFormat& format);

} // namespace model
