#include "core/shell/data_folder.h"

#include "core/shell/app_texts.h"

namespace vantor {

namespace {

// An unknown (empty) folder stays empty: the files are then looked for in the current folder.
std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
        folder += '/';
    }
    return folder;
}

} // namespace

DataFolderChoice ChooseDataFolder(const DataFolderFacts& facts) {
    const bool portable = !facts.programFolder.empty() && facts.programFolderWritable && !facts.installed;
    if (portable || facts.perUserFolder.empty()) {
        return {WithSlash(facts.programFolder), false};
    }
    return {WithSlash(facts.perUserFolder), true};
}

std::string InstalledEntryPath(const std::string& programFolder) {
    return WithSlash(programFolder) + "../share/applications/" + kAppId + ".desktop";
}

} // namespace vantor
