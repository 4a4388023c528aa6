#include <algorithm>

#include "DocumentKind.h"

// The cash cheque (现金支票): the transfer cheque's body and stub, with the same fields, tags
// and identifiers, and a back printed as a job of its own: the payee's seal (a blank) and the
// identity document of whoever draws the cash.

namespace {

using enum FieldInput;
using enum FieldPick;
using enum FieldDrawing;

constexpr int kBackPart = 2;
constexpr int kBackFieldCount = 3;
constexpr int kFieldCount = kPrintableFieldCount + kBackFieldCount;

constexpr std::array<ChequeFieldInfo, kBackFieldCount> kBackFields = {{
    {.index = kPrintableFieldCount,
     .tag = u"B0",
     .identifier = u"身份证件名称",
     .historyColumn = u"身份证件名称",
     .historyHeading = u"身份证件名称",
     .designText = u"身份证",
     .maxLength = 10,
     .toolTip = u"使用方法：直接输入收款人的身份证件名称，默认为身份证，点右键进行位置微调。",
     .tabOrder = kPrintableFieldCount,
     .input = Text,
     .pick = History,
     .drawing = Line,
     .paymentHeadings = {u"证件名称"},
     .part = kBackPart},
    {.index = kPrintableFieldCount + 1,
     .tag = u"B1",
     .identifier = u"发证机关",
     .historyColumn = u"发证机关",
     .historyHeading = u"发证机关",
     .placeholder = u"北京市公安局海淀分局",
     .maxLength = 20,
     .toolTip = u"使用方法：直接输入证件的发证机关，点右键进行位置微调。",
     .tabOrder = kPrintableFieldCount + 1,
     .input = Text,
     .pick = History,
     .drawing = Line,
     .perPayment = true,
     .part = kBackPart},
    {.index = kPrintableFieldCount + 2,
     .tag = u"B2",
     .identifier = u"身份证件号码",
     .historyColumn = u"身份证件号码",
     .historyHeading = u"身份证件号码",
     .placeholder = u"11010519491231002X",
     .maxLength = 20,
     .toolTip =
         u"使用方法：直接输入证件号码，身份证号码不符合校验规则时会提示，点右键进行位置微调。",
     .tabOrder = kPrintableFieldCount + 2,
     .input = Text,
     .pick = None,
     .drawing = Line,
     .paymentHeadings = {u"证件号码", u"身份证号码"},
     .perPayment = true,
     .part = kBackPart},
}};

constexpr DocumentPart kParts[] = {
    {.name = u"body", .side = PartSide::Front, .shownBySwitch = -1},
    {.name = u"stub", .side = PartSide::Front, .shownBySwitch = Switch::PrintStub},
    {.name = u"back", .side = PartSide::Back, .shownBySwitch = -1},
};

const std::array<ChequeFieldInfo, kFieldCount>& cashChequeFields() {
    static const std::array<ChequeFieldInfo, kFieldCount> fields = [] {
        std::array<ChequeFieldInfo, kFieldCount> all{};
        std::ranges::copy(chequeFields(), all.begin());
        std::ranges::copy(kBackFields, all.begin() + kPrintableFieldCount);
        return all;
    }();
    return fields;
}

}  // namespace

const DocumentKind& cashCheque() {
    static const DocumentKind kind{
        .id = u"现金支票",
        .journalJob = u"现金支票",
        .backJob = u"现金支票背面",
        .parts = kParts,
        .fields = cashChequeFields(),
        .switches = checkBoxes(),
        .geometry = u":/kinds/cash-cheque/geometry.json",
        .shippedFormat = u"标准现金支票",
        .shippedFormatRows = u":/kinds/cash-cheque/default-format.sql",
        .settingsKey = u"现金支票/选项",
        .numbered = true,
        .endorsable = false,
        .filledFrom = {},
    };
    return kind;
}
