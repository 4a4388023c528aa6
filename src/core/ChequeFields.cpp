#include "ChequeFields.h"

#include <QFile>

namespace {

constexpr QStringView kDateTip =
    u"使用方法：可直接输入数字、中文日期或双击后从日历中选择日期,点右键进行位置微调。";
constexpr QStringView kStubDateTip =
    u"使用方法：直接输入日期，票身修改日期时，此内容自动修改，保持与票身内容一致,"
    u"点右键进行位置微调。";

using enum FieldInput;
using enum FieldPick;
using enum FieldDrawing;
constexpr int kNoCopy = -1;

// Tab order: date, payee, bank, account, amount (capitals, figures), purpose, password, stub.
// clang-format off
constexpr std::array<ChequeFieldInfo, kPrintableFieldCount> kFields = {{
    {0, u"T0", u"票身-年", u"出票日期", u"出票日期", u"贰零零伍", u"", 4, kDateTip, 0, Date,
     Field::StubYear, Calendar, Line, {}, false},
    {1, u"T1", u"票身-月", u"出票日期", u"", u"壹拾壹", u"", 3, kDateTip, 1, Date, Field::StubMonth,
     Calendar, Line, {}, false},
    {2, u"T2", u"票身-日", u"出票日期", u"", u"贰拾叁", u"", 3, kDateTip, 2, Date, Field::StubDay,
     Calendar, Line, {}, false},
    {3, u"T3", u"票身-收款人", u"收款人全称", u"收款人", u"", u"北京示例科技有限公司", 0,
     u"使用方法：直接输入收款人公司名称,或双击鼠标从历史收款人中选择,点右键进行位置微调。", 3,
     Text, Field::StubPayee, History, Line, {u"收款人全称", u"收款人"}, true},
    {4, u"T4", u"大写金额", u"", u"", u"大写金额不必输入", u"", 0,
     u"使用方法：大写金额由小写金额自动计算，不必输入,点右键进行位置微调。", 6, Derived, kNoCopy,
     None, Line, {}, true},
    {5, u"T5", u"小写金额", u"金额", u"金额", u"", u"", 12,
     u"使用方法：直接输入数字金额,或双击鼠标从历史记录中选取,点右键进行位置微调。", 7, Figures,
     Field::StubAmount, History, Boxes, {u"金额"}, true},
    {6, u"T6", u"票身-用途", u"用途", u"用途", u"", u"", 0,
     u"使用方法：直接输入用途,或双击鼠标从历史记录中选取,点右键进行位置微调。", 8, Text,
     Field::StubPurpose, History, Line, {u"用途"}, true},
    {7, u"T7", u"账号", u"账号", u"账号", u"", u"", 0,
     u"使用方法：直接输入银行账号,或双击鼠标从历史记录中选取,点右键进行位置微调。", 5, Text,
     kNoCopy, History, Line, {u"账号"}, false},
    {8, u"T8", u"密码", u"密码", u"密码", u"", u"", 0,
     u"使用方法：直接输入支票密码,点右键进行位置微调。", 9, Text, kNoCopy, None, Line, {u"密码"},
     true},
    {9, u"T9", u"银行", u"银行", u"银行", u"", u"", 0,
     u"使用方法：直接输入出票银行名称,或双击鼠标从历史记录中选取,点右键进行位置微调。", 4, Text,
     kNoCopy, History, Line, {u"银行"}, false},
    {10, u"F0", u"附加信息", u"附加信息", u"附加信息(票根)", u"", u"", 42,
     u"使用方法：直接输入附加信息内容,点右键进行位置微调。", 10, Text, kNoCopy, None, Lines,
     {u"附加信息"}, true},
    {11, u"F1", u"票根-年", u"日期(票根)", u"日期(票根)", u"", u"", 4, kStubDateTip, 11, Digits,
     kNoCopy, None, Line, {}, false},
    {12, u"F2", u"票根-月", u"日期(票根)", u"", u"", u"", 2, kStubDateTip, 12, Digits, kNoCopy,
     None, Line, {}, false},
    {13, u"F3", u"票根-日", u"日期(票根)", u"", u"", u"", 2, kStubDateTip, 13, Digits, kNoCopy,
     None, Line, {}, false},
    {14, u"F4", u"票根-收款人", u"收款人(票根)", u"收款人(票根)", u"", u"", 10,
     u"使用方法：直接输入收款单位名称,点右键进行位置微调。", 14, Text, kNoCopy, None, Line,
     {u"收款人(票根)"}, true},
    {15, u"F5", u"票根-金额", u"金额(票根)", u"金额(票根)", u"", u"", 12,
     u"使用方法：直接输入金额，票身修改金额时，此内容自动修改，保持与票身内容一致,"
     u"点右键进行位置微调。",
     15, Text, kNoCopy, None, Line, {}, true},
    {16, u"F6", u"票根-用途", u"用途(票根)", u"用途(票根)", u"", u"", 10,
     u"使用方法：直接输入用途，票身修改用途时，此内容自动修改，保持与票身内容一致,"
     u"点右键进行位置微调。",
     16, Text, kNoCopy, None, Line, {u"用途(票根)"}, true},
    {17, u"F7", u"单位主管", u"主管(票根)", u"主管(票根)", u"", u"", 4,
     u"使用方法：直接输入单位主管名称,点右键进行位置微调。", 17, Text, kNoCopy, None, Line,
     {u"主管", u"主管(票根)"}, false},
    {18, u"F8", u"会计", u"会计(票根)", u"会计(票根)", u"", u"", 4,
     u"使用方法：直接输入单位会计名称,点右键进行位置微调。", 18, Text, kNoCopy, None, Line,
     {u"会计", u"会计(票根)"}, false},
}};
// clang-format on

constexpr bool indicesAreTheStoredOrder() {
    for (int i = 0; i < kPrintableFieldCount; ++i)
        if (kFields[size_t(i)].index != i)
            return false;
    return true;
}
static_assert(indicesAreTheStoredOrder());

// Only a body field reacts to leaving it and to a double click, and what it fills is a stub
// field.
constexpr bool onlyBodyFieldsCopyAndPick() {
    for (const ChequeFieldInfo& field : kFields) {
        const bool body = field.index < kBodyFieldCount;
        if (field.copiesTo != kNoCopy && (!body || field.copiesTo < kBodyFieldCount))
            return false;
        if (!body && field.pick != None)
            return false;
    }
    return true;
}
static_assert(onlyBodyFieldsCopyAndPick());
static_assert(kFields[Field::Amount].tag[1] == u'5' && kFields[Field::Accountant].tag[1] == u'8');

}  // namespace

const std::array<ChequeFieldInfo, kPrintableFieldCount>& chequeFields() {
    return kFields;
}

int FieldIndexOf(QStringView identifier) {
    for (const ChequeFieldInfo& field : kFields)
        if (field.identifier == identifier)
            return field.index;
    return -1;
}

int fieldIndexByTag(QStringView tag) {
    for (const ChequeFieldInfo& field : kFields)
        if (field.tag == tag)
            return field.index;
    return -1;
}

QString issueDateColumn() {
    return kFields[Field::Year].historyColumn.toString();
}

QString stubDateColumn() {
    return kFields[Field::StubYear].historyColumn.toString();
}

QString userGuideText() {
    QFile file(QStringLiteral(":/userguide.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}
