// On Windows a path is shown and kept with "\": the file chooser's answer, the task added with it as the
// task file keeps it, and a saved task of a file that holds "/".
#include "support/test_support.h"

#include "core/tasks/task_record.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/task_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace vantor;
using vantor::test::UiFixture;

class NativePathsTest : public QObject {
    Q_OBJECT
private slots:
    void chosenAndSavedPathsUseBackslashes();
};

void NativePathsTest::chosenAndSavedPathsUseBackslashes() {
    const QString chosen = QStringLiteral("Z:/桌面/定时 工具/提醒 脚本.bat");
    const QString shown = QStringLiteral("Z:\\桌面\\定时 工具\\提醒 脚本.bat");
    UiFixture f;
    f.platform.SetNow(DateTime::fromParts(2026, 12, 8, 10, 0, 0));
    f.platform.SetOrdinaryFiles({shown.toStdString()});
    f.writeFile(QStringLiteral("vntask.vnt"),
                "True;;10分0秒;倒计时600秒;运行;0;1,0,0,1,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0," +
                    chosen.toUtf8() + "\r\n");
    auto started = [&f] {
        auto w = std::make_unique<ui::MainWindow>(f.context);
        w->show();
        w->start();
        return w;
    };
    std::unique_ptr<ui::MainWindow> w = started();
    auto* tips = w->findChild<QLineEdit*>(QStringLiteral("txt_tips"));

    // The saved task of an earlier file, loaded into the editor.
    w->editor()->loadTask(w->taskList()->row(0), f.platform.Now(), f.platform.Now());
    QCOMPARE(tips->text(), shown);

    // The file chooser's answer, shown, and added to the task file.
    w->findChild<QLineEdit*>(QStringLiteral("txt_tips"))->clear();
    ui::FileDialogs::setNextAnswer(chosen);
    QTest::mouseDClick(tips, Qt::LeftButton);
    QCOMPARE(tips->text(), shown);
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Cmd_addtask")), Qt::LeftButton);
    w.reset();
    w = started();
    QCOMPARE(w->taskList()->rowCount(), 2);
    const std::string params = w->taskList()->row(1).params;
    QVERIFY2(QString::fromStdString(params).endsWith(QLatin1Char(',') + shown), params.c_str());
}

QTEST_MAIN(NativePathsTest)
#include "native_paths_test.moc"
