#include "ui/common/data_folder.h"

#include "core/shell/data_folder.h"
#include "ui/common/app_context.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vantor::ui {

QString ChooseProgramFolder(Platform& platform, bool make) {
    const QString program = FromCorePath(platform.ProgramPath());
    DataFolderFacts facts;
    if (!program.isEmpty()) {
        const QString folder = QFileInfo(program).absolutePath() + QLatin1Char('/');
        facts.programFolder = CorePath(folder);
        facts.programFolderWritable = platform.IsFolderWritable(facts.programFolder);
        facts.installed = platform.IsOrdinaryFile(InstalledEntryPath(facts.programFolder));
    }
    facts.perUserFolder = CorePath(FromCorePath(platform.PerUserFolder()));
    const DataFolderChoice choice = ChooseDataFolder(facts);
    const QString chosen = FromCorePath(choice.folder);
    if (choice.perUser && make && !QFileInfo::exists(chosen)) {
        // Only this user's: the task list names programs and documents.
        if (QDir().mkpath(chosen)) {
            QFile::setPermissions(chosen,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
    }
    return chosen;
}

} // namespace vantor::ui
