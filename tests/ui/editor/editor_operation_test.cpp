// The operation side: inputs per operation, unsupported sleep and hibernate, file chooser and test run.
#include "editor/editor_fixture.h"
#include "ui/common/file_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace vantor;
using namespace vantor::test;

class EditorOperationTest : public QObject {
    Q_OBJECT
private slots:
    void inputsPerOperation_data();
    void inputsPerOperation();
    void switchingKeepsOrClearsTheText();
    void unsupportedPowerStateIsRefused_data();
    void unsupportedPowerStateIsRefused();
    void supportIsAskedEachTime();
    void fileChooserFillsThePath();
    void fileChooserOnlyForRunProgram();
    void fileChooserCancelChangesNothing();
    void testRun_data();
    void testRun();
    void tipsToolTipIsItsText();
};

namespace {

void DoubleClick(QWidget* w) {
    QTest::mouseDClick(w, Qt::LeftButton);
}

} // namespace

void EditorOperationTest::inputsPerOperation_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<bool>("tipsShown");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("multShown");
    QTest::addColumn<bool>("fullscrEnabled");

    QTest::newRow("remind") << 0 << true << false << "提醒：" << false << false;
    QTest::newRow("run program") << 1 << true << true << "路径" << true << true;
    QTest::newRow("end process") << 2 << true << false << "进程" << false << true;
    QTest::newRow("shut down") << 3 << false << true << "" << false << true;
    QTest::newRow("restart") << 4 << false << true << "" << false << true;
    QTest::newRow("log off") << 5 << false << true << "" << false << true;
    QTest::newRow("lock") << 6 << false << true << "" << false << true;
    QTest::newRow("sleep") << 7 << false << true << "" << false << true;
    QTest::newRow("hibernate") << 8 << false << true << "" << false << true;
}

void EditorOperationTest::inputsPerOperation() {
    QFETCH(int, op);
    QFETCH(bool, tipsShown);
    QFETCH(bool, readOnly);
    QFETCH(QString, caption);
    QFETCH(bool, multShown);
    QFETCH(bool, fullscrEnabled);

    EditorFixture f;
    auto* fullscr = f.find<QCheckBox>("chk_fullscr");
    // Start from run program with the full-screen pause on, so every state has to be set.
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(op == 1 ? 2 : 1);
    fullscr->setChecked(true);
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(op);

    auto* tips = f.find<QLineEdit>("txt_tips");
    QCOMPARE(!tips->isHidden(), tipsShown);
    QCOMPARE(!f.find<QLabel>("Lab_tips")->isHidden(), tipsShown);
    QCOMPARE(tips->isReadOnly(), readOnly);
    if (!caption.isEmpty()) {
        QCOMPARE(f.find<QLabel>("Lab_tips")->text(), caption);
    }
    QCOMPARE(!f.find<QCheckBox>("Chk_mult")->isHidden(), multShown);
    QCOMPARE(fullscr->isEnabled(), fullscrEnabled);
    QCOMPARE(fullscr->isChecked(), fullscrEnabled); // a reminder clears it, the others leave it
    if (op == 0) {
        QCOMPARE(tips->text(), QString("提醒时间到!"));
    }
    QVERIFY(f.shown().empty());
}

void EditorOperationTest::switchingKeepsOrClearsTheText() {
    EditorFixture f;
    auto* oper = f.find<QComboBox>("Comb_oper");
    auto* tips = f.find<QLineEdit>("txt_tips");
    // Remind -> run program: the preset is no file, so it goes.
    oper->setCurrentIndex(0);
    oper->setCurrentIndex(1);
    QCOMPARE(tips->text(), QString());
    // A real file stays, and stays when switching to end process (now editable).
    f.ui.platform.SetOrdinaryFiles({"/opt/app/tool"});
    tips->setText("/opt/app/tool");
    oper->setCurrentIndex(0);
    tips->setText("/opt/app/tool");
    oper->setCurrentIndex(1);
    QCOMPARE(tips->text(), QString("/opt/app/tool"));
    oper->setCurrentIndex(2);
    QCOMPARE(tips->text(), QString("/opt/app/tool"));
    QVERIFY(!tips->isReadOnly());
    // End process -> remind: the preset replaces the text.
    oper->setCurrentIndex(0);
    QCOMPARE(tips->text(), QString("提醒时间到!"));
    // Any -> shut down: hidden, the text kept.
    tips->setText("kept");
    oper->setCurrentIndex(3);
    QVERIFY(tips->isHidden());
    QCOMPARE(tips->text(), QString("kept"));
}

