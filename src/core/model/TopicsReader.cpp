#include "model/TopicsReader.h"

#include "base/Error.h"
#include "base/Json.h"
#include "base/StringUtil.h"
#include "base/Utf8FileReader.h"
#include "model/DocModel.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qm {

namespace {

constexpr std::array<const char*, 3> kListNames = {"children", "keywords", "index"};

// One element of "topics" as parsed. Faults are only noted here: a tree
// loader meets them after the parse, and so must this one.
struct TPendingTopic {
    std::unique_ptr<TTopic> Topic; // null for an element that is not an object
    std::array<bool, 3> ListNotArray = {};
};

// Where the next value goes.
enum class TSlot : std::uint8_t {
    Ignore,
    Root,
    RootIdsMember,
    TopicsMember,
    Text,       // FText, or the list being read
    Flag,       // FFlag
    ListMember, // list FListIndex of the current topic
    TopicEntry,
};

// Containers open around the next value. Captures (a text member holding an
// array or object, whose text form is its JSON) are counted apart.
enum class TFrame : std::uint8_t { Skip, Root, RootIds, Topics, Topic, TopicList };

class TTopicsSax {
public:
    using TNumberInteger = Json::number_integer_t;
    using TNumberUnsigned = Json::number_unsigned_t;
    using TNumberFloat = Json::number_float_t;
    using TBinary = Json::binary_t;

    bool null() { return FCapture ? FCapture->null() : Scalar("null"); }
    bool boolean(bool v) { return FCapture ? FCapture->boolean(v) : Scalar(v ? "true" : "false"); }
    bool number_integer(TNumberInteger v) {
        return FCapture ? FCapture->number_integer(v) : Scalar(std::to_string(v));
    }
    bool number_unsigned(TNumberUnsigned v) {
        return FCapture ? FCapture->number_unsigned(v) : Scalar(std::to_string(v));
    }
    // A number's text form is the number as written (1.50 stays "1.50").
    bool number_float(TNumberFloat v, const std::string& s) {
        return FCapture ? FCapture->number_float(v, s) : Scalar(s);
    }
    bool string(std::string& v) { return FCapture ? FCapture->string(v) : Scalar(std::move(v)); }
    bool binary(TBinary&) { return true; } // never reported for JSON text

    bool start_object(std::size_t len) {
        if (++FDepth > kJsonMaxDepth)
            return false;
        if (FCapture) {
            ++FCaptureDepth;
            return FCapture->start_object(len);
        }
        return Open(true, len);
    }
    bool start_array(std::size_t len) {
        if (++FDepth > kJsonMaxDepth)
            return false;
        if (FCapture) {
            ++FCaptureDepth;
            return FCapture->start_array(len);
        }
        return Open(false, len);
    }
    bool end_object() {
        --FDepth;
        if (FCapture)
            return FCapture->end_object() && CloseCapture();
        FFrames.pop_back();
        return true;
    }
    bool end_array() {
        --FDepth;
        if (FCapture)
            return FCapture->end_array() && CloseCapture();
        // A list grown by doubling keeps up to twice its room for the whole run.
        if (FFrames.back() == TFrame::RootIds || FFrames.back() == TFrame::TopicList)
            FListTarget->shrink_to_fit();
        FFrames.pop_back();
        return true;
    }
    bool key(std::string& k) {
        if (FCapture)
            return FCapture->key(k);
        if (FFrames.empty())
            return true;
        if (FFrames.back() == TFrame::Root)
            RootKey(k);
        else if (FFrames.back() == TFrame::Topic)
            TopicKey(k);
        return true;
    }
    template <class TException>
    bool parse_error(std::size_t, const std::string&, const TException&) {
        return false;
    }

