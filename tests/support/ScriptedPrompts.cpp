#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace qm::test {

namespace {
template <class T> T Take(std::deque<T>& q, const std::string& what, T fallback) {
    if (q.empty()) {
        ADD_FAILURE() << "unexpected question: " << what;
        return fallback;
    }
    T v = std::move(q.front());
    q.pop_front();
    return v;
}
} // namespace

std::optional<std::string> TScriptedPrompts::AskText(const std::string& caption, const std::string&,
                                                     const std::string&) {
    return Take(Texts, caption, std::optional<std::string>());
}

TAnswer TScriptedPrompts::AskYesNoCancel(const std::string& text) {
    return Take(YesNoCancel, text, TAnswer::Cancel);
}

bool TScriptedPrompts::AskYesNo(const std::string& text) {
    Questions.push_back(text);
    return Take(YesNo, text, false);
}

std::optional<std::string> TScriptedPrompts::AskSaveProjectFile(const std::string& proposed) {
    LastProposedSaveName = proposed;
    return Take(SaveFiles, "save file", std::optional<std::string>());
}

std::optional<std::string> TScriptedPrompts::AskOpenProjectFile(const std::string& startFolder) {
    LastOpenFolder = startFolder;
    return Take(OpenFiles, "open file", std::optional<std::string>());
}

std::optional<std::string> TScriptedPrompts::AskOpenFile(const std::string& caption,
                                                         const std::string& filter) {
    LastFileFilter = filter;
    return Take(AnyFiles, caption, std::optional<std::string>());
}

std::optional<std::string> TScriptedPrompts::AskTopic(const TDocProject&) {
    return Take(Topics, "topic", std::optional<std::string>());
}

bool TScriptedPrompts::EditProjectSettings(TProjectSettings& settings) {
    SettingsOffered.push_back(settings);
    if (SettingsDialog)
        return SettingsDialog(settings);
    const std::optional<TProjectSettings> answer =
        Take(SettingsEdits, "project settings", std::optional<TProjectSettings>());
    if (!answer)
        return false;
    settings = *answer;
    return true;
}

} // namespace qm::test
