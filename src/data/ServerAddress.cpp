#include "ServerAddress.h"

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

// A value that libpq reads as the one value it is. The driver joins the options with blanks
// and does not quote them, so a blank, a '=', a quote or a backslash would let a value end
// early and the rest be read as an option of its own (another user, a password); an empty
// value would take the next option's text for its own.
bool isPlainValue(const QString& value) {
    if (value.isEmpty())
        return false;
    for (const QChar c : value)
        if (c.isSpace() || !c.isPrint() || c == u'=' || c == u'\'' || c == u'"' || c == u'\\' ||
            c == u';')
            return false;
    return true;
}

}  // namespace

bool isServerAddress(const QString& text) {
    // A scheme of one letter is a Windows drive: C:\data\DATA.db, C:/data/DATA.db.
    static const QRegularExpression scheme(u"^[A-Za-z][A-Za-z0-9+.-]+:"_s);
    return scheme.match(text).hasMatch();
}

std::optional<ServerAddress> parseServerAddress(const QString& text, QString* reason) {
    const QUrl url(text, QUrl::StrictMode);
    ServerAddress address;
    address.host = url.host();
    address.user = url.userName();
    address.database = url.path().mid(1);
    address.port = url.port(5432);
    const QString scheme = url.scheme();
    const bool postgres = scheme.compare(u"postgresql"_s, Qt::CaseInsensitive) == 0 ||
                          scheme.compare(u"postgres"_s, Qt::CaseInsensitive) == 0;
    if (!url.isValid() || !postgres || address.host.isEmpty() || address.database.isEmpty() ||
        address.database.contains(u'/')) {
        *reason =
            u"not a database address postgresql://USER@HOST[:PORT]/DBNAME (a file whose "
            u"name starts with a word and a colon is written ./NAME)"_s;
        return std::nullopt;
    }
    if (!url.password().isEmpty()) {
        *reason = u"a password does not belong in the address: put it in ~/.pgpass or PGPASSWORD"_s;
        return std::nullopt;
    }
    // Only what concerns the connection is passed on; libpq would take a password here too.
    static const QStringList allowed = {u"sslmode"_s,          u"connect_timeout"_s,
                                        u"sslrootcert"_s,      u"sslcert"_s,
                                        u"sslkey"_s,           u"sslcrl"_s,
                                        u"application_name"_s, u"target_session_attrs"_s,
                                        u"keepalives_idle"_s,  u"keepalives_interval"_s,
                                        u"keepalives_count"_s, u"tcp_user_timeout"_s};
    QStringList options;
    QStringList given;
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (!allowed.contains(key)) {
            *reason = u"the database address option \""_s + key + u"\" is not supported"_s;
            return std::nullopt;
        }
        if (!isPlainValue(value)) {
            *reason = u"the database address option \""_s + key +
                      u"\" needs a value without blanks, '=', quotes or backslashes"_s;
            return std::nullopt;
        }
        options << key + u'=' + value;
        given << key;
    }
    // A server that cannot be reached is given up after 10 s; one that stops answering on an
    // open connection (a cable pulled) after about 35 s instead of the system's 15 minutes.
    const std::pair<QString, QString> defaults[] = {{u"connect_timeout"_s, u"10"_s},
                                                    {u"keepalives_idle"_s, u"20"_s},
                                                    {u"keepalives_interval"_s, u"5"_s},
                                                    {u"keepalives_count"_s, u"3"_s},
                                                    {u"tcp_user_timeout"_s, u"35000"_s}};
    for (const auto& [key, value] : defaults)
        if (!given.contains(key))
            options << key + u'=' + value;
    address.connectOptions = options.join(u';');
    return address;
}
