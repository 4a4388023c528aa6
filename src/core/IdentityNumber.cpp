#include "IdentityNumber.h"

#include <array>

#include "Document.h"

using namespace Qt::StringLiterals;

bool identityNumberChecks(QStringView number) {
    static constexpr std::array<int, 17> kWeights = {7, 9, 10, 5,  8, 4, 2, 1, 6,
                                                     3, 7, 9,  10, 5, 8, 4, 2};
    static constexpr QStringView kCheckCharacters = u"10X98765432";
    if (number.size() != 18)
        return false;
    int sum = 0;
    for (size_t i = 0; i < kWeights.size(); ++i) {
        const QChar c = number[qsizetype(i)];
        if (c < u'0' || c > u'9')
            return false;
        sum += (c.unicode() - u'0') * kWeights[i];
    }
    return number.back().toUpper() == kCheckCharacters[sum % 11];
}

QString identityNumberDoubt(const Document& document) {
    const DocumentKind& kind = document.kind();
    const int name = fieldByIdentifier(kind, u"身份证件名称");
    const int number = fieldByIdentifier(kind, u"身份证件号码");
    if (name < 0 || number < 0)
        return {};
    const QString given = document.text(number).trimmed();
    const QString card = document.text(name).trimmed();
    if (given.isEmpty() || !(card.isEmpty() || card.contains(u"身份证"_s)) ||
        identityNumberChecks(given))
        return {};
    return u"身份证件号码“%1”不符合居民身份证号码的规则（18位，末位为数字或X，校验码正确），"
           u"请核对。"_s.arg(given);
}
