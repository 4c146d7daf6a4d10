// The project file (NAME.hff) as a user opens it: any bytes, read from disk.
#include "FuzzSupport.h"

#include "base/Error.h"
#include "model/Storage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = qm::fuzz::ScratchDir() + "/Project.hff";
    qm::fuzz::WriteScratchFile(file, qm::fuzz::AsText(data, size));
    try {
        (void)qm::ReadProjectFile(file);
    } catch (const qm::EQuillmateError&) {
        // Refusing a damaged file is the expected answer.
    }
    return 0;
}
