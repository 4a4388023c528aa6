#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

class Prompts;

// The program's database: a SQLite file, or a shared database on a PostgreSQL server, holding
// the print formats, the history and the print journal. One connection stays open for the
// program's life. Statements are fixed texts with bound values.
class Database final {
public:
    using Names =
        std::function<std::optional<QStringList>(const QString& sql, const QVariantList& values)>;
    explicit Database(Prompts& prompts);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // DATA.db beside the executable when there is one (a portable install), otherwise DATA.db
    // in the user's data folder.
    static QString defaultPath();

    // Opens the file; a missing or empty file is created (permissions 0600) with the schema
    // and the shipped default format. A server address (postgresql://…) connects to a shared
    // database instead, whose tables must already be there. On failure shows
    // "无法建立数据库连接！" with a second line naming the file (or the address, without a
    // password) and the reason, and returns false; the file is never deleted.
    bool open(const QString& location);
    // As open(), but on a server creates the tables and the default format when they are
    // missing, or brings older ones up to date: what an administrator does once.
    bool initialize(const QString& location);
    // Whether the database is a shared one on a server.
    bool isServer() const { return m_server; }
    bool isOpen() const { return m_db.isOpen(); }
    const QString& path() const { return m_path; }
    // Whose last input and current format are read and written: the database login on a
    // server, the system login for a file.
    const QString& userName() const { return m_user; }

    // A SELECT, positioned before its first row and read forwards only. On failure shows
    // "数据库打开错误(" + sql + ")！" and returns nothing.
    std::optional<QSqlQuery> select(const QString& sql, const QVariantList& values = {});
    // How long a statement on a file waits for another program's lock before it fails (5 s
    // unless set); from the next statement on.
    void setBusyTimeout(int milliseconds);
    // In a file, a number that changes whenever another connection (another program or
    // window) commits a change to it, and only then; nothing on a server, which keeps no such
    // number, or when it cannot be read.
    std::optional<qint64> othersChangeCounter();
    // The rows of a SELECT without values, read past Qt (a million values through QSqlQuery
    // take seconds): `row` gets each row's first column as an integer and its second, when
    // there is one, as UTF-8 (null for a missing value). On failure shows the message of
    // select() and returns false; `row` may have had some rows by then.
    bool readIdRows(const QString& sql,
                    const std::function<void(qint64 id, const char* text, int size)>& row) {
        return readIdRows(sql, {}, row);
    }
    // The same with values for its placeholders (?): texts, numbers or nulls.
    bool readIdRows(const QString& sql, const QVariantList& values,
                    const std::function<void(qint64 id, const char* text, int size)>& row);
    // The first column of every row, as integers (a list of IDs); nothing on failure.
    std::optional<std::vector<qint64>> selectIds(const QString& sql,
                                                 const QVariantList& values = {});
    // A statement that returns no rows; one without values is not prepared (a server refuses
    // to prepare CREATE, SET and the like). On failure returns false with the reason on stderr;
    // the caller decides what the user sees.
    bool execute(const QString& sql, const QVariantList& values = {});
    // An UPDATE or DELETE with values: how many rows it changed. Nothing on failure, with the
    // reason on stderr.
    std::optional<int> changeRows(const QString& sql, const QVariantList& values);
    // An INSERT that gives back the new row's ID: the statement is run with " RETURNING ID"
    // appended. Nothing on failure, with the reason on stderr.
    std::optional<qint64> insertReturningId(const QString& sql, const QVariantList& values);
    // Column name in lower case -> declared type (as written in the schema, or as the server
    // names it) of one of the program's tables.
    QHash<QString, QString> declaredTypes(const QString& table);
    // The message for a statement that could not be run; when another program held the
    // database, it says so in a second line.
    void showStatementError(const QString& sql);
    // Where the database's messages go.
    Prompts& prompts() { return m_prompts; }
    // In a file: what is wrong with the print journal's structure (not a table, a column
    // missing, its triggers changed or others added, a view over it or the history), in
    // short Chinese; empty when it is as the program made it. A server keeps its own rules.
    QString journalTampering();
    // The same for the cheque register: its tables, columns and triggers, no row deleted (a
    // file's IDs have no gap), no number left without its book, and each printed number's
    // history row, while kept, naming that number, payee and amount.
    QString registerTampering();
    // Whether the last failure was another program holding the database (the busy timeout
    // ran out), which may pass when tried again.
    bool wasBusy() const { return m_busy; }
    // How many statements were run, for the benchmarks.
    qint64 statementsRun() const { return m_statementsRun; }
    // Hands each statement about to run, with its values, to `watch` (for the tests of the
    // statements' query plans); an empty function stops it.
    using StatementWatch = std::function<void(const QString& sql, const QVariantList& values)>;
    void watchStatements(StatementWatch watch) { m_watch = std::move(watch); }

