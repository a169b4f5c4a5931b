// One running copy per program folder, with the system's own lock and channel, seen from two starts inside
// one test program: whatever is left under the lock's name never blocks a start, and a request sent while
// the running copy is still starting is answered once its window is ready.
#include "core/shell/control.h"
#include "platform/native.h"
#include "ui/common/single_instance.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>

#include <sys/wait.h>
#include <unistd.h>

using vantor::ControlAnswer;
using vantor::ControlCommand;
using vantor::ControlOutcome;
using vantor::ControlReply;
using vantor::ControlRequest;
using vantor::ui::SingleInstance;

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void requestsWaitForTheReadyWindow();
    void leftoversNeverBlock_data();
    void leftoversNeverBlock();

private:
    std::unique_ptr<vantor::Platform> platform_;
    QTemporaryDir runtime_;
};

void SingleInstanceTest::init() {
    platform_ = vantor::CreateNativePlatform();
    // A private folder of the test's own for the channel.
    QVERIFY(QFile::setPermissions(runtime_.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
}

void SingleInstanceTest::requestsWaitForTheReadyWindow() {
    QTemporaryDir dir;
    SingleInstance running(*platform_, dir.path() + QStringLiteral("/"));
    QVERIFY(running.claim());
    QVERIFY(running.serving());
    QCOMPARE(QFileInfo(running.lockPath()).fileName(), QStringLiteral("vantor.lock"));
    QSignalSpy asked(&running, &SingleInstance::activationRequested);

    // The later starts run beside this event loop, as they would in programs of their own.
    SingleInstance second(*platform_, dir.path());
    QVERIFY(!second.claim());
    auto shown = std::async(std::launch::async, [&second] { return second.activateRunningCopy(); });
    auto status = std::async(std::launch::async, [&second] {
        return second.ask(vantor::FormatControlRequest(ControlRequest{ControlCommand::Status, 0}));
    });
    // Still starting: nothing is answered and nothing is lost.
    QTest::qWait(500);
    QCOMPARE(asked.count(), 0);
    QCOMPARE(status.wait_for(std::chrono::seconds(0)), std::future_status::timeout);

    std::vector<std::string> heard;
    running.setResponder([&heard](const std::string& request) {
        heard.push_back(request);
        return vantor::FormatControlAnswer(ControlAnswer{ControlOutcome::Done, "state: stopped\n"});
    });
    QTRY_VERIFY(shown.wait_for(std::chrono::seconds(0)) == std::future_status::ready &&
                status.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QVERIFY(shown.get());
    QCOMPARE(asked.count(), 1);
    const ControlReply reply = status.get();
    QCOMPARE(int(reply.status), int(ControlReply::Status::Answered));
    QCOMPARE(reply.answer, std::string("VANTOR/1 done\nstate: stopped\n"));
    QCOMPARE(heard, std::vector<std::string>{"VANTOR/1 status"});
}

void SingleInstanceTest::leftoversNeverBlock_data() {
    QTest::addColumn<QString>("leftover");
    QTest::newRow("empty file") << "empty";
    QTest::newRow("garbage") << "garbage";
    QTest::newRow("folder") << "folder";
    QTest::newRow("dangling link") << "dangling";
    QTest::newRow("link to the task file") << "link";
    QTest::newRow("lock of a killed copy") << "killed";
}

// Whatever stands under the lock's name, the first start runs and the second still finds it.
void SingleInstanceTest::leftoversNeverBlock() {
    QFETCH(QString, leftover);
    QTemporaryDir dir;
    const QString lock = dir.filePath(QStringLiteral("vantor.lock"));
    const QString tasks = dir.filePath(QStringLiteral("vntask.vnt"));
    const QByteArray taskText = "True;;;;;;\r\n";
    QFile taskFile(tasks);
    QVERIFY(taskFile.open(QIODevice::WriteOnly));
    taskFile.write(taskText);
    taskFile.close();
    QFile file(lock);
    if (leftover == QLatin1String("empty") || leftover == QLatin1String("garbage")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(leftover == QLatin1String("garbage") ? "\x01\x02 12345\nother-host\n" : "");
        file.close();
    } else if (leftover == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("vantor.lock")));
    } else if (leftover == QLatin1String("dangling")) {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), lock));
    } else if (leftover == QLatin1String("link")) {
        QVERIFY(QFile::link(tasks, lock));
    } else {
        const pid_t pid = ::fork();
        if (pid == 0) {
            vantor::LockOutcome outcome{};
            auto held =
                vantor::CreateNativePlatform()->LockInstance(QFile::encodeName(lock).toStdString(), outcome);
            ::_exit(held ? 0 : 1); // ends without letting go, as a killed copy does
        }
        int status = -1;
        ::waitpid(pid, &status, 0);
        QCOMPARE(status, 0);
    }

    SingleInstance first(*platform_, dir.path());
    QVERIFY(first.claim());
    SingleInstance second(*platform_, dir.path());
    QVERIFY(!second.claim());
    QVERIFY(taskFile.open(QIODevice::ReadOnly));
    QCOMPARE(taskFile.readAll(), taskText);
}

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
