#include "content/ReusableContent.h"

#include "base/Error.h"
#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "i18n/Translation.h"
#include "model/DocModel.h"

namespace qm {

namespace {

// The member as an array to walk: null when it is missing, EJsonError when
// it is something else.
const Json* ArrayMember(const Json& root, std::string_view name, const std::string& path) {
    const Json* list = JsonMember(&root, name);
    if (list != nullptr && !list->is_array())
        throw EJsonError("Invalid type cast: \"" + std::string(name) + "\" is not an array in " +
                         path);
    return list;
}

} // namespace

void TReusableProjectContent::Clear() {
    FVariables.clear();
    FSnippets.clear();
    FConditions.clear();
}

void TReusableProjectContent::LoadFromProject(const TDocProject& project) {
    Clear();
    if (project.RootPath.empty())
        return;
    const std::string path = ReusableContentPath(project);
    if (!FileExists(path))
        return;
    LoadFromText(ReadTextFileUtf8(path), path);
}

void TReusableProjectContent::LoadFromText(std::string_view json, const std::string& path) {
    Clear();
    // Text that is not JSON counts as no content: the file is the dialog's,
    // and a damaged one must not stop a publish.
    const std::optional<TJsonDocument> doc = TJsonDocument::Parse(json);
    if (!doc)
        return;
    const Json& root = doc->Root();
    if (!root.is_object())
        throw EJsonError("Invalid type cast: the file does not hold a JSON object: " + path);

    if (const Json* list = ArrayMember(root, "variables", path))
        for (const Json& e : *list) {
            if (!e.is_object())
                continue;
            std::string name = TrimCtl(JsonTextMember(*doc, &e, "name", ""));
            if (!name.empty())
                FVariables.push_back({std::move(name), JsonTextMember(*doc, &e, "value", "")});
        }
    if (const Json* list = ArrayMember(root, "snippets", path))
        for (const Json& e : *list) {
            if (!e.is_object())
                continue;
            std::string name = TrimCtl(JsonTextMember(*doc, &e, "name", ""));
            if (!name.empty())
                FSnippets.push_back({std::move(name), JsonTextMember(*doc, &e, "html", "")});
        }
    if (const Json* list = ArrayMember(root, "conditions", path))
        for (const Json& e : *list) {
            if (!e.is_object())
                continue;
            std::string name = TrimCtl(JsonTextMember(*doc, &e, "name", ""));
            if (!name.empty())
                FConditions.push_back({std::move(name), JsonFlagMember(*doc, &e, "enabled", true)});
        }
}

void TReusableProjectContent::SaveToProject(const TDocProject& project) const {
    if (project.RootPath.empty())
        return;
    EnsureDir(JoinPath(project.RootPath, "meta"));
    Json variables = Json::array();
    for (const TReusableVariable& v : FVariables)
        if (std::string name = TrimCtl(v.Name); !name.empty())
            variables.push_back(Json{{"name", std::move(name)}, {"value", v.Value}});
    Json snippets = Json::array();
    for (const TReusableSnippet& s : FSnippets)
        if (std::string name = TrimCtl(s.Name); !name.empty())
            snippets.push_back(Json{{"name", std::move(name)}, {"html", s.Html}});
    Json conditions = Json::array();
    for (const TReusableCondition& c : FConditions)
        if (std::string name = TrimCtl(c.Name); !name.empty())
            conditions.push_back(Json{{"name", std::move(name)}, {"enabled", c.Enabled}});
    Json root = Json::object();
    root["variables"] = std::move(variables);
    root["snippets"] = std::move(snippets);
    root["conditions"] = std::move(conditions);
    WriteTextFileUtf8(ReusableContentPath(project), JsonWrite(root));
}

std::string TReusableProjectContent::VariableValue(std::string_view name,
                                                   std::string_view def) const {
    for (const TReusableVariable& v : FVariables)
        if (SameTextAscii(v.Name, name))
            return v.Value;
    return std::string(def);
}

std::string TReusableProjectContent::SnippetHtml(std::string_view name,
                                                 std::string_view def) const {
    for (const TReusableSnippet& s : FSnippets)
        if (SameTextAscii(s.Name, name))
            return s.Html;
    return std::string(def);
}

bool TReusableProjectContent::ConditionEnabled(std::string_view name, bool def) const {
    for (const TReusableCondition& c : FConditions)
        if (SameTextAscii(c.Name, name))
            return c.Enabled;
    return def;
}

void TReusableProjectContent::LoadFromProjectForEditing(const TDocProject& project) {
    Clear();
    if (ReusableContentFileDamaged(project))
        throw EJsonError(FormatS(Translate("The file %s is damaged: it does not hold valid JSON. "
                                           "It was left as it is; repair or remove it to edit "
                                           "the variables, snippets and conditions."),
                                 ReusableContentPath(project)));
    LoadFromProject(project);
}

bool ReusableContentFileDamaged(const TDocProject& project) {
    if (project.RootPath.empty())
        return false;
    const std::string path = ReusableContentPath(project);
    return FileExists(path) && !TJsonDocument::Parse(ReadTextFileUtf8(path));
}

std::string DamagedReusableContentWarning(const TDocProject& project) {
    if (!ReusableContentFileDamaged(project))
        return "";
    return FormatS(Translate("The file %s is damaged (it does not hold valid JSON) and was "
                             "ignored: no variables, snippets or conditions were used."),
                   ReusableContentPath(project));
}

std::string VariableToken(std::string_view name) {
    return HtmlEncode("{var:" + std::string(name) + "}");
}

std::string SnippetToken(std::string_view name) {
    return HtmlEncode("{snip:" + std::string(name) + "}");
}

std::string BeginConditionToken(std::string_view name) {
    return HtmlEncode("{begincond:" + std::string(name) + "}");
}

std::string EndConditionToken() {
    return HtmlEncode("{endcond}");
}

std::string ReusableContentPath(const TDocProject& project) {
    return JoinPath(JoinPath(project.RootPath, "meta"), "reusable_content.json");
}

std::string JsonTextMember(const TJsonDocument& doc, const Json* obj, std::string_view name,
                           std::string_view def) {
    const Json* member = JsonMember(obj, name);
    return member != nullptr ? doc.TextForm(*member) : std::string(def);
}

bool JsonFlagMember(const TJsonDocument& doc, const Json* obj, std::string_view name, bool def) {
    const Json* member = JsonMember(obj, name);
    if (member == nullptr)
        return def;
    const std::string text = AsciiLower(TrimCtl(doc.TextForm(*member)));
    if (text == "true" || text == "1")
        return true;
    if (text == "false" || text == "0")
        return false;
    return def;
}

} // namespace qm