void EditorOperationTest::unsupportedPowerStateIsRefused_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("message");
    QTest::newRow("sleep") << 7 << "系统不支持睡眠，无法执行睡眠操作！";
    QTest::newRow("hibernate") << 8 << "系统不支持休眠，无法执行休眠操作！";
}

void EditorOperationTest::unsupportedPowerStateIsRefused() {
    QFETCH(int, op);
    QFETCH(QString, message);
    EditorFixture f;
    f.ui.platform.SetCanSuspend(op != 7);
    f.ui.platform.SetCanHibernate(op != 8);
    auto* oper = f.find<QComboBox>("Comb_oper");
    oper->setCurrentIndex(3);
    oper->setCurrentIndex(op);

    QCOMPARE(f.shown().size(), size_t{1});
    QCOMPARE(f.shown()[0].text, message);
    QCOMPARE(f.shown()[0].title, QString("提示"));
    QCOMPARE(f.shown()[0].icon, MessageIcon::Information);
    QVERIFY(f.shown()[0].systemModal);
    // The two re-selections: the reminder's preset, then no operation with the inputs hidden.
    QCOMPARE(oper->currentIndex(), -1);
    QCOMPARE(f.find<QLineEdit>("txt_tips")->text(), QString("提醒时间到!"));
    QVERIFY(f.find<QLineEdit>("txt_tips")->isHidden());
    QVERIFY(f.find<QLabel>("Lab_tips")->isHidden());
    QVERIFY(f.find<QCheckBox>("chk_fullscr")->isEnabled());
}

void EditorOperationTest::supportIsAskedEachTime() {
    EditorFixture f;
    auto* oper = f.find<QComboBox>("Comb_oper");
    oper->setCurrentIndex(7);
    oper->setCurrentIndex(3);
    oper->setCurrentIndex(7);
    QCOMPARE(f.ui.platform.canSuspendQueries, 2);
    // A system that lost the ability is noticed at the next choice.
    f.ui.platform.SetCanSuspend(false);
    oper->setCurrentIndex(3);
    oper->setCurrentIndex(7);
    QCOMPARE(f.shown().size(), size_t{1});
    oper->setCurrentIndex(8);
    QCOMPARE(f.ui.platform.canHibernateQueries, 1);
    QCOMPARE(oper->currentIndex(), 8);
}

void EditorOperationTest::fileChooserFillsThePath() {
    EditorFixture f;
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(1);
    f.editor->show();
    ui::FileDialogs::setNextAnswer(QString("/opt/app/tool"));
    DoubleClick(f.find<QLineEdit>("txt_tips"));

    QCOMPARE(ui::FileDialogs::requests().size(), size_t{1});
    const ui::FileDialogRequest& req = ui::FileDialogs::requests()[0];
    QCOMPARE(req.title, QString("请选择文件路径"));
    QCOMPARE(req.folder, f.ui.context.programFolder);
    QCOMPARE(req.filter, QString("所有文件(*.*)"));
    // Files without an extension, like most programs here, stay visible in the system's dialog.
    QCOMPARE(ui::FileDialogs::nativeFilter(req.filter), QString("所有文件(*)"));
    QCOMPARE(f.find<QLineEdit>("txt_tips")->text(), QString("/opt/app/tool"));
    QVERIFY(!f.find<QCheckBox>("Chk_mult")->isHidden());
    QCOMPARE(f.shown().size(), size_t{1});
    QCOMPARE(f.shown()[0].text, QString("双击文字“路径”可以测试能否成功运行。"));
    QCOMPARE(f.shown()[0].title, QString("Vantor"));
    QCOMPARE(f.shown()[0].icon, MessageIcon::None);
}

