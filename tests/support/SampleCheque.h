#pragma once

#include <utility>

#include "Document.h"

// A cheque filled in as the window holds it once every field was left: the issue date in
// capitals on the body and in figures on the stub, the amount in figures and in capitals, every
// other field with a text of its own. Its date is not the tests' today (TestClock.h), so that
// a date the program fills in is told apart from a stored one.
inline Document sampleCheque() {
    using namespace Qt::StringLiterals;
    const std::pair<int, QString> texts[] = {
        {Field::Year, u"贰零零玖"_s},
        {Field::Month, u"零伍"_s},
        {Field::Day, u"壹拾玖"_s},
        {Field::Payee, u"北京示例科技有限公司"_s},
        {Field::AmountInCapitals, u"壹仟贰佰叁拾肆元伍角陆分"_s},
        {Field::Amount, u"￥1234.56"_s},
        {Field::Purpose, u"货款"_s},
        {Field::Account, u"6222020200001234567"_s},
        {Field::Password, u"1234567890123456"_s},
        {Field::Bank, u"中国工商银行北京分行"_s},
        {Field::AdditionalInfo, u"附加信息测试这是一段较长的附加说明文字"_s},
        {Field::StubYear, u"2009"_s},
        {Field::StubMonth, u"5"_s},
        {Field::StubDay, u"19"_s},
        {Field::StubPayee, u"北京示例科技"_s},
        {Field::StubAmount, u"￥1234.56"_s},
        {Field::StubPurpose, u"货款"_s},
        {Field::Supervisor, u"张三"_s},
        {Field::Accountant, u"李四"_s},
    };
    Document cheque;
    for (const auto& [field, text] : texts)
        cheque.setText(field, text);
    return cheque;
}
