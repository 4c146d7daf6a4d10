#include "ChmReader.h"

#include <chm_lib.h>

#include <stdexcept>

namespace qm::test {

namespace {

uint32_t LittleEndian32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(s.at(at + i))) << (8 * i);
    return v;
}

uint16_t LittleEndian16(const std::string& s, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(s.at(at)) |
                                 (static_cast<unsigned char>(s.at(at + 1)) << 8));
}

} // namespace

TChmReader::TChmReader(const std::string& chmFile) : FFile(chm_open(chmFile.c_str())) {
    if (FFile == nullptr)
        throw std::runtime_error("chmlib cannot open " + chmFile);
}

TChmReader::~TChmReader() {
    chm_close(FFile);
}

std::optional<std::string> TChmReader::File(const std::string& path) const {
    chmUnitInfo ui{};
    if (chm_resolve_object(FFile, path.c_str(), &ui) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(ui.length), '\0');
    const LONGINT64 got = chm_retrieve_object(
        FFile, &ui, reinterpret_cast<unsigned char*>(bytes.data()), 0, ui.length);
    if (got != static_cast<LONGINT64>(ui.length))
        throw std::runtime_error("chmlib could not read " + path);
    return bytes;
}

std::optional<std::string> TChmReader::SystemRecord(uint16_t code) const {
    const std::string system = File("/#SYSTEM").value_or("");
    // A version number, then records of a code, a length and the data.
    for (size_t at = 4; at + 4 <= system.size();) {
        const uint16_t recordCode = LittleEndian16(system, at);
        const uint16_t length = LittleEndian16(system, at + 2);
        if (at + 4 + length > system.size())
            break;
        if (recordCode == code)
            return system.substr(at + 4, length);
        at += 4 + length;
    }
    return std::nullopt;
}

uint32_t TChmReader::Language() const {
    const std::optional<std::string> r = SystemRecord(4);
    return r && r->size() >= 4 ? LittleEndian32(*r, 0) : 0;
}

std::string TChmReader::Title() const {
    const std::string r = SystemRecord(3).value_or("");
    return r.substr(0, r.find('\0'));
}

std::vector<std::string> TChmReader::TopicTitles() const {
    const std::string topics = File("/#TOPICS").value_or("");
    const std::string strings = File("/#STRINGS").value_or("");
    std::vector<std::string> titles;
    // Sixteen bytes a topic; the second number is the title's offset in
    // #STRINGS, all ones for a topic without a title.
    for (size_t at = 0; at + 16 <= topics.size(); at += 16) {
        const uint32_t offset = LittleEndian32(topics, at + 4);
        if (offset == 0xFFFFFFFFu || offset >= strings.size())
            continue;
        const size_t end = strings.find('\0', offset);
        titles.push_back(strings.substr(offset, end == std::string::npos ? end : end - offset));
    }
    return titles;
}

} // namespace qm::test
