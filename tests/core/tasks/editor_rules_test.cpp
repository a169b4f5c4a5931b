// The entry-box rules of the editor, its label texts, the picker coupling and the operation inputs.
#include "core/tasks/editor_rules.h"

#include "core/tasks/validation.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vantor {
namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateTime::fromParts(y, mo, d, h, mi, s);
}

const MessageIcon kInfo = MessageIcon::Information;
const MessageIcon kWarn = MessageIcon::Warning;

struct BoxCase {
    const char* name;
    std::string text;
    int n; // TimeSet bound; unused by the other boxes
    bool accepted;
    std::string message; // empty when accepted
    std::string title;
    MessageIcon icon;
    bool cleared;
};

void PrintTo(const BoxCase& c, std::ostream* os) {
    *os << c.name;
}

BoxCase Ok(const char* name, std::string text, int n = 0) {
    return BoxCase{name, std::move(text), n, true, "", "", MessageIcon::None, false};
}

void ExpectVerdict(const BoxVerdict& v, const BoxCase& c) {
    EXPECT_EQ(v.accepted, c.accepted);
    EXPECT_EQ(v.clearText, c.cleared);
    ASSERT_EQ(v.message.has_value(), !c.accepted);
    if (v.message) {
        EXPECT_EQ(v.message->text, c.message);
        EXPECT_EQ(v.message->title, c.title);
        EXPECT_EQ(v.message->icon, c.icon);
    }
}

std::string CaseName(const testing::TestParamInfo<BoxCase>& info) {
    return info.param.name;
}

class TimeSetRule : public testing::TestWithParam<BoxCase> {};

