// One running copy of the program per program folder. The first start in a folder holds a lock file
// there and watches the folder; a later start finds the lock held, leaves a request file beside it for the
// running copy, which takes it away and brings its main window to the front, and ends. A lock left by a
// killed copy does not count: the copy that wrote it no longer runs. Qt Core only, so that it works the
// same with a Qt that has no network module.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QFileSystemWatcher;
class QLockFile;

namespace vantor::ui {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `programFolder` is the application context's program folder (the folder of the task file).
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this start is the running copy of its folder: the lock is ours (or no lock file can be
    // made anywhere, and the program runs unguarded rather than not at all). False when another copy
    // that still runs holds it.
    bool claim();

    // For a start that is not the running copy: asks the running copy to show its main window and waits
    // until it has taken the request. False when it could not be reached within a few seconds. Blocks:
    // the running copy is another program.
    bool activateRunningCopy();

    // Where the lock is held (empty before claim or without a lock).
    QString lockPath() const;

signals:
    // Another start in this folder asked for the main window.
    void activationRequested();

private:
    bool tryLock(const QString& path, bool& heldByOther);
    void watch();
    void takeRequest();

    QString folder_;
    QString channel_;
    QString requestPath_; // beside the lock that is held, ours or the running copy's
    std::unique_ptr<QLockFile> lock_;
    QFileSystemWatcher* watcher_ = nullptr;
};

} // namespace vantor::ui
