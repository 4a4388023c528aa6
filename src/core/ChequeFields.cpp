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
constexpr std::array<ChequeFieldInfo, kPrintableFieldCount> kFields = {{
    {.index = 0,
     .tag = u"T0",
     .identifier = u"票身-年",
     .historyColumn = u"出票日期",
     .historyHeading = u"出票日期",
     .designText = u"贰零零伍",
     .maxLength = 4,
     .toolTip = kDateTip,
     .tabOrder = 0,
     .input = Date,
     .copiesTo = Field::StubYear,
     .pick = Calendar,
     .drawing = Line},
    {.index = 1,
     .tag = u"T1",
     .identifier = u"票身-月",
     .historyColumn = u"出票日期",
     .designText = u"壹拾壹",
     .maxLength = 3,
     .toolTip = kDateTip,
     .tabOrder = 1,
     .input = Date,
     .copiesTo = Field::StubMonth,
     .pick = Calendar,
     .drawing = Line},
    {.index = 2,
     .tag = u"T2",
     .identifier = u"票身-日",
     .historyColumn = u"出票日期",
     .designText = u"贰拾叁",
     .maxLength = 3,
     .toolTip = kDateTip,
     .tabOrder = 2,
     .input = Date,
     .copiesTo = Field::StubDay,
     .pick = Calendar,
     .drawing = Line},
    {.index = 3,
     .tag = u"T3",
     .identifier = u"票身-收款人",
     .historyColumn = u"收款人全称",
     .historyHeading = u"收款人",
     .placeholder = u"北京示例科技有限公司",
     .toolTip =
         u"使用方法：直接输入收款人公司名称,或双击鼠标从历史收款人中选择,点右键进行位置微调。",
     .tabOrder = 3,
     .input = Text,
     .copiesTo = Field::StubPayee,
     .pick = History,
     .drawing = Line,
     .paymentHeadings = {u"收款人全称", u"收款人"},
     .perPayment = true},
    {.index = 4,
     .tag = u"T4",
     .identifier = u"大写金额",
     .designText = u"大写金额不必输入",
     .toolTip = u"使用方法：大写金额由小写金额自动计算，不必输入,点右键进行位置微调。",
     .tabOrder = 6,
     .input = Derived,
     .pick = None,
     .drawing = Line,
     .perPayment = true},
    {.index = 5,
     .tag = u"T5",
     .identifier = u"小写金额",
     .historyColumn = u"金额",
     .historyHeading = u"金额",
     .maxLength = 12,
     .toolTip = u"使用方法：直接输入数字金额,或双击鼠标从历史记录中选取,点右键进行位置微调。",
     .tabOrder = 7,
     .input = Figures,
     .copiesTo = Field::StubAmount,
     .pick = History,
     .drawing = Boxes,
     .paymentHeadings = {u"金额"},
     .perPayment = true},
    {.index = 6,
     .tag = u"T6",
     .identifier = u"票身-用途",
     .historyColumn = u"用途",
     .historyHeading = u"用途",
     .toolTip = u"使用方法：直接输入用途,或双击鼠标从历史记录中选取,点右键进行位置微调。",
     .tabOrder = 8,
     .input = Text,
     .copiesTo = Field::StubPurpose,
     .pick = History,
     .drawing = Line,
     .paymentHeadings = {u"用途"},
     .perPayment = true},
    {.index = 7,
     .tag = u"T7",
     .identifier = u"账号",
     .historyColumn = u"账号",
     .historyHeading = u"账号",
     .toolTip = u"使用方法：直接输入银行账号,或双击鼠标从历史记录中选取,点右键进行位置微调。",
     .tabOrder = 5,
     .input = Text,
     .pick = History,
     .drawing = Line,
     .paymentHeadings = {u"账号"}},
    {.index = 8,
     .tag = u"T8",
     .identifier = u"密码",
     .historyColumn = u"密码",
     .historyHeading = u"密码",
     .toolTip = u"使用方法：直接输入支票密码,点右键进行位置微调。",
     .tabOrder = 9,
     .input = Text,
     .pick = None,
     .drawing = Line,
     .paymentHeadings = {u"密码"},
     .perPayment = true},
    {.index = 9,
     .tag = u"T9",
     .identifier = u"银行",
     .historyColumn = u"银行",
     .historyHeading = u"银行",
     .toolTip = u"使用方法：直接输入出票银行名称,或双击鼠标从历史记录中选取,点右键进行位置微调。",
     .tabOrder = 4,
     .input = Text,
     .pick = History,
     .drawing = Line,
     .paymentHeadings = {u"银行"}},
    {.index = 10,
     .tag = u"F0",
     .identifier = u"附加信息",
     .historyColumn = u"附加信息",
     .historyHeading = u"附加信息(票根)",
     .maxLength = 42,
     .toolTip = u"使用方法：直接输入附加信息内容,点右键进行位置微调。",
     .tabOrder = 10,
     .input = Text,
     .pick = None,
     .drawing = Lines,
     .paymentHeadings = {u"附加信息"},
     .perPayment = true},
    {.index = 11,
     .tag = u"F1",
     .identifier = u"票根-年",
     .historyColumn = u"日期(票根)",
     .historyHeading = u"日期(票根)",
     .maxLength = 4,
     .toolTip = kStubDateTip,
     .tabOrder = 11,
     .input = Digits,
     .pick = None,
     .drawing = Line},
    {.index = 12,
     .tag = u"F2",
     .identifier = u"票根-月",
     .historyColumn = u"日期(票根)",
     .maxLength = 2,
     .toolTip = kStubDateTip,
     .tabOrder = 12,
     .input = Digits,
     .pick = None,
     .drawing = Line},
    {.index = 13,
     .tag = u"F3",
     .identifier = u"票根-日",
     .historyColumn = u"日期(票根)",
     .maxLength = 2,
     .toolTip = kStubDateTip,
     .tabOrder = 13,
     .input = Digits,
     .pick = None,
     .drawing = Line},
    {.index = 14,
     .tag = u"F4",
     .identifier = u"票根-收款人",
     .historyColumn = u"收款人(票根)",
     .historyHeading = u"收款人(票根)",
     .maxLength = 10,
     .toolTip = u"使用方法：直接输入收款单位名称,点右键进行位置微调。",
     .tabOrder = 14,
     .input = Text,
     .pick = None,
     .drawing = Line,
     .paymentHeadings = {u"收款人(票根)"},
     .perPayment = true},
    {.index = 15,
     .tag = u"F5",
     .identifier = u"票根-金额",
     .historyColumn = u"金额(票根)",
     .historyHeading = u"金额(票根)",
     .maxLength = 12,
     .toolTip = u"使用方法：直接输入金额，票身修改金额时，此内容自动修改，保持与票身内容一致,"
                u"点右键进行位置微调。",
     .tabOrder = 15,
     .input = Text,
     .pick = None,
     .drawing = Line,
     .perPayment = true},
    {.index = 16,
     .tag = u"F6",
     .identifier = u"票根-用途",
     .historyColumn = u"用途(票根)",
     .historyHeading = u"用途(票根)",
     .maxLength = 10,
     .toolTip = u"使用方法：直接输入用途，票身修改用途时，此内容自动修改，保持与票身内容一致,"
                u"点右键进行位置微调。",
     .tabOrder = 16,
     .input = Text,
     .pick = None,
     .drawing = Line,
     .paymentHeadings = {u"用途(票根)"},
     .perPayment = true},
    {.index = 17,
     .tag = u"F7",
     .identifier = u"单位主管",
     .historyColumn = u"主管(票根)",
     .historyHeading = u"主管(票根)",
     .maxLength = 4,
     .toolTip = u"使用方法：直接输入单位主管名称,点右键进行位置微调。",
     .tabOrder = 17,
     .input = Text,
     .pick = None,
     .drawing = Line,
     .paymentHeadings = {u"主管", u"主管(票根)"}},
    {.index = 18,
     .tag = u"F8",
     .identifier = u"会计",
     .historyColumn = u"会计(票根)",
     .historyHeading = u"会计(票根)",
     .maxLength = 4,
     .toolTip = u"使用方法：直接输入单位会计名称,点右键进行位置微调。",
     .tabOrder = 18,
     .input = Text,
     .pick = None,
     .drawing = Line,
     .paymentHeadings = {u"会计", u"会计(票根)"}},
}};

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
