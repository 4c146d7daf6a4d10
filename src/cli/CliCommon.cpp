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
        if (onlyPositional || a.size() < 2 || a[0] != '-') {
            FPositional.push_back(a);
            continue;
        }
        // No command has short options; a file whose name starts with a
        // hyphen is passed after "--" or as "./-name".
        if (a[1] != '-')
            throw EUsageError("unknown option " + a);
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

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--")
            return false;
        if (a == "--help" || a == "-h")
            return true;
    }
    return false;
}

const std::vector<TCommand>& Commands() {
    static const std::vector<TCommand> commands = {
        {"info", "info PROJECT.hff", "show a project's title, data folder and contents",
         "Prints the project's title, data folder, style profile, number of topics and\n"
         "its contents tree with each topic's id (the id that import --topic takes).\n",
         RunInfo},
        {"publish", "publish PROJECT.hff [--format webhelp|chm|pdf] [--out DIR]",
         "publish a project as WebHelp, CHM or PDF",
         "Publishes the project and prints the file it made. The project is locked\n"
         "while it is published; a desktop program that has it open holds the lock.\n"
         "\n"
         "Options:\n"
         "  --format FORMAT  webhelp (the default), chm or pdf; chm needs chmcmd\n"
         "                   (Debian package fp-utils), pdf a Chromium-family browser\n"
         "  --out DIR        write into DIR instead of the project's build/FORMAT folder\n",
         RunPublish},
        {"check-links", "check-links PROJECT.hff [--json]",
         "report broken topic links, missing files and missing pages",
         "Checks every topic's links and references and prints one line per issue, or\n"
         "\"No link issues found.\". Exits with 1 when it found issues, so a CI job can\n"
         "gate on it.\n"
         "\n"
         "Options:\n"
         "  --json  print the issues as a JSON array of {topicId, topicTitle, issue}\n",
         RunCheckLinks},
        {"import", "import PROJECT.hff --topic ID [--asset-root DIR] FILE.html",
         "import an HTML page with its images and styles into a topic",
         "Appends the body of FILE.html to the topic's page and copies the images,\n"
         "media and style sheets it uses from the page's own folder into the project.\n"
         "References outside that folder are left as written and named in a warning.\n"
         "\n"
         "Options:\n"
         "  --topic ID        the topic to import into (ids as info lists them)\n"
         "  --asset-root DIR  also copy files from inside DIR\n",
         RunImport},
    };
    return commands;
}

} // namespace qm::cli
