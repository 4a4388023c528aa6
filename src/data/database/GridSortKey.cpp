#include "GridSortKey.h"

#include <algorithm>
#include <optional>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVarLengthArray>
#include <QVariant>

#include <sqlite3.h>

#include "DriverHandle.h"

using namespace Qt::StringLiterals;

namespace {

// The first byte of a key: which kind of value it is, in sort order.
constexpr char kNegative = 1, kZero = 2, kPositive = 3, kText = 4;
// A number's decimal exponent is stored biased, in 8 big-endian bytes; an absurd exponent
// ("1e99999999999999999999") is cut to ±10^15, where no real figure reaches.
constexpr qint64 kExponentBias = qint64(1) << 62;
constexpr qint64 kExponentLimit = 1'000'000'000'000'000;

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The key of a text that reads as a number (blanks around it aside: an optional sign, digits
// with at most one decimal point, an optional exponent), as 0.d1d2d3… × 10^e with d1 ≠ 0.
std::optional<QByteArray> numberKey(QStringView text) {
    QString figures;  // a figure-form amount without its ￥ and its thousands separators
    text = text.trimmed();
    if (text.startsWith(u'￥') || text.startsWith(u'¥')) {
        figures = text.sliced(1).toString().remove(u',');
        text = QStringView(figures).trimmed();
    }
    qsizetype i = 0;
    const qsizetype n = text.size();
    const bool negative = i < n && text[i] == u'-';
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    QVarLengthArray<char, 32> digits;
    qsizetype point = -1;  // digits before the decimal point
    for (; i < n; ++i) {
        if (isAsciiDigit(text[i]))
            digits.push_back(char(text[i].unicode() - u'0'));
        else if (text[i] == u'.' && point < 0)
            point = qsizetype(digits.size());
        else
            break;
    }
    if (digits.empty())
        return std::nullopt;
    if (point < 0)
        point = qsizetype(digits.size());
    qint64 exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        const bool down = i < n && text[i] == u'-';
        if (i < n && (text[i] == u'-' || text[i] == u'+'))
            ++i;
        const qsizetype from = i;
        for (; i < n && isAsciiDigit(text[i]); ++i)
            exponent = qMin(exponent * 10 + (text[i].unicode() - u'0'), kExponentLimit);
        if (i == from)
            return std::nullopt;
        if (down)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;
    qsizetype lead = 0;
    while (lead < digits.size() && digits[lead] == 0)
        ++lead;
    if (lead == digits.size())  // zero has no sign
        return QByteArray(1, kZero);
    qsizetype end = digits.size();
    while (digits[end - 1] == 0)
        --end;
    // A negative number's bytes run the other way: a larger exponent or digit sorts first,
    // and its end mark sorts after every digit.
    const qint64 e = exponent + point - qint64(lead);
    const quint64 biased = quint64(negative ? kExponentBias - e : kExponentBias + e);
    QByteArray key;
    key.reserve(qsizetype(10 + end - lead));
    key.append(negative ? kNegative : kPositive);
    for (int shift = 56; shift >= 0; shift -= 8)
        key.append(char(biased >> shift));
    for (qsizetype k = lead; k < end; ++k)
        key.append(char(negative ? 11 - digits[k] : digits[k] + 1));
    key.append(char(negative ? 12 : 0));
    return key;
}

QByteArray textKey(const char* utf8, qsizetype size) {
    QByteArray key;
    key.reserve(size + 1);
    key.append(kText);
    key.append(utf8, size);
    return key;
}

// Whether a text that starts with this UTF-8 sequence could read as a number: it starts with
// a blank, a sign, a point, a digit or ￥. Most texts (a payee's name) are told apart here,
// without being decoded.
bool mayBeNumber(const unsigned char* utf8, int size) {
    if (size == 0)
        return false;
    const unsigned char c = utf8[0];
    if (c < 0x80)
        return (c >= '\t' && c <= '\r') || c == ' ' || c == '+' || c == '-' || c == '.' ||
               (c >= '0' && c <= '9');
    const QString first = QString::fromUtf8(reinterpret_cast<const char*>(utf8), qMin(size, 4));
    return first.isEmpty() || first[0].isSpace() || first[0] == u'￥' || first[0] == u'¥';
}

// The key of a text that may be a number, read from UTF-8; a short ASCII text (an account
// number) without a QString of its own, as a column of a million of them is sorted.
QByteArray mayBeNumberKey(const unsigned char* utf8, int size) {
    constexpr int kShort = 64;
    if (size <= kShort &&
        std::all_of(utf8, utf8 + size, [](unsigned char c) { return c < 0x80; })) {
        char16_t text[kShort];
        std::copy(utf8, utf8 + size, text);
        if (std::optional<QByteArray> key = numberKey(QStringView(text, size)))
            return *key;
        return textKey(reinterpret_cast<const char*>(utf8), size);
    }
    return gridSortKey(QString::fromUtf8(reinterpret_cast<const char*>(utf8), size));
}

void sqlGridSortKey(sqlite3_context* context, int, sqlite3_value** args) {
    const QByteArray key = gridSortKeyOfUtf8(
        reinterpret_cast<const char*>(sqlite3_value_text(args[0])), sqlite3_value_bytes(args[0]));
    sqlite3_result_blob(context, key.constData(), int(key.size()), SQLITE_TRANSIENT);
}

}  // namespace

QByteArray gridSortKey(QStringView text) {
    if (std::optional<QByteArray> key = numberKey(text))
        return *key;
    const QByteArray utf8 = text.toUtf8();
    return textKey(utf8.constData(), utf8.size());
}

QByteArray gridSortKeyOfUtf8(const char* text, int size) {
    const auto* utf8 = reinterpret_cast<const unsigned char*>(text);
    if (!utf8)
        return QByteArray(1, kText);
    return mayBeNumber(utf8, size) ? mayBeNumberKey(utf8, size) : textKey(text, size);
}

bool isGridSortKeyOfText(const QByteArray& key) {
    return !key.isEmpty() && key[0] == kText;
}

QStringList gridSortKeyNumberCandidates(const QString& column) {
    // Everything below ':' (ASCII blanks, signs, the point, the digits, the empty text), then
    // each other character a number may start with, up to the next one.
    QStringList terms = {column + u" IS NULL"_s, column + u"<':'"_s};
    const std::pair<char32_t, char32_t> starts[] = {
        {0x85, 0x85},     {0xA0, 0xA0},     {0xA5, 0xA5} /* ¥ */, {0x1680, 0x1680},
        {0x2000, 0x200A}, {0x2028, 0x2029}, {0x202F, 0x202F},     {0x205F, 0x205F},
        {0x3000, 0x3000}, {0xFFE5, 0xFFE5} /* ￥ */};
    for (const auto& [from, to] : starts) {
        const char32_t next = to + 1;
        terms << column + u">='"_s + QString::fromUcs4(&from, 1) + u"' AND "_s + column + u"<'"_s +
                     QString::fromUcs4(&next, 1) + u'\'';
    }
    return terms;
}

bool registerGridSortKey(QSqlDatabase& db) {
    sqlite3* connection = driverHandle<sqlite3>(db, "sqlite3*");
    return connection && sqlite3_create_function_v2(
                             connection, "grid_sort_key", 1,
                             SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                             sqlGridSortKey, nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString serverGridSortKeyFunction() {
    // The blanks are those QChar::isSpace knows; the digits, end marks and exponent bytes are
    // those of numberKey above.
    return uR"SQL(CREATE OR REPLACE FUNCTION grid_sort_key(t text) RETURNS bytea
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  blanks constant text := E'\t\n\x0b\f\r \u0085\u00a0\u1680\u2000\u2001\u2002\u2003\u2004'
    || E'\u2005\u2006\u2007\u2008\u2009\u200a\u2028\u2029\u202f\u205f\u3000';
  s text := btrim(coalesce(t, ''), blanks);
  m text[];
  digits text;
  point bigint;
  lead bigint;
  x bigint := 0;
  e bigint;
BEGIN
  IF left(s, 1) IN ('￥', '¥') THEN
    s := btrim(replace(substr(s, 2), ',', ''), blanks);
  END IF;
  m := regexp_match(s, '^([-+]?)([0-9]*)(\.?)([0-9]*)(?:[eE]([-+]?)([0-9]+))?$');
  IF m IS NULL OR m[2] || m[4] = '' THEN
    RETURN '\x04'::bytea || convert_to(coalesce(t, ''), 'UTF8');
  END IF;
  digits := m[2] || m[4];
  point := CASE WHEN m[3] = '.' THEN length(m[2]) ELSE length(digits) END;
  IF m[6] IS NOT NULL THEN
    x := CASE WHEN length(ltrim(m[6], '0')) > 16 THEN 1000000000000000
              ELSE least(coalesce(nullif(ltrim(m[6], '0'), '')::bigint, 0), 1000000000000000) END;
    IF m[5] = '-' THEN x := -x; END IF;
  END IF;
  lead := length(digits) - length(ltrim(digits, '0'));
  digits := rtrim(ltrim(digits, '0'), '0');
  IF digits = '' THEN
    RETURN '\x02'::bytea;
  END IF;
  e := x + point - lead;
  IF m[1] = '-' THEN
    RETURN '\x01'::bytea || int8send(4611686018427387904 - e)
      || convert_to(translate(digits, '0123456789', chr(11) || chr(10) || chr(9) || chr(8)
           || chr(7) || chr(6) || chr(5) || chr(4) || chr(3) || chr(2)), 'UTF8') || '\x0c'::bytea;
  END IF;
  RETURN '\x03'::bytea || int8send(4611686018427387904 + e)
    || convert_to(translate(digits, '0123456789', chr(1) || chr(2) || chr(3) || chr(4) || chr(5)
         || chr(6) || chr(7) || chr(8) || chr(9) || chr(10)), 'UTF8') || '\x00'::bytea;
END $$)SQL"_s;
}
