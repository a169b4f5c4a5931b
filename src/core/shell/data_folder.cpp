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

std::string DistrustReason(const Ownership& o) {
    if (!o.ownedByUser) {
        return o.link ? "它是指向其他用户的文件或文件夹的链接" : "它属于其他用户";
    }
    if (o.writableByOthers) {
        return "其他用户也可以修改它";
    }
    return {};
}

Message UntrustedFolderMessage(const std::string& path, const std::string& reason) {
    return Message{"用户文件夹不安全：" + path + "\n原因：" + reason +
                       "\n\n其中的任务可能是他人放入的：启动时不执行任务，任务列表和设置的改动也不会保存。"
                       "请排除问题后重新启动程序。",
                   kNoticeTitle, MessageIcon::Warning};
}

Message UntrustedFolderRefusal() {
    return Message{"用户文件夹不安全，改动未保存！请排除问题后重新启动程序。", kNoticeTitle,
                   MessageIcon::Warning};
}

std::string InstalledEntryPath(const std::string& programFolder) {
    return WithSlash(programFolder) + "../share/applications/" + kAppId + ".desktop";
}

} // namespace vantor
