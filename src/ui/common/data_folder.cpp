#include "ui/common/data_folder.h"

#include "core/shell/data_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vantor::ui {

QString ChooseProgramFolder(Platform& platform, bool make) {
    const QString program = QDir::fromNativeSeparators(QFile::decodeName(platform.ProgramPath().c_str()));
    DataFolderFacts facts;
    if (!program.isEmpty()) {
        const QString folder = QFileInfo(program).absolutePath() + QLatin1Char('/');
        facts.programFolder = QFile::encodeName(folder).toStdString();
        facts.programFolderWritable = platform.IsFolderWritable(facts.programFolder);
        facts.installed = platform.IsOrdinaryFile(InstalledEntryPath(facts.programFolder));
    }
    facts.perUserFolder =
        QFile::encodeName(QDir::fromNativeSeparators(QFile::decodeName(platform.PerUserFolder().c_str())))
            .toStdString();
    const DataFolderChoice choice = ChooseDataFolder(facts);
    const QString chosen = QFile::decodeName(choice.folder.c_str());
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
