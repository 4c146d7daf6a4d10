#include "CliCommon.h"

#include <algorithm>
#include <utility>

namespace qm::cli {

TArgs::TArgs(std::vector<std::string> args, std::vector<std::string> valueOptions,
             std::vector<std::string> flagOptions) {
    auto has = [](const std::vector<std::string>& list, const std::string& s) {
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    bool onlyPositional = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyPositional || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            FPositional.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPositional = true;
            continue;
        }
        std::string name = a.substr(2);
        std::optional<std::string> inlineValue;
        if (auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (has(flagOptions, name) && !inlineValue) {
            FFlags.push_back(name);
        } else if (has(valueOptions, name)) {
            std::string value;
            if (inlineValue)
                value = *inlineValue;
            else if (i + 1 < args.size())
                value = args[++i];
            // An empty value is what a script passes when its variable is
            // unset ("--out=$DIR"); taken as given, it would mean a default
            // (publishing into the project) or the current folder.
            if (value.empty())
                throw EUsageError("option --" + name + " needs a value");
            FValues.emplace_back(name, std::move(value));
        } else {
            throw EUsageError("unknown option --" + name);
        }
    }
}

std::optional<std::string> TArgs::Value(const std::string& name) const {
    for (auto it = FValues.rbegin(); it != FValues.rend(); ++it)
        if (it->first == name)
            return it->second;
    return std::nullopt;
}

bool TArgs::Flag(const std::string& name) const {
    return std::find(FFlags.begin(), FFlags.end(), name) != FFlags.end();
}

const std::string& TArgs::Single(const char* what) const {
    if (FPositional.size() != 1)
        throw EUsageError(std::string("expected one ") + what);
    return FPositional.front();
}

const std::vector<TCommand>& Commands() {
    static const std::vector<TCommand> commands = {
        {"info", "info PROJECT.hff", RunInfo},
        {"publish", "publish PROJECT.hff --format webhelp|chm|pdf [--out DIR]", RunPublish},
        {"check-links", "check-links PROJECT.hff [--json]", RunCheckLinks},
        {"import", "import PROJECT.hff --topic ID [--asset-root DIR] FILE.html", RunImport},
    };
    return commands;
}

} // namespace qm::cli
