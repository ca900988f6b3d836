// Feeds arbitrary bytes to the scene loader: it must answer with a SceneError or
// a scene, never crash, leak or read out of bounds. A loaded scene is also saved
// and read back, which exercises the writer on whatever the reader accepted.
#include <cstddef>
#include <cstdint>
#include <string>

#include "mem/MemInterface.h"
#include "zyhost/SceneFile.h"
#include "zyhost/SceneReader.h"
#include "zyhost/SceneWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemInterface& host = TheMemInterface();
    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        zyhost::ReadScene(zyhost::ParseSceneText(text), host);
        zyhost::ReadScene(zyhost::ParseSceneText(zyhost::SceneText(host)), host);
    } catch (const zyhost::SceneError&) {
    } catch (const zyhost::SaveError&) {
    }
    host.ResetScene();
    return 0;
}
