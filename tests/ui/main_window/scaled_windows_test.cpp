// Every window of the program at the scale of the screen it runs on: no text is cut off in any editor
// layout and every character has a font to draw it; with VANTOR_SHOTS set each window is saved there as a
// PNG, which windows_at_scale.sh compares between a 1x screen and a 2x one.
#include "scheduler/scheduler_harness.h"
#include "support/item_view_clicks.h"

#include "ui/common/app_setup.h"
#include "ui/settings_dialog/settings_dialog.h"
#include "ui/splash_window/splash_window.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QListWidget>
#include <QRawFont>
#include <QStyleOption>
#include <QTextDocument>
#include <QTextLayout>
#include <QTranslator>

#include <algorithm>

using namespace vantor;
using namespace vantor::test;

namespace {

QString Describe(const QWidget* w, const QString& text, int need, int have) {
    return QStringLiteral("%1 \"%2\": needs %3 px, has %4").arg(w->objectName(), text).arg(need).arg(have);
}

// Widths and heights in the widget's own (logical) pixels. A line of text fits when its ink lies inside
// the area its widget draws it in (a full-width colon has its ink at the left of its advance, and a CJK
// font's line is taller than its characters); a text of several lines, when the lines as laid out do.
void CheckText(const QWidget* w, const QString& text, const QRect& area, int flags, QStringList& cut) {
    const QFontMetrics fm = w->fontMetrics();
    const QRect laidOut = fm.boundingRect(area, flags, text);
    if (text.contains(QLatin1Char('\n')) || (flags & Qt::TextWordWrap) != 0) {
        if (laidOut.width() > area.width()) {
            cut << Describe(w, text, laidOut.width(), area.width());
        }
        if (laidOut.height() > area.height()) {
            cut << Describe(w, text, laidOut.height(), area.height()) + QStringLiteral(" (height)");
        }
        return;
    }
    // The baseline sits at the line's ascent, which a fallback font for the Chinese characters may raise.
    QTextLayout layout(text, w->font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QRect ink =
        fm.tightBoundingRect(text).translated(laidOut.left(), laidOut.top() + qRound(line.ascent()));
    if (ink.left() < area.left() || ink.right() > area.right()) {
        cut << Describe(w, text, ink.right() - qMin(ink.left(), area.left()) + 1, area.width());
    }
    if (ink.top() < area.top() || ink.bottom() > area.bottom()) {
        cut << Describe(w, text, ink.bottom() - qMin(ink.top(), area.top()) + 1, area.height()) +
                   QStringLiteral(" (height)");
    }
}

// The texts of the shown widgets under `root` that do not fit where they are drawn.
QStringList CutTexts(const QWidget* root) {
    QStringList cut;
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root)) {
            continue;
        }
        const QStyle* style = w->style();
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (!label->text().isEmpty() && !Qt::mightBeRichText(label->text())) {
                const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
                const int m = label->margin();
                CheckText(w, label->text(), label->contentsRect().adjusted(m, m, -m, -m), flags, cut);
            }
        } else if (const auto* box = qobject_cast<const QCheckBox*>(w)) {
            QStyleOptionButton opt;
            opt.initFrom(box);
            opt.text = box->text();
            CheckText(w, box->text(), style->subElementRect(QStyle::SE_CheckBoxContents, &opt, box),
                      Qt::AlignLeft | Qt::AlignVCenter, cut);
        } else if (const auto* button = qobject_cast<const QPushButton*>(w)) {
            QStyleOptionButton opt;
            opt.initFrom(button);
            opt.text = button->text();
            CheckText(w, button->text(), style->subElementRect(QStyle::SE_PushButtonContents, &opt, button),
                      Qt::AlignCenter, cut);
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(w)) {
            QStyleOptionGroupBox opt;
            opt.initFrom(frame);
            opt.text = frame->title();
            opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect title =
                style->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, frame);
            if (title.right() >= frame->width()) {
                cut << Describe(w, frame->title(), title.right() + 1, frame->width());
            }
        } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(combo);
            opt.frame = combo->hasFrame();
            const QRect field =
                style->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo);
            for (int i = 0; i < combo->count(); ++i) {
                CheckText(w, combo->itemText(i), field, Qt::AlignLeft | Qt::AlignVCenter, cut);
            }
        } else if (const auto* list = qobject_cast<const QListWidget*>(w)) {
            // The row at the top, as the closed one-row list shows it: whole inside the list's inner area,
            // its check mark and its text too (a row further down may be cut by the list's lower edge).
            const QRect inside = list->viewport()->rect();
            const QModelIndex index = list->indexAt(inside.topLeft());
            if (!index.isValid()) {
                continue;
            }
            const QRect row = list->visualRect(index);
            const QString text = index.data().toString();
            const QRect mark = CheckMarkRect(list, index);
            if (!inside.contains(row) || !inside.contains(mark)) {
                cut << Describe(w, text, row.united(mark).height(), inside.height()) +
                           QStringLiteral(" (row and check mark)");
            }
            QStyleOptionViewItem opt;
            opt.initFrom(list);
            opt.rect = row;
            opt.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
            opt.text = text;
            CheckText(w, text, style->subElementRect(QStyle::SE_ItemViewItemText, &opt, list) & inside,
                      Qt::AlignLeft | Qt::AlignVCenter, cut);
        } else if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(w)) {
            QStyleOptionSpinBox opt;
            opt.initFrom(spin);
            opt.frame = spin->hasFrame();
            opt.buttonSymbols = spin->buttonSymbols();
            opt.subControls = QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
            const QRect field =
                style->subControlRect(QStyle::CC_SpinBox, &opt, QStyle::SC_SpinBoxEditField, spin);
            // The line edit inside keeps a small margin on each side.
            CheckText(w, spin->text(), field.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, cut);
        }
    }
    return cut;
}

