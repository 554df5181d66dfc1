#include "CollectOptions.h"

#include "text/LimitText.h"

namespace collect {

namespace {

std::wstring ParseCategories(const std::wstring& list, std::array<int, engine::api::kCategories>& switches) {
    if (list == L"all") {
        switches.fill(1);
        return {};
    }
    switches.fill(0);
    if (list == L"none") return {};
    size_t pos = 0;
    while (pos <= list.size()) {
        const size_t comma = list.find(L',', pos);
        const std::wstring item = list.substr(pos, comma == std::wstring::npos ? std::wstring::npos : comma - pos);
        if (item.size() != 1 || item[0] < L'0' || item[0] >= L'0' + engine::api::kCategories)
            return L"unknown category \"" + item + L"\"";
        switches[item[0] - L'0'] = 1;
        if (comma == std::wstring::npos) break;
        pos = comma + 1;
    }
    return {};
}

}  // namespace

std::wstring ParseOptions(const std::vector<std::wstring>& args, Options& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--info") {
            options.info = true;
        } else if (arg == L"--quiet") {
            options.quiet = true;
        } else if (arg == L"--json") {
            options.json = true;
        } else if (arg == L"--command-limit" || arg == L"--long-command-limit" || arg == L"--run-limit") {
            if (i + 1 >= args.size()) return arg + L" needs a number of seconds";
            const auto seconds = util::text::ParseLimitSeconds(args[++i]);
            if (!seconds) return arg + L" takes 1 to 86400 seconds, not \"" + args[i] + L"\"";
            (arg == L"--command-limit"        ? options.commandSeconds
             : arg == L"--long-command-limit" ? options.longCommandSeconds
                                              : options.runSeconds) = *seconds;
        } else if (arg == L"--pool") {
            if (i + 1 >= args.size()) return L"--pool needs a number of tools";
            if (!util::text::ParsePoolSize(args[++i]))
                return L"--pool takes 1 to 64 tools or per-worker, not \"" + args[i] + L"\"";
            options.pool = args[i];
        } else if (arg == L"--categories") {
            if (i + 1 >= args.size()) return L"--categories needs a list";
            std::wstring error = ParseCategories(args[++i], options.switches);
            if (!error.empty()) return error;
        } else if (arg.size() > 1 && arg[0] == L'-' && arg[1] == L'-') {
            return L"unknown option " + arg;
        } else if (options.archivePath.empty()) {
            options.archivePath = arg;
        } else {
            return L"more than one archive path";
        }
    }
    return {};
}

std::wstring UsageText() {
    std::wstring categories;
    for (const engine::api::Category& category : engine::api::kCategoryTable) {
        const bool newLine = category.index == engine::api::kSystemLog;  // two lines, as wide as the rest
        categories += (category.index == 0 ? L"" : newLine ? L",\n            " : L", ") +
                      std::to_wstring(category.index) + L" " + category.label;
    }
    return L"usage: SkeldaCollect [--quiet] [--json] [--categories all|none|<n,n,...>] [--command-limit <s>]\n"
           L"                     [--long-command-limit <s>] [--run-limit <s>] [--pool <n>|per-worker]\n"
           L"                     [<archive path>]\n"
           L"       SkeldaCollect --info\n"
           L"categories: " + categories + L" (all by default)\n"
           L"limits: seconds a command (600), systeminfo and the update log (1800) and the whole run\n"
           L"        (3600) may take; logCfg.ini [Limits] sets them for every run\n"
           L"        (where administrators own it).\n"
           L"--pool: how many tools run at once (8), or per-worker for one at a time in each of the\n"
           L"        four workers; logCfg.ini [Limits] PoolSize sets it for every run.\n"
           L"--quiet prints the summary only, not one line per step.\n"
           L"--json ends the output with one line of JSON (2 KB at most): outcome, exit code,\n"
           L"        the archive's path, size and SHA-256, duration, steps by outcome, what the\n"
           L"        archive lacks.\n"
           L"The archive defaults to 信息收集.7z in the current folder.\n"
           L"exit codes: 0 collected, every step ok; 6 collected, some steps not ok (see the\n"
           L"            report in the archive); 1 collection failed, 2 a folder could not be\n"
           L"            created, 3 engine missing or refused the run, 4 system not supported,\n"
           L"            5 another collection is running, 7 not run as an administrator,\n"
           L"            8 unsafe library loading, 9 a shipped file refused, 64 usage\n";
}

}  // namespace collect
