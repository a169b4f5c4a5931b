#include "ui/common/data_folder.h"

#include "core/common/file_io.h"
#include "core/shell/data_folder.h"
#include "core/shell/ini.h"
#include "core/tasks/task_file.h"
#include "ui/common/app_context.h"

namespace vantor::ui {

namespace {

// The folder part of a path, with its "/" (or "\" on Windows): the bytes stay as they are, since a folder
// unpacked from a Windows archive may be named in GBK, which no text form of the name would keep.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

ProgramFolder ChooseProgramFolder(Platform& platform, bool make) {
    DataFolderFacts facts;
    facts.programFolder = FolderOf(platform.ProgramPath());
    if (!facts.programFolder.empty()) {
        facts.programFolderWritable = platform.IsFolderWritable(facts.programFolder);
        facts.installed = platform.IsOrdinaryFile(InstalledEntryPath(facts.programFolder));
    }
    facts.perUserFolder = platform.PerUserFolder();
    const DataFolderChoice choice = ChooseDataFolder(facts);
    ProgramFolder out{FromCorePath(choice.folder), choice.folder, {}, {}};
    if (!choice.perUser) {
        return out; // beside the program: as trusted as the program itself
    }
    if (make && !platform.OwnershipOf(choice.folder)) {
        // Only this user's: the task list names programs and documents.
        MakePrivateFolder(choice.folder);
    }
    // Every file in it that the program acts on, the folder first.
    for (const std::string& path :
         {choice.folder, choice.folder + kTaskFileName, choice.folder + kSettingsFileName}) {
        if (const std::optional<Ownership> o = platform.OwnershipOf(path)) {
            if (std::string why = DistrustReason(*o); !why.empty()) {
                out.distrust = std::move(why);
                out.distrustedPath = path;
                break;
            }
        }
    }
    return out;
}

} // namespace vantor::ui