// Characters of the shown texts under `root` that no installed font can draw (they would show as empty
// boxes). windows_at_scale.sh runs this with only the font the package depends on.
QStringList MissingGlyphs(const QWidget* root) {
    static QHash<char32_t, bool> drawable;
    const QStringList families = QFontDatabase::families();
    QStringList missing;
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            text = label->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            text = button->text();
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(w)) {
            text = frame->title();
        }
        for (const char32_t c : text.toUcs4()) {
            if (QChar::isSpace(c) || QChar::category(c) == QChar::Other_Control) {
                continue;
            }
            if (!drawable.contains(c)) {
                drawable[c] = std::any_of(families.begin(), families.end(), [c](const QString& family) {
                    return QRawFont::fromFont(QFont(family)).supportsCharacter(c);
                });
            }
            if (!drawable[c] && w->isVisibleTo(root)) {
                missing << QStringLiteral("%1: %2").arg(w->objectName(), QString::fromUcs4(&c, 1));
            }
        }
    }
    return missing;
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(10);
    }
}

// Saves the window's picture (in device pixels) when the comparison script asked for pictures.
void Shoot(QWidget* window, const char* name) {
    const QString dir = qEnvironmentVariable("VANTOR_SHOTS");
    if (!dir.isEmpty()) {
        QVERIFY(window->grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")));
    }
}

} // namespace

class ScaledWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void mainWindowInEveryLayout();
    void dialogs();
};

void ScaledWindowsTest::initTestCase() {
    // A desktop whose font is larger than the window design's (11 points, as some desktops choose); the
    // program sets itself up as it does at start.
    QFont desktop = QApplication::font();
    desktop.setPointSize(11);
    // The system's font replaced, as a Chinese Windows has its own (the Windows run sets it).
    const QString family = qEnvironmentVariable("VANTOR_TEST_FONT");
    if (!family.isEmpty()) {
        QVERIFY2(QFontDatabase::families().contains(family), qPrintable(family + QStringLiteral(" missing")));
        desktop.setFamilies({family});
    }
    QApplication::setFont(desktop);
    static QTranslator translations;
    ui::SetUpApplication(translations);
}

void ScaledWindowsTest::mainWindowInEveryLayout() {
    Harness h;
    h.fx.writeFile(
        QStringLiteral("vntask.vnt"),
        "True;;10分0秒;倒计时600秒;关机;0;1,0,0,3,0,0,2026/12/8,2026/12/8,600,,0,0,0,0,-1,-1,0,0,0,\r\n"
        "False;全天;;闲置60秒;提醒;-1;0,1,0,0,0,-1,2026/12/8,2026/12/8,,,0,0,1,0,-1,-1,0,0,0,hi\r\n");
    h.window.start();
    h.window.labTaskClick(); // the task panel open, as the picture of the program shows it
    Settle();
    Shoot(&h.window, "main_window");

    auto* conditions = h.window.findChild<QCheckBox*>(QStringLiteral("Chk_time"));
    auto* mode = h.window.findChild<QComboBox*>(QStringLiteral("Comb_time"));
    auto* operation = h.window.findChild<QComboBox*>(QStringLiteral("Comb_oper"));
    for (const char* name : {"Chk_time", "Chk_sysfree", "Chk_net"}) {
        h.window.findChild<QCheckBox*>(QLatin1String(name))->setChecked(true);
    }
    QStringList cut;
    for (int m : {ModeCountdown, ModeWindow, ModeWeekly}) {
        for (int op : {OpRemind, OpRun, OpEndProcess, OpShutdown}) {
            conditions->setChecked(true);
            mode->setCurrentIndex(m);
            operation->setCurrentIndex(op);
            Settle();
            for (const QString& c : CutTexts(&h.window) + MissingGlyphs(&h.window)) {
                cut << QStringLiteral("mode %1, operation %2: %3").arg(m).arg(op).arg(c);
            }
        }
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

void ScaledWindowsTest::dialogs() {
    Harness h;
    h.window.start();
    Settle();

    ui::SettingsDialog* settings = ui::SettingsDialog::showFor(h.context, &h.window);
    Settle();
    QStringList cut = CutTexts(settings) + MissingGlyphs(settings);
    Shoot(settings, "settings_dialog");
    settings->close();

    ui::SplashWindow* splash = ui::SplashWindow::showWindow();
    Settle();
    cut << CutTexts(splash) << MissingGlyphs(splash);
    Shoot(splash, "splash_window");
    splash->close();

    h.compose(CountdownTask(600, OpShutdown));
    h.run().showWarning();
    Settle();
    QVERIFY(h.warningOpen());
    cut << CutTexts(h.dialog()) << MissingGlyphs(h.dialog());
    Shoot(h.dialog(), "warning_dialog");

    // A process name of 15 characters with its ".exe", of the widest letters.
    Harness process;
    process.compose(CountdownTask(600, OpEndProcess, "WWWWWWWWWWW.exe"));
    process.run().showWarning();
    Settle();
    QVERIFY(process.warningOpen());
    for (const QString& c : CutTexts(process.dialog())) {
        cut << QStringLiteral("ending a process: ") + c;
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

QTEST_MAIN(ScaledWindowsTest)
#include "scaled_windows_test.moc"
