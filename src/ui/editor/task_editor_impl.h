// The task editor's controls and handlers, shared by the files that build the editor's parts.
#pragma once

#include "core/tasks/editor_rules.h"
#include "core/tasks/validation.h"
#include "ui/editor/focus_gate.h"
#include "ui/editor/task_editor.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

namespace vantor::ui {

// Heights of the window design used for rows of controls (twips).
inline constexpr int kRowTop = 240;    // top of a row inside a frame
inline constexpr int kRowHeight = 315; // entry boxes, lists and pickers
inline constexpr int kLabelTop = 285;
inline constexpr int kLabelHeight = 255;

// Week list heights (twips): closed to one row, open to all seven.
inline constexpr int kWeekClosedHeight = 270;
inline constexpr int kWeekOpenHeight = 1620;

// Picker display formats.
inline constexpr const char* kDateTimeFormat = "yyyy-MM-dd HH:mm:ss";
inline constexpr const char* kTimeFormat = "HH:mm:ss";

// Control makers; geometry in twips relative to the parent.
QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                     int height);
QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                  int height);
// A text box; `accessibleName` says what it holds, since it has no caption of its own.
QLineEdit* MakeBox(QWidget* parent, const char* name, const char* accessibleName, int maxLength, int left,
                   int top, int width, int height);
QComboBox* MakeList(QWidget* parent, const char* name, const char* accessibleName, const char* const* items,
                    int count, int left, int top, int width, int height);
QGroupBox* MakeFrame(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                     int height);

void SetLeftTwips(QWidget* w, int left);
void SetWidthTwips(QWidget* w, int width);
void SetHeightTwips(QWidget* w, int height);

// Writes a text as the program's own value: a text longer than the box's design limit (from a task file)
// is kept whole rather than cut, and the limit applies again once the text is short enough.
void SetBoxText(QLineEdit* box, const std::string& text);
// Keeps the box's length limit at its design value, or at the length of a longer text written by code.
void FollowLengthLimit(QLineEdit* box, int designLimit);

// A list's Click: runs when the selection changes (by the user or by code) and when the user picks the
// item that was already selected.
void OnListClick(QComboBox* list, QObject* context, std::function<void(int)> handler);

QString Q(const std::string& utf8);
std::string S(const QString& text);

class TaskEditor::Impl : public QObject {
public:
    Impl(TaskEditor& owner, AppContext& context);

    TaskEditor& q;
    AppContext& ctx;
    FocusGate* gate = nullptr;

    // Condition area.
    QGroupBox* frmCondition = nullptr;
    QCheckBox* chkTime = nullptr;
    QCheckBox* chkSysfree = nullptr;
    QCheckBox* chkNet = nullptr;
    QComboBox* combOper = nullptr;
    QCheckBox* chkFullscr = nullptr;

    // Time group.
    QGroupBox* fraTime = nullptr;
    QComboBox* combTime = nullptr;
    QLineEdit* txtTtime = nullptr;
    QDateTimeEdit* dtpkStart = nullptr;
    QDateTimeEdit* dtpkEnd = nullptr;
    QLabel* labSymbol = nullptr;
    QListWidget* listWeek = nullptr;
    QVariant weekPressState; // check state of the day under the mouse when the button went down

    // Idle group.
    QGroupBox* fraOper = nullptr;
    QLineEdit* txtDay = nullptr;
    QLineEdit* txtHour = nullptr;
    QLineEdit* txtMini = nullptr;
    QLineEdit* txtSecond = nullptr;
    QLabel* label8 = nullptr;

    // Traffic group.
    QGroupBox* fraNet = nullptr;
    QComboBox* combUpdown = nullptr;
    QComboBox* combNetcompare = nullptr;
    QLineEdit* txtNetdata = nullptr;
    QLineEdit* txtNetTime = nullptr;

    // Operation side.
    QLineEdit* txtTips = nullptr;
    QLabel* labTips = nullptr;
    QCheckBox* chkMult = nullptr;

    bool writingPickers = false; // the program writes the pickers: no coupling
    QString chooserFolder;       // the file chooser's initial folder, set on first use

    // condition_side.cpp
    void buildConditionArea();
    void buildTimeFrame();
    void buildIdleFrame();
    void buildNetFrame();
    void connectConditionSide();
    LeaveVerdict refusal(const BoxVerdict& verdict, QLineEdit* box);
    LeaveVerdict validateCountdown();
    LeaveVerdict validateIdlePart(QLineEdit* box, int n);
    void refreshIdleTotal();

    // picker.cpp
    void buildPickers();
    void combTimeClick(int index);
    void pickerStartChanged();
    void pickerEndChanged();
    void writePicker(QDateTimeEdit* picker, DateTime value);
    void resetPicker(QDateTimeEdit* picker, const char* format, int left, int width);
    DateTime pickerValue(const QDateTimeEdit* picker) const;

    // week_list.cpp
    void buildWeekList();
    void openWeekList();
    void closeWeekList();
    int weekClosedPixels() const;
    std::array<bool, 7> weekTicks() const;
    void setWeekTick(int item, bool ticked);

    // operation_side.cpp
    void buildOperationSide();
    void combOperClick(int index);
    void refuseUnsupported(const char* text);
    void fitTipsLabel();
    void txtTipsDblClick();
    void labTipsDblClick();

    // task_editor.cpp
    QWidget* control(EditorControl c) const;

    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vantor::ui