    // Runs `work` as one transaction, false when it returns false (after showing why) or when
    // the transaction cannot begin or commit (shown here). Its BEGIN connects again to a server
    // that went away. On a server, a transaction that failed for a passing reason (a
    // serialization failure, a deadlock) runs again, a few times, after a short random wait;
    // only the last failure's message is shown. Inside another transaction it is part of
    // that one.
    bool atomically(const std::function<bool()>& work);

    // Inside a transaction, waits until no other program's transaction holds the lock of
    // `name` in `space` (one kind of named thing), and holds it to this one's end: two clerks
    // replacing the rows of one format then do it one after the other.
    bool lockName(int space, const QString& name);

    // A cheque number held by this program's print while its cheque is printing, so that no
    // one voids or settles it from under the print: on a server a session lock of this
    // connection, in a file a lock of this program on a side file beside it (DATA.db-printing).
    // Either goes with the program, however it ends. False, after a line on stderr, when the
    // lock cannot be taken.
    bool holdNumber(qint64 numberId);
    void releaseNumber(qint64 numberId);
    // Whether a print holds the number now, this program's or another's; nothing when that
    // cannot be known (the side file cannot be read), which a caller takes as held.
    std::optional<bool> heldByAPrint(qint64 numberId);

    // Transactions nest: only the outermost one reaches the database, and a rollback anywhere
    // inside makes the outermost one roll back too.
    bool transaction();
    bool commit();
    void rollback();

private:
    bool openAndPrepare(const QString& location, bool initialize);
    void useDriver(const QString& driver);
    bool openFile(const QString& path, QString& reason);
    bool connectServer(const QString& location, QString& reason);
    bool createSchema(QString& reason);
    int serverSchemaVersion();
    bool checkServerSchema(QString& reason);
    bool createServerSchema(QString& reason);
    struct StatementRun;
    // Brings the tables from `version` to the program's, step by step.
    bool upgradeFrom(int version, StatementRun& run, QString& reason);
    bool moveUserState(QString& reason);
    bool addShippedFormatsOfNewKinds(StatementRun& run);
    // In the user's own file, puts back a journal trigger that was deleted, and says so.
    void restoreJournalTriggers();
    bool refuseNewerSchema(int version, QString& reason);
    // Reads the first column of a query's rows as texts; nothing when it could not be read.
    Names namesReader();
    // Runs one statement; outside a transaction, a lost connection to a server is made again
    // once and a read run again. Nothing on failure, with the reason on stderr.
    std::optional<QSqlQuery> run(const QString& sql, const QVariantList& values, bool prepared);
    std::optional<QSqlQuery> runStatement(const QString& sql, const QVariantList& values,
                                          bool prepared);
    static bool isPassingFailure(const QString& code);
    static bool isRead(const QString& sql);
    bool begin();
    void noteFailure(const QSqlError& error);
    bool runTransaction(const std::function<bool()>& work);
    bool reconnectAfterLoss();
    // The side file of the holds, opened once; false when it cannot be (created).
    bool openHoldsFile(bool create);
    // A server's session locks went with the lost connection: this print takes them again.
    void holdAgainAfterReconnect();
    void closeHolds();
    bool readFileRows(const QString& sql, const QVariantList& values,
                      const std::function<void(qint64, const char*, int)>& row);
    bool readServerRows(const QString& sql, const QVariantList& values,
                        const std::function<void(qint64, const char*, int)>& row);

    Prompts& m_prompts;
    QString m_connectionName;
    QSqlDatabase m_db;
    QString m_path;
    QString m_user;
    bool m_newerFile = false;     // made by a newer version of the program
    bool m_failureShown = false;  // the failure to open was explained to the user already
    bool m_server = false;
    bool m_busy = false;  // the last failure was another program holding the database
    qint64 m_statementsRun = 0;
    StatementWatch m_watch;
    int m_busyTimeout = 5000;  // ms
    int m_transactionDepth = 0;
    bool m_transactionFailed = false;
    bool m_retryable = false;           // the last failure may pass when the transaction runs again
    bool m_quietRetry = false;          // and then it will
    QElapsedTimer m_reconnectTimedOut;  // since an attempt to connect again waited in vain
    int m_holdsFile = -1;               // the side file of a file's holds
    QList<qint64> m_heldNumbers;
};

// A table or column name as a statement writes it: as it is when both engines read it alike
// (letters, digits and _; a server folds ASCII letters to lower case, the same way in every
// statement), in double quotes otherwise (日期(票根)).
QString sqlName(const QString& name);

// All statements between construction and commit() take effect together or not at all.
class Transaction final {
public:
    explicit Transaction(Database& db) : m_db(db), m_active(db.transaction()) {}
    ~Transaction() {
        if (m_active)
            m_db.rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool active() const { return m_active; }
    bool commit() {
        if (!m_active)
            return false;
        m_active = false;
        return m_db.commit();
    }

private:
    Database& m_db;
    bool m_active;
};

// The LIKE pattern (with ESCAPE '\') that finds `text` anywhere: its own %, _ and \ stand
// for themselves.
QString likePatternContaining(const QString& text);
