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
    const QString scheme = url.scheme();
    const bool postgres = scheme.compare(u"postgresql"_s, Qt::CaseInsensitive) == 0 ||
                          scheme.compare(u"postgres"_s, Qt::CaseInsensitive) == 0;
    const QUrlQuery query(url);
    const bool hostInQuery = query.hasQueryItem(u"host"_s);
    if (!url.isValid() || !postgres || (address.host.isEmpty() && !hostInQuery) ||
        address.database.isEmpty() || address.database.contains(u'/')) {
        *reason =
            u"not a database address postgresql://USER@HOST[:PORT]/DBNAME or "
            u"postgresql://USER@/DBNAME?host=SOCKET_FOLDER (a file whose name starts with a word "
            u"and a colon is written ./NAME)"_s;
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
    std::optional<int> port = url.port() >= 0 ? std::optional<int>(url.port()) : std::nullopt;
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        const bool place = key == u"host"_s || key == u"port"_s;
        if (!place && !allowed.contains(key)) {
            *reason = u"the database address option \""_s + key + u"\" is not supported"_s;
            return std::nullopt;
        }
        if (!isPlainValue(value)) {
            *reason = u"the database address option \""_s + key +
                      u"\" needs a value without blanks, '=', quotes or backslashes"_s;
            return std::nullopt;
        }
        // As libpq reads them, the server's host (a name, an address or the folder of a local
        // server's socket) and port may stand in the options instead of before the database;
        // given twice, which one is meant is not known.
        if (key == u"host"_s) {
            if (!address.host.isEmpty()) {
                *reason = u"the database address names its host more than once"_s;
                return std::nullopt;
            }
            address.host = value;
            continue;
        }
        if (key == u"port"_s) {
            if (port) {
                *reason = u"the database address names its port more than once"_s;
                return std::nullopt;
            }
            bool number = false;
            const int n = value.toInt(&number);
            if (!number || n < 1 || n > 65535) {
                *reason = u"the database address option \"port\" needs a port number"_s;
                return std::nullopt;
            }
            port = n;
            continue;
        }
        options << key + u'=' + value;
        given << key;
    }
    address.port = port.value_or(5432);
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

QString shownDatabaseLocation(const QString& location) {
    if (!isServerAddress(location))
        return location;
    const QString hidden = u"***"_s;
    QString shown = location;
    const qsizetype start = shown.indexOf(u"://"_s);
    qsizetype rest = start < 0 ? 0 : start + 3;
    // A password in the user part runs to the last '@': it may hold a '/', a '?' or an '@' of
    // its own. A ':' after the first '@' is the port's.
    const qsizetype colon = shown.indexOf(u':', rest);
    if (start >= 0 && colon >= 0 && colon < shown.indexOf(u'@', rest)) {
        shown.replace(colon + 1, shown.lastIndexOf(u'@') - colon - 1, hidden);
        rest = colon + 1 + hidden.size();
    }
    // An option named "password", or one whose value smuggles one in, however it is encoded.
    const qsizetype query = shown.indexOf(u'?', rest);
    if (query < 0)
        return shown;
    QStringList options = shown.mid(query + 1).split(u'&');
    for (QString& option : options) {
        const qsizetype equals = option.indexOf(u'=');
        if (equals >= 0 &&
            QUrl::fromPercentEncoding(option.toUtf8()).contains(u"password"_s, Qt::CaseInsensitive))
            option = option.left(equals + 1) + hidden;
    }
    return shown.left(query + 1) + options.join(u'&');
}