void EditorOperationTest::fileChooserOnlyForRunProgram() {
    EditorFixture f;
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(0);
    f.editor->show();
    DoubleClick(f.find<QLineEdit>("txt_tips"));
    QVERIFY(ui::FileDialogs::requests().empty());
    QCOMPARE(f.find<QLineEdit>("txt_tips")->text(), QString("提醒时间到!"));
}

void EditorOperationTest::fileChooserCancelChangesNothing() {
    EditorFixture f;
    f.ui.platform.SetOrdinaryFiles({"/opt/app/old"});
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(1);
    f.find<QLineEdit>("txt_tips")->setText("/opt/app/old");
    f.editor->show();
    ui::FileDialogs::setNextAnswer(std::nullopt);
    DoubleClick(f.find<QLineEdit>("txt_tips"));
    QCOMPARE(ui::FileDialogs::requests().size(), size_t{1});
    QCOMPARE(f.find<QLineEdit>("txt_tips")->text(), QString("/opt/app/old"));
    QVERIFY(f.shown().empty());
}

void EditorOperationTest::testRun_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("mult");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("started");

    QTest::newRow("exe not running") << 1 << "C:/app/run.exe" << false << false << true << true;
    QTest::newRow("exe running, single instance") << 1 << "C:/app/run.exe" << false << true << true << false;
    QTest::newRow("exe running, several allowed") << 1 << "C:/app/run.exe" << true << true << true << true;
    QTest::newRow("upper-case EXE is a document") << 1 << "C:/app/run.EXE" << false << true << true << true;
    QTest::newRow("missing upper-case EXE") << 1 << "C:/app/run.EXE" << false << true << false << false;
    QTest::newRow("existing document") << 1 << "/home/u/notes.txt" << false << false << true << true;
    QTest::newRow("missing document") << 1 << "/home/u/notes.txt" << false << false << false << false;
    QTest::newRow("program without extension") << 1 << "/opt/app/tool" << false << false << true << true;
    QTest::newRow("not the run operation") << 2 << "/opt/app/tool" << false << false << true << false;
}

void EditorOperationTest::testRun() {
    QFETCH(int, op);
    QFETCH(QString, path);
    QFETCH(bool, mult);
    QFETCH(bool, locked);
    QFETCH(bool, exists);
    QFETCH(bool, started);

    EditorFixture f;
    if (exists) {
        f.ui.platform.SetOrdinaryFiles({path.toStdString()});
    }
    if (locked) {
        f.ui.platform.SetLockedFiles({path.toStdString()});
    }
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(op);
    f.find<QLineEdit>("txt_tips")->setText(path);
    f.find<QCheckBox>("Chk_mult")->setChecked(mult);
    f.editor->show();
    DoubleClick(f.find<QLabel>("Lab_tips"));

    const std::vector<std::string> expected =
        started ? std::vector<std::string>{"start-program " + path.toStdString()}
                : std::vector<std::string>{};
    QCOMPARE(f.ui.platform.calls, expected);
    QVERIFY(f.shown().empty());
}

void EditorOperationTest::tipsToolTipIsItsText() {
    EditorFixture f;
    f.find<QComboBox>("Comb_oper")->setCurrentIndex(0);
    QCOMPARE(f.find<QLineEdit>("txt_tips")->toolTip(), QString("提醒时间到!"));
    f.find<QLineEdit>("txt_tips")->setText("该休息了");
    QCOMPARE(f.find<QLineEdit>("txt_tips")->toolTip(), QString("该休息了"));
}

QTEST_MAIN(EditorOperationTest)
#include "editor_operation_test.moc"
