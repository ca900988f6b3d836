// libFuzzer target: the reader, the checker and the JSON description must
// neither crash, hang nor allocate beyond the input on any bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "zym/Checker.h"
#include "zym/DescriptionJson.h"
#include "zym/FileReader.h"
#include "zym/JsonText.h"
#include "zym/Statistics.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    zym::checkFile(bytes);
    try {
        const zym::Description d = zym::readDescription(bytes);
        std::ostringstream out;
        zym::printStatistics(zym::buildStatistics(d), out);
        const zym::Json j = zym::toJson(d);
        zym::jsonText(j);
        zym::fromJson(j);
    } catch (const zy::ExtException&) {
        // A rejected file is a result, not a failure.
    }
    return 0;
}
