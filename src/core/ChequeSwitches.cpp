#include "ChequeSwitches.h"

#include "ChequeFields.h"

namespace {

constexpr std::array<SwitchInfo, 2> kFeedOptions = {{
    {.caption = u"横向打印", .toolTip = u"支票横向放进打印机打印。"},
    {.caption = u"纵向打印", .toolTip = u"支票纵向放入打印机打印。"},
}};

constexpr std::array<SwitchInfo, kCheckBoxCount> kCheckBoxes = {{
    {.caption = u"禁止日期打印",
     .toolTip = u"说明：由于出票日期不能为空，如不想打印出日期，请选此项。",
     .suppresses = Field::Year},
    {.caption = u"月", .toolTip = u"勾选后不打印月份", .suppresses = Field::Month},
    {.caption = u"日", .toolTip = u"勾选后不打印日", .suppresses = Field::Day},
    {.caption = u"收款人", .toolTip = u"勾选后不打印收款人", .suppresses = Field::Payee},
    {.caption = u"禁止大写金额打印",
     .toolTip = u"说明：由于大写金额不能为空，如不想打印大写金额，请选此项。",
     .suppresses = Field::AmountInCapitals},
    {.caption = u"禁止小写金额打印",
     .toolTip = u"说明：由于小写金额不能为空，如不想打印小写金额，请选此项。",
     .suppresses = Field::Amount},
    {.caption = u"用途", .toolTip = u"勾选后不打印用途", .suppresses = Field::Purpose},
    {.caption = u"连同票根一起打印",
     .toolTip = u"说明：选中时，支票和票根一同打印（需要A3或A3以上幅面打印机才能支持），"
                u"未选则只打印票身（打印前请将票根撕下）。"},
    {.caption = u"进纸器两边向中间收缩",
     .toolTip = u"如您的打印机进纸器由两边向中间收缩的（一般为激光打印机），请按下此钮，"
                u"否则弹起此按钮。"},
}};

constexpr std::array<EndorsementParameterInfo, kEndorsementParameterCount> kEndorsement = {{
    {.label = u"X位置(毫米)：", .designValue = u"14"},
    {.label = u"Y位置(毫米)：", .designValue = u"22"},
    {.label = u"宽度(毫米)：", .designValue = u"63"},
    {.label = u"行距(毫米)：", .designValue = u"0"},
    {.label = u"字号：", .designValue = u"10"},
}};

}  // namespace

const std::array<SwitchInfo, 2>& feedOptions() {
    return kFeedOptions;
}
const std::array<SwitchInfo, kCheckBoxCount>& checkBoxes() {
    return kCheckBoxes;
}
int suppressingSwitch(int field) {
    for (size_t i = 0; i < kCheckBoxes.size(); ++i)
        if (kCheckBoxes[i].suppresses == field)
            return int(i);
    return -1;
}

const std::array<EndorsementParameterInfo, kEndorsementParameterCount>& endorsementParameters() {
    return kEndorsement;
}
