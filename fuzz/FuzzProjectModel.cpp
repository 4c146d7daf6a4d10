// A project's model files as a user's folder holds them: the input up to its
// first NUL byte is project.json, the rest meta/topics.json (all of it when
// there is no NUL).
#include "FuzzSupport.h"

#include "base/Error.h"
#include "model/DocModel.h"
#include "model/Storage.h"

#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = qm::fuzz::AsText(data, size);
    const std::string folder = qm::fuzz::ScratchDir() + "/model/";
    const size_t nul = input.find('\0');
    const std::string_view projectJson =
        nul == std::string_view::npos ? R"({"title":"t"})" : input.substr(0, nul);
    const std::string_view topicsJson =
        nul == std::string_view::npos ? input : input.substr(nul + 1);
    // Most inputs keep the file as it was; writing it only when it changes
    // saves a third of the time a run takes.
    static std::optional<std::string> written;
    if (!written || projectJson != *written) {
        qm::fuzz::WriteScratchFile(qm::ProjectJsonPath(folder), projectJson);
        written = projectJson;
    }
    qm::fuzz::WriteScratchFile(qm::TopicsJsonPath(folder), topicsJson);
    qm::TDocProject project;
    try {
        qm::LoadProjectModel(folder, project);
    } catch (const qm::EQuillmateError&) {
        // Refusing a damaged file is the expected answer.
    }
    return 0;
}