    void Finish(const std::string& path, TDocProject& project) {
        if (FRootNotObject)
            throw EJsonError("Invalid type cast: the file does not hold a JSON object: " + path);
        if (FRootIdsNotArray)
            throw NotAnArray("rootTopicIds", path);
        project.RootTopicIDs = std::move(FRootIds);
        if (FTopicsNotArray)
            throw NotAnArray("topics", path);
        for (TPendingTopic& e : FTopics) {
            if (!e.Topic)
                throw EJsonError("Invalid type cast: a topic entry is not an object in " + path);
            if (e.Topic->ID.empty())
                continue;
            for (size_t i = 0; i < kListNames.size(); ++i)
                if (e.ListNotArray[i])
                    throw NotAnArray(kListNames[i], path);
            project.Topics.Add(std::move(e.Topic));
        }
    }

private:
    static EJsonError NotAnArray(const char* name, const std::string& path) {
        return EJsonError(std::string("Invalid type cast: \"") + name + "\" is not an array in " +
                          path);
    }

    [[nodiscard]] TSlot Slot() const {
        if (FFrames.empty())
            return TSlot::Root;
        switch (FFrames.back()) {
        case TFrame::Root:
        case TFrame::Topic:
            return FKeySlot;
        case TFrame::RootIds:
        case TFrame::TopicList:
            return TSlot::Text;
        case TFrame::Topics:
            return TSlot::TopicEntry;
        case TFrame::Skip:
            break;
        }
        return TSlot::Ignore;
    }

    void RootKey(const std::string& k) {
        FKeySlot = k == "rootTopicIds" ? TSlot::RootIdsMember
                   : k == "topics"     ? TSlot::TopicsMember
                                       : TSlot::Ignore;
    }

    void TopicKey(const std::string& k) {
        static constexpr std::array<const char*, 3> kTextNames = {"id", "title", "parentId"};
        static constexpr std::array<const char*, 3> kFlagNames = {"excludeWeb", "excludeChm",
                                                                  "excludePdf"};
        TTopic& t = *FTopics.back().Topic;
        const std::array<std::string*, 3> texts = {&t.ID, &t.Title, &t.ParentID};
        const std::array<bool*, 3> flags = {&t.ExcludeWeb, &t.ExcludeChm, &t.ExcludePdf};
        FKeySlot = TSlot::Ignore;
        for (size_t i = 0; i < 3; ++i) {
            if (k == kTextNames[i]) {
                FKeySlot = TSlot::Text;
                FText = texts[i];
            } else if (k == kFlagNames[i]) {
                FKeySlot = TSlot::Flag;
                FFlag = flags[i];
            } else if (k == kListNames[i]) {
                FKeySlot = TSlot::ListMember;
                FListIndex = i;
            }
        }
    }

    std::vector<std::string>& TopicList(size_t index) {
        TTopic& t = *FTopics.back().Topic;
        return index == 0 ? t.Children : index == 1 ? t.Keywords : t.IndexEntries;
    }

    // A later member of the same name replaces an earlier one, as in a tree.
    void ResetMember(TSlot slot) {
        if (slot == TSlot::RootIdsMember) {
            FRootIds.clear();
            FRootIdsNotArray = false;
        } else if (slot == TSlot::TopicsMember) {
            FTopics.clear();
            FTopicsNotArray = false;
        } else if (slot == TSlot::ListMember) {
            TopicList(FListIndex).clear();
            FTopics.back().ListNotArray[FListIndex] = false;
        }
    }

    // Where a text value goes in the current context: a field, or the end of
    // a list of texts.
    void Deliver(std::string text) {
        // The parser grows its text by doubling; an id of 32 characters would
        // keep room for 60 in every field and list that holds it.
        text.shrink_to_fit();
        if (!FFrames.empty() &&
            (FFrames.back() == TFrame::RootIds || FFrames.back() == TFrame::TopicList))
            FListTarget->push_back(std::move(text));
        else
            *FText = std::move(text);
    }

