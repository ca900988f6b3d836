#include "ZymTestSupport.h"

#include <atomic>
#include <fstream>

#include "zym/FileReader.h"
#include "zym/ModelBuilder.h"

namespace zym::test {

std::string tempPath(const std::string& name)
{
    static std::atomic<int> counter{0};
    return std::string(ZY_TEST_BINARY_DIR) + "/zym_" + std::to_string(counter++) + "_" + name;
}

std::vector<std::uint8_t> buildBytes(const Json& description, std::uint16_t version)
{
    const std::string path = tempPath("built.zym");
    buildFile(fromJson(description), path, version);
    return readFileBytes(path);
}

Json dumpBytes(const std::vector<std::uint8_t>& bytes) { return toJson(readDescription(bytes)); }

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace zym::test
