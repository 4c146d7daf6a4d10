// The orientation tag of a photo, read from any bytes.
#include "FuzzSupport.h"

#include "publish/chm/JpegOrientation.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = qm::fuzz::ScratchDir() + "/photo.jpg";
    qm::fuzz::WriteScratchFile(file, qm::fuzz::AsText(data, size));
    const int orientation = qm::chm::ReadJpegOrientation(file);
    // Whatever the tag claims comes back as it stands; a value the caller
    // cannot hold would be a misread.
    if (orientation < 0 || orientation > 0xFFFF)
        std::abort();
    return 0;
}
