// One running copy per program folder, seen from two starts inside one test program: the second start
// is refused and reaches the first, other folders are apart, a lock left by a gone copy does not count.
#include "ui/common/single_instance.h"

#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>

#include <sys/wait.h>
#include <unistd.h>

using vantor::ui::SingleInstance;

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondStartReachesTheRunningCopy();
    void unansweredRequestIsReportedAndCleared();
    void otherFoldersAreApart();
    void lockOfAGoneCopyDoesNotCount();
};

void SingleInstanceTest::secondStartReachesTheRunningCopy() {
    QTemporaryDir dir;
    SingleInstance running(dir.path() + QStringLiteral("/"));
    QVERIFY(running.claim());
    QCOMPARE(QFileInfo(running.lockPath()).fileName(), QStringLiteral("vantor.lock"));
    QSignalSpy asked(&running, &SingleInstance::activationRequested);

    // The second start waits for the running copy to take its request: it runs beside this event loop, as
    // it would in a program of its own.
    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
    auto reached = std::async(std::launch::async, [&second] { return second.activateRunningCopy(); });
    QTRY_COMPARE(asked.count(), 1);
    QVERIFY(reached.get());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("vantor.activate"))));

    // Another change of the folder (a task saved) is no request.
    QFile other(dir.filePath(QStringLiteral("vntask.vnt")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    QTest::qWait(200);
    QCOMPARE(asked.count(), 1);
}

// A running copy that does not take the request (hung, or gone between the lock test and the request)
// is reported, and its request file does not stay to pull a later copy's window out of the tray.
void SingleInstanceTest::unansweredRequestIsReportedAndCleared() {
    QTemporaryDir dir;
    SingleInstance running(dir.path());
    QVERIFY(running.claim());
    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
    QVERIFY(!second.activateRunningCopy()); // this event loop never runs meanwhile
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("vantor.activate"))));
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
