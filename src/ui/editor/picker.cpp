// The two date-time pickers of the time group: the mode layouts, the coupling of the user's changes and
// Enter moving on like Tab.
#include "ui/common/twips.h"
#include "ui/editor/task_editor_impl.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace vantor::ui {

namespace {

// The pickers hold plain wall-clock values kept as UTC, so no daylight-saving adjustment moves a value.
const QDateTime kEarliest(QDate(100, 1, 1), QTime(0, 0, 0), Qt::UTC);
const QDateTime kLatest(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);

QDateTime ToQt(DateTime value) {
    return QDateTime(QDate(value.year(), value.month(), value.day()),
                     QTime(value.hour(), value.minute(), value.second()), Qt::UTC);
}

QDateTimeEdit* MakePicker(QWidget* parent, const char* name, const char* accessibleName, int left) {
    auto* picker = new QDateTimeEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setAccessibleName(QString::fromUtf8(accessibleName));
    picker->setTimeSpec(Qt::UTC);
    picker->setDisplayFormat(QString::fromLatin1(kDateTimeFormat));
    picker->setDateTimeRange(kEarliest, kLatest);
    // The design width holds the full date and time only without the step buttons; the arrow keys and the
    // wheel still step the field under the cursor.
    picker->setButtonSymbols(QAbstractSpinBox::NoButtons);
    picker->setGeometry(TwipsRect(left, kRowTop, 2070, kRowHeight));
    picker->hide();
    return picker;
}

} // namespace

void TaskEditor::Impl::buildPickers() {
    dtpkStart = MakePicker(fraTime, "DTPk_start", "起始时间", 1320);
    dtpkEnd = MakePicker(fraTime, "DTPk_end", "截止时间", 3720);
    writePicker(dtpkStart, ctx.platform.Now());
    writePicker(dtpkEnd, ctx.platform.Now());
    connect(dtpkStart, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (!writingPickers) {
            pickerStartChanged();
        }
    });
    connect(dtpkEnd, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (!writingPickers) {
            pickerEndChanged();
        }
    });
    dtpkStart->installEventFilter(this);
    dtpkEnd->installEventFilter(this);
}

DateTime TaskEditor::Impl::pickerValue(const QDateTimeEdit* picker) const {
    const QDateTime v = picker->dateTime();
    return DateTime::fromParts(v.date().year(), v.date().month(), v.date().day(), v.time().hour(),
                               v.time().minute(), v.time().second());
}

void TaskEditor::Impl::writePicker(QDateTimeEdit* picker, DateTime value) {
    const bool wasWriting = writingPickers;
    writingPickers = true;
    // A time-only format pins the picker's dates to the day it held; the program's values carry their own
    // day (the next weekly window), so the full range comes back before every write.
    picker->setDateTimeRange(kEarliest, kLatest);
    picker->setDateTime(ToQt(value));
    writingPickers = wasWriting;
}

void TaskEditor::Impl::resetPicker(QDateTimeEdit* picker, const char* format, int left, int width) {
    const bool wasWriting = writingPickers;
    writingPickers = true;
    picker->setDisplayFormat(QString::fromLatin1(format));
    writePicker(picker, ctx.platform.Now());
    SetWidthTwips(picker, width);
    SetLeftTwips(picker, left);
    writingPickers = wasWriting;
}

void TaskEditor::Impl::combTimeClick(int index) {
    if (index < 0) {
        return;
    }
    resetPicker(dtpkStart, kDateTimeFormat, 1320, 2070);
    resetPicker(dtpkEnd, kDateTimeFormat, 3720, 2070);
    SetLeftTwips(labSymbol, 3480);
    listWeek->hide();
    if (index == ModeCountdown) {
        SetWidthTwips(labSymbol, 2200);
        dtpkStart->hide();
        dtpkEnd->hide();
        labSymbol->setText(QStringLiteral("秒"));
        txtTtime->show();
        return;
    }
    SetWidthTwips(labSymbol, 500);
    txtTtime->hide();
    dtpkStart->show();
    dtpkEnd->show();
    labSymbol->setText(QStringLiteral("至"));
    if (index == ModeWeekly) {
        SetLeftTwips(listWeek, 1320);
        listWeek->show();
        listWeek->raise();
        SetLeftTwips(labSymbol, 4220);
        resetPicker(dtpkStart, kTimeFormat, 2920, 1300);
        resetPicker(dtpkEnd, kTimeFormat, 4420, 1300);
    }
}

void TaskEditor::Impl::pickerEndChanged() {
    const DateTime end = CoupleEndChange(pickerValue(dtpkStart), pickerValue(dtpkEnd));
    if (end != pickerValue(dtpkEnd)) {
        writePicker(dtpkEnd, end);
    }
}

void TaskEditor::Impl::pickerStartChanged() {
    if (combTime->currentIndex() <= ModeCountdown) {
        return;
    }
    const DateTime end = CoupleStartChange(q.values());
    if (end != pickerValue(dtpkEnd)) {
        writePicker(dtpkEnd, end);
    }
}

} // namespace vantor::ui
