#pragma once
// The reusable content of a project: variables, HTML snippets and on/off
// conditions, kept in meta/reusable_content.json and placed into topic text
// as tokens such as {var:Name}. The store is short-lived: whoever needs it
// loads it from the file, so the file is the only state the dialog and the
// publishers share.
#include "base/Json.h"

#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TDocProject;

struct TReusableVariable {
    std::string Name;
    std::string Value; // plain text, escaped when it is put into HTML
};

struct TReusableSnippet {
    std::string Name;
    std::string Html; // an HTML fragment, inserted as it is
};

struct TReusableCondition {
    std::string Name;
    bool Enabled = true;
};

class TReusableProjectContent {
public:
    // In file order (or the dialog's); nothing sorts them. Names may repeat:
    // lookups take the first record, so a later duplicate is never seen.
    std::vector<TReusableVariable> FVariables;
    std::vector<TReusableSnippet> FSnippets;
    std::vector<TReusableCondition> FConditions;

    void Clear();

    // Replaces the lists by the file's content. A missing file, a project
    // without a folder and text that is not JSON leave the lists empty.
    // Raises EJsonError when the root is not an object or a list member is
    // not an array (the lists read before it stay filled), and the errors of
    // ReadTextFileUtf8 when the file cannot be read.
    void LoadFromProject(const TDocProject& project);
    // The same for the dialog that saves what it shows: a file that exists
    // but is not JSON raises EJsonError naming it, because saving an empty
    // store over it would replace the author's content with nothing.
    void LoadFromProjectForEditing(const TDocProject& project);
    // The same for the text of the file at `path` (named in the errors).
    void LoadFromText(std::string_view json, const std::string& path);
    // Writes the lists (records with a blank name left out); nothing happens
    // for a project without a folder.
    void SaveToProject(const TDocProject& project) const;

    // Lookups compare names ignoring the case of ASCII letters only; the
    // name is used as given.
    [[nodiscard]] std::string VariableValue(std::string_view name, std::string_view def) const;
    [[nodiscard]] std::string SnippetHtml(std::string_view name, std::string_view def) const;
    [[nodiscard]] bool ConditionEnabled(std::string_view name, bool def) const;
};

// The tokens as they are inserted into the editor's HTML: the name escaped,
// so the editor shows it as typed ({var:A&amp;B} shows {var:A&B}).
[[nodiscard]] std::string VariableToken(std::string_view name);
[[nodiscard]] std::string SnippetToken(std::string_view name);
[[nodiscard]] std::string BeginConditionToken(std::string_view name);
[[nodiscard]] std::string EndConditionToken();

// Whether the file exists and holds text that does not parse as JSON (the
// loader takes such a file for no content at all).
[[nodiscard]] bool ReusableContentFileDamaged(const TDocProject& project);
// What a publisher tells about such a file (it publishes without it); ""
// when the file is not damaged.
[[nodiscard]] std::string DamagedReusableContentWarning(const TDocProject& project);

// <project folder>/meta/reusable_content.json
[[nodiscard]] std::string ReusableContentPath(const TDocProject& project);

// The text form of member `name` of `obj` (a string's content, a number as
// written, true/false as words), or `def` when obj is null or lacks it.
[[nodiscard]] std::string JsonTextMember(const TJsonDocument& doc, const Json* obj,
                                         std::string_view name, std::string_view def);
// A flag read leniently: the member's text form, trimmed and lower-cased, is
// "true" or "1" for true and "false" or "0" for false; anything else, and a
// missing member, gives `def`.
[[nodiscard]] bool JsonFlagMember(const TJsonDocument& doc, const Json* obj, std::string_view name,
                                  bool def);

} // namespace qm
