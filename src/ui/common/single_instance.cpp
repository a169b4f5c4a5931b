#include "ui/common/single_instance.h"

#include "core/shell/instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace vantor::ui {

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent) {
    // Every path to the folder (a link, a trailing "/") must lead to the same lock and channel.
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    folder_ = canonical.isEmpty() ? QDir::cleanPath(programFolder) : canonical;
    channel_ = QString::fromStdString(InstanceChannelName(folder_.toStdString()));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryLock(const QString& path, bool& heldByOther) {
    lock_ = std::make_unique<QLockFile>(path);
    // Held for as long as the program runs: only a lock whose writer no longer runs is stale, never one
    // that is merely old.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return true;
    }
    heldByOther = lock_->error() == QLockFile::LockFailedError;
    lock_.reset();
    return false;
}

bool SingleInstance::claim() {
    bool heldByOther = false;
    if (!tryLock(folder_ + QLatin1Char('/') + QString::fromUtf8(kInstanceLockFileName), heldByOther)) {
        if (heldByOther) {
            return false;
        }
        // A folder that takes no new file (read-only): the copies of this folder meet in the temporary
        // folder instead, under the channel's name.
        if (!tryLock(QDir::tempPath() + QLatin1Char('/') + channel_ + QStringLiteral(".lock"), heldByOther) &&
            heldByOther) {
            return false;
        }
    }
    listen();
    return true;
}

QString SingleInstance::lockPath() const {
    return lock_ ? lock_->fileName() : QString();
}

} // namespace vantor::ui