TEST_P(TimeSetRule, RefusesInItsFixedOrder) {
    ExpectVerdict(TimeSet(GetParam().text, GetParam().n), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    IdleParts, TimeSetRule,
    testing::Values(
        Ok("EmptyHour", "", 23), Ok("HourAtTheBound", "23", 23), Ok("HourZero", "0", 23),
        BoxCase{"HourAboveTheBound", "24", 23, false, "请输入大于0小于23的整数！", "输入提示", kWarn, false},
        BoxCase{"MinuteAboveTheBound", "60", 59, false, "请输入大于0小于59的整数！", "输入提示", kWarn,
                false},
        Ok("SecondAtTheBound", "59", 59),
        BoxCase{"NegativeDays", "-1", 0, false, "请输入大于0的整数！", "提示", kInfo, false},
        BoxCase{"FractionOfADay", "1.5", 0, false, "请输入大于0的整数！", "提示", kInfo, false},
        BoxCase{"NegativeHourBeforeTheBound", "-1", 23, false, "请输入大于0的整数！", "提示", kInfo, false},
        BoxCase{"LettersForDays", "abc", 0, false, "请输入数值！", "输入提示", kWarn, false},
        BoxCase{"NumberWithLettersAfterIt", "12abc", 23, false, "请输入数值！", "输入提示", kWarn, false},
        Ok("LongestDaysHaveNoBound", "9999999", 0),
        BoxCase{"DaysWithDigitGroups", "1,000", 0, false, "请输入大于0的整数！", "提示", kInfo, false}),
    CaseName);

class CountdownBox : public testing::TestWithParam<BoxCase> {};

TEST_P(CountdownBox, AcceptsOnlyWholeNumbersAboveZero) {
    std::optional<std::string> label;
    ExpectVerdict(ValidateCountdown(GetParam().text, label), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CountdownBox,
    testing::Values(Ok("Empty", ""), Ok("Whole", "600"), Ok("Exponent", "1e3"),
                    BoxCase{"Letters", "abc", 0, false, "请输入数值！", "提示", kInfo, false},
                    BoxCase{"Zero", "0", 0, false, "请输入大于0的整数！", "提示", kInfo, false},
                    BoxCase{"Fraction", "1.5", 0, false, "请输入大于0的整数！", "提示", kInfo, false},
                    BoxCase{"Negative", "-5", 0, false, "请输入大于0的整数！", "提示", kInfo, false},
                    BoxCase{"DigitGroups", "1,000", 0, false, "请输入大于0的整数！", "提示", kInfo, false},
                    BoxCase{"BeyondAnyCountdown", "1e30", 0, false, kCountdownTooLongText, "提示", kInfo,
                            false}),
    CaseName);

struct LabelCase {
    const char* text;
    std::optional<std::string> label;
};

class CountdownBoxLabel : public testing::TestWithParam<LabelCase> {};

TEST_P(CountdownBoxLabel, ShowsTheRoundedDurationOfEveryNumericText) {
    std::optional<std::string> label = "stale";
    ValidateCountdown(GetParam().text, label);
    EXPECT_EQ(label, GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Texts, CountdownBoxLabel,
                         testing::Values(LabelCase{"", std::nullopt}, LabelCase{"abc", std::nullopt},
                                         LabelCase{"0", "秒(0秒)"}, LabelCase{"3661", "秒(1时1分1秒)"},
                                         LabelCase{"2.5", "秒(2秒)"}, LabelCase{"-5", "秒()"},
                                         LabelCase{"1e30", "秒"}));

struct ChangeCase {
    const char* text;
    bool visible;
    std::optional<std::string> label;
};

class CountdownChange : public testing::TestWithParam<ChangeCase> {};

TEST_P(CountdownChange, SetsTheSymbolLabel) {
    EXPECT_EQ(CountdownLabel(GetParam().text, GetParam().visible), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CountdownChange,
    testing::Values(ChangeCase{"0", true, "秒"}, ChangeCase{"", true, "秒"},
                    ChangeCase{"3661", false, std::nullopt}, ChangeCase{"", false, std::nullopt},
                    ChangeCase{"3661", true, "秒(1时1分1秒)"}, ChangeCase{"90061", true, "秒(1天1时1分1秒)"},
                    ChangeCase{"1.5", true, "秒(2秒)"}, ChangeCase{"00", true, "秒(0秒)"},
                    ChangeCase{"abc", true, std::nullopt}, ChangeCase{"12abc", true, std::nullopt},
                    ChangeCase{"1e30", true, "秒"}));

TEST(IdleTotal, GroupsTheSumOfTheFourParts) {
    EXPECT_EQ(IdleTotalLabel("1", "1", "1", "1"), "秒，共90,061秒");
    EXPECT_EQ(IdleTotalLabel("0", "0", "0", "0"), "秒，共0秒");
    EXPECT_EQ(IdleTotalLabel("", "", "", ""), "秒，共0秒");
    EXPECT_EQ(IdleTotalLabel("", "2", "", "5"), "秒，共7,205秒");
}

class NetRateBox : public testing::TestWithParam<BoxCase> {};

TEST_P(NetRateBox, AcceptsZeroToOneBillion) {
    ExpectVerdict(ValidateNetRate(GetParam().text), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NetRateBox,
    testing::Values(Ok("Empty", ""), Ok("Zero", "0"), Ok("Fraction", "12.5"), Ok("UpperBound", "1000000000"),
                    BoxCase{"Letters", "abc", 0, false, "请输入数值！", "提示", kInfo, false},
                    BoxCase{"Negative", "-0.5", 0, false, "请输入大于等于0的数值！", "提示", kInfo, true},
                    BoxCase{"AboveTheBound", "1000000001", 0, false, "输入数值过大！", "提示", kInfo, true},
                    BoxCase{"DigitGroups", "1,000", 0, false, "请输入数值！", "提示", kInfo, false}),
    CaseName);

class NetHoldBox : public testing::TestWithParam<BoxCase> {};

TEST_P(NetHoldBox, AcceptsWholeSecondsAboveZeroAndKeepsRefusedTexts) {
    ExpectVerdict(ValidateNetHold(GetParam().text), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NetHoldBox,
    testing::Values(Ok("Empty", ""), Ok("Whole", "30"),
                    BoxCase{"Letters", "abc", 0, false, "请输入数值！", "提示", kInfo, false},
                    BoxCase{"Zero", "0", 0, false, "请输入大于0的整数！", "提示", kInfo, false},
                    BoxCase{"Fraction", "1.5", 0, false, "请输入大于0的整数！", "提示", kInfo, false},
                    BoxCase{"Negative", "-2", 0, false, "请输入大于0的整数！", "提示", kInfo, false},
                    BoxCase{"DigitGroups", "1,000", 0, false, "请输入大于0的整数！", "提示", kInfo, false}),
    CaseName);

TEST(EndPicker, JumpsToTheStartWhenSetBeforeIt) {
    EXPECT_EQ(CoupleEndChange(At(2026, 12, 9, 20), At(2026, 12, 9, 19)), At(2026, 12, 9, 20));
    EXPECT_EQ(CoupleEndChange(At(2026, 12, 9, 20), At(2026, 12, 9, 21)), At(2026, 12, 9, 21));
    EXPECT_EQ(CoupleEndChange(At(2026, 12, 9, 20), At(2026, 12, 9, 20)), At(2026, 12, 9, 20));
}

struct StartCase {
    const char* name;
    int mode;
    bool idle;
    bool net;
    std::string hold;
    DateTime end;
    DateTime expected;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

class StartPicker : public testing::TestWithParam<StartCase> {};

TEST_P(StartPicker, MakesTheWindowAsLongAsTheConditionsNeed) {
    const StartCase& c = GetParam();
    EditorValues v;
    v.timeOn = true;
    v.timeMode = c.mode;
    v.start = At(2026, 12, 9, 20);
    v.end = c.end;
    v.idleOn = c.idle;
    v.idleDays = "0";
    v.idleHours = "1";
    v.idleMinutes = "0";
    v.idleSeconds = "0";
    v.netOn = c.net;
    v.netHoldSeconds = c.hold;
    EXPECT_EQ(FormatDateTime(CoupleStartChange(v)), FormatDateTime(c.expected));
}

// Functions rather than constants: no date is made before the core's date arithmetic is ready.
DateTime Early() {
    return At(2026, 12, 9, 19);
}
DateTime Late() {
    return At(2026, 12, 9, 23);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartPicker,
    testing::Values(
        StartCase{"IdleHour", ModeWindow, true, false, "", Early(), At(2026, 12, 9, 21)},
        StartCase{"IdleHourPlusHold", ModeWindow, true, true, "300", Late(), At(2026, 12, 9, 21, 5)},
        StartCase{"HoldOnly", ModeWindow, false, true, "300", Late(), At(2026, 12, 9, 20, 5)},
        StartCase{"HoldHalfRoundsToEven", ModeWindow, false, true, "2.5", Late(), At(2026, 12, 9, 20, 0, 2)},
        StartCase{"HoldOverADay", ModeWindow, false, true, "90061", Late(), At(2026, 12, 10, 21, 1, 1)},
        StartCase{"NeitherMovesAnEarlierEnd", ModeWindow, false, false, "", Early(), At(2026, 12, 9, 20)},
        StartCase{"NeitherKeepsALaterEnd", ModeWindow, false, false, "", Late(), Late()},
        StartCase{"WeeklyToo", ModeWeekly, true, false, "", Late(), At(2026, 12, 9, 21)},
        StartCase{"CountdownLeavesTheEndAlone", ModeCountdown, true, true, "300", Early(), Early()},
        StartCase{"HugeHoldStopsAtTheLastMoment", ModeWindow, false, true, "1e30", Late(),
                  At(9999, 12, 31, 23, 59, 59)}),
    [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

struct OperationCase {
    int index;
    bool multVisible;
    bool tipsVisible;
    bool tipsReadOnly;
    bool fullscrEnabled;
    bool fullscrCleared;
    std::optional<std::string> tipsText;
    bool clearTipsUnlessFile;
    std::optional<std::string> caption;
};

class OperationInputsFor : public testing::TestWithParam<OperationCase> {};

TEST_P(OperationInputsFor, ShowsWhatTheOperationNeeds) {
    const OperationCase& c = GetParam();
    const OperationInputs in = InputsForOperation(c.index);
    EXPECT_EQ(in.multVisible, c.multVisible);
    EXPECT_EQ(in.tipsVisible, c.tipsVisible);
    EXPECT_EQ(in.tipsReadOnly, c.tipsReadOnly);
    EXPECT_EQ(in.fullscrEnabled, c.fullscrEnabled);
    EXPECT_EQ(in.fullscrCleared, c.fullscrCleared);
    EXPECT_EQ(in.tipsText, c.tipsText);
    EXPECT_EQ(in.clearTipsUnlessFile, c.clearTipsUnlessFile);
    EXPECT_EQ(in.labTipsCaption, c.caption);
}

OperationCase Hidden(int index) {
    return OperationCase{index, false, false, true, true, false, std::nullopt, false, std::nullopt};
}

INSTANTIATE_TEST_SUITE_P(
    Operations, OperationInputsFor,
    testing::Values(Hidden(OpNone),
                    OperationCase{OpRemind, false, true, false, false, true, "提醒时间到!", false, "提醒："},
                    OperationCase{OpRun, true, true, true, true, false, std::nullopt, true, "路径"},
                    OperationCase{OpEndProcess, false, true, false, true, false, std::nullopt, false, "进程"},
                    Hidden(OpShutdown), Hidden(OpRestart), Hidden(OpLogOff), Hidden(OpLock), Hidden(OpSleep),
                    Hidden(OpHibernate)));

struct ExtensionCase {
    const char* path;
    bool exe;
};

class ExeExtension : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ExeExtension, IsTheTextAfterTheLastDotInLowerCase) {
    EXPECT_EQ(HasExactExeExtension(GetParam().path), GetParam().exe);
}

INSTANTIATE_TEST_SUITE_P(Paths, ExeExtension,
                         testing::Values(ExtensionCase{"C:\\tools\\app.exe", true},
                                         ExtensionCase{"C:\\tools\\APP.EXE", false},
                                         ExtensionCase{"C:\\tools\\app.Exe", false},
                                         ExtensionCase{"C:\\tools\\readme.txt", false},
                                         ExtensionCase{"C:\\tools\\app.exe.txt", false},
                                         ExtensionCase{"exe", true}, ExtensionCase{"C:\\v1.2\\app", false},
                                         ExtensionCase{"app.", false}, ExtensionCase{"", false}));

} // namespace
} // namespace vantor