    bool Scalar(std::string text) {
        if (FCapture)
            return false; // the callers forward to the capture themselves
        const TSlot slot = Slot();
        ResetMember(slot);
        switch (slot) {
        case TSlot::Root:
            FRootNotObject = true;
            break;
        case TSlot::RootIdsMember:
            FRootIdsNotArray = true;
            break;
        case TSlot::TopicsMember:
            FTopicsNotArray = true;
            break;
        case TSlot::ListMember:
            FTopics.back().ListNotArray[FListIndex] = true;
            break;
        case TSlot::TopicEntry:
            FTopics.emplace_back();
            break;
        case TSlot::Text:
            Deliver(std::move(text));
            break;
        case TSlot::Flag:
            *FFlag = AsciiLower(text) == "true";
            break;
        case TSlot::Ignore:
            break;
        }
        return true;
    }

    bool Open(bool object, std::size_t len) {
        const TSlot slot = Slot();
        ResetMember(slot);
        TFrame frame = TFrame::Skip;
        switch (slot) {
        case TSlot::Root:
            if (object)
                frame = TFrame::Root;
            else
                FRootNotObject = true;
            FKeySlot = TSlot::Ignore;
            break;
        case TSlot::RootIdsMember:
            FRootIdsNotArray = object;
            if (!object) {
                frame = TFrame::RootIds;
                FListTarget = &FRootIds;
            }
            break;
        case TSlot::TopicsMember:
            FTopicsNotArray = object;
            if (!object)
                frame = TFrame::Topics;
            break;
        case TSlot::ListMember:
            FTopics.back().ListNotArray[FListIndex] = object;
            if (!object) {
                frame = TFrame::TopicList;
                FListTarget = &TopicList(FListIndex);
            }
            break;
        case TSlot::TopicEntry:
            FTopics.emplace_back();
            if (object) {
                FTopics.back().Topic = std::make_unique<TTopic>();
                frame = TFrame::Topic;
                FKeySlot = TSlot::Ignore;
            }
            break;
        case TSlot::Text:
            return StartCapture(object, len);
        case TSlot::Flag:
            *FFlag = false; // the JSON text of a container is never "true"
            break;
        case TSlot::Ignore:
            break;
        }
        FFrames.push_back(frame);
        return true;
    }

    bool StartCapture(bool object, std::size_t len) {
        FCaptured = Json();
        FCapture.emplace(FCaptured, false);
        FCaptureDepth = 1;
        return object ? FCapture->start_object(len) : FCapture->start_array(len);
    }

    bool CloseCapture() {
        if (--FCaptureDepth > 0)
            return true;
        FCapture.reset();
        Deliver(JsonWrite(FCaptured));
        FCaptured = Json();
        return true;
    }

    std::vector<TFrame> FFrames;
    size_t FDepth = 0;
    TSlot FKeySlot = TSlot::Ignore;
    std::string* FText = nullptr;
    std::vector<std::string>* FListTarget = nullptr;
    bool* FFlag = nullptr;
    size_t FListIndex = 0;

    std::optional<nlohmann::detail::json_sax_dom_parser<Json>> FCapture;
    Json FCaptured;
    size_t FCaptureDepth = 0;

    bool FRootNotObject = false;
    std::vector<std::string> FRootIds;
    bool FRootIdsNotArray = false;
    std::vector<TPendingTopic> FTopics;
    bool FTopicsNotArray = false;
};

} // namespace

void ReadTopicsJson(std::string_view text, const std::string& path, TDocProject& project) {
    TTopicsSax sax;
    if (!SaxParseJson(text.begin(), text.end(), sax))
        throw EJsonError("The file is damaged (not valid JSON): " + path);
    sax.Finish(path, project);
}

bool ReadTopicsJsonFile(const std::string& path, TDocProject& project, size_t chunkBytes) {
    TUtf8FileReader reader(chunkBytes);
    if (!reader.Open(path))
        return false;
    TTopicsSax sax;
    const bool parsed = SaxParseJson(reader.begin(), TUtf8FileReader::end(), sax);
    // Invalid UTF-8 anywhere in the file is its fault before any JSON fault.
    reader.CheckRest();
    if (!parsed)
        throw EJsonError("The file is damaged (not valid JSON): " + path);
    sax.Finish(path, project);
    return true;
}

} // namespace qm
