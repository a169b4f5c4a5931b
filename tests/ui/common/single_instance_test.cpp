// One running copy per program folder, seen from two starts inside one test program: the second start
// is refused and reaches the first, other folders are apart, a lock left by a gone copy does not count.
#include "ui/common/single_instance.h"

#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using vantor::ui::SingleInstance;

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondStartReachesTheRunningCopy();
    void otherFoldersAreApart();
    void lockOfAGoneCopyDoesNotCount();
};

void SingleInstanceTest::secondStartReachesTheRunningCopy() {
    QTemporaryDir dir;
    SingleInstance running(dir.path() + QStringLiteral("/"));
    QVERIFY(running.claim());
    QCOMPARE(QFileInfo(running.lockPath()).fileName(), QStringLiteral("vantor.lock"));
    QSignalSpy asked(&running, &SingleInstance::activationRequested);

    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
    QVERIFY(second.activateRunningCopy());
    QTRY_COMPARE(asked.count(), 1);
}

void SingleInstanceTest::otherFoldersAreApart() {
    QTemporaryDir one;
    QTemporaryDir two;
    SingleInstance first(one.path());
    SingleInstance second(two.path());
    QVERIFY(first.claim());
    QVERIFY(second.claim());
}

// A copy killed while running leaves its lock file behind; the copy that wrote it is gone.
void SingleInstanceTest::lockOfAGoneCopyDoesNotCount() {
    QTemporaryDir dir;
    const QString lockPath = dir.path() + QStringLiteral("/vantor.lock");
    const pid_t pid = ::fork();
    if (pid == 0) {
        QLockFile lock(lockPath);
        ::_exit(lock.tryLock(0) ? 0 : 1); // ends without unlocking, as a killed copy does
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    QCOMPARE(status, 0);
    QVERIFY(QFile::exists(lockPath));

    SingleInstance next(dir.path());
    QVERIFY(next.claim());
}

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
