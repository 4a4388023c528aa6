#include "VerbTable.h"

#include "CommandLine.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

QStringList Verb::optionNames() const {
    QStringList names{u"--database"_s};
    for (const QStringList& group : options)
        names += group;
    return names;
}

QString VerbOption::synopsis() const {
    return valueName.isEmpty() ? name : name + u' ' + valueName;
}

QStringList Verb::synopsis() const {
    QStringList words;
    // Alternatives of the arguments may each go on a line of their own, whole.
    if (takesInputs()) {
        const QStringList alternatives = arguments.split(u" | "_s);
        for (qsizetype i = 0; i < alternatives.size(); ++i)
            words << alternatives[i] + (i + 1 < alternatives.size() ? u" |"_s : QString());
    }
    for (const QStringList& group : options) {
        QStringList alternatives;
        bool repeatable = false;
        for (const QString& optionName : group) {
            const VerbOption* option = findOption(optionName);
            alternatives << (switches.contains(optionName) ? optionName : option->synopsis());
            repeatable = repeatable || option->repeatable;
        }
        if (group.size() == 1 && required.contains(group.first()))
            words << alternatives.first();
        else
            words << u'[' + alternatives.join(u" | "_s) + u']' +
                         (repeatable ? u"..."_s : QString());
    }
    return words;
}

const std::vector<Verb>& verbTable() {
    static const std::vector<Verb> table = {
        {u"amount"_s,
         u"[TEXT...]"_s,
         {},
         u"the figure form of each amount, a tab, the amount in capitals; one amount per line "
         u"from standard input when no TEXT is given"_s,
         amountVerb},
        {u"date"_s,
         u"[DIGITS...]"_s,
         {},
         u"the capital form of each date part (year, month or day); one per line from standard "
         u"input when no DIGITS are given"_s,
         dateVerb},
        {u"formats"_s,
         {},
         {{u"--kind"_s}},
         u"the print formats, one per line; the current one ends in a tab and *"_s,
         formatsVerb},
        {u"format"_s,
         u"export NAME FILE | import FILE | show NAME | background NAME [IMAGE]"_s,
         {{u"--kind"_s},
          {u"--name"_s},
          {u"--force"_s},
          {u"--with-background"_s},
          {u"--dpi"_s, u"--remove"_s}},
         u"a print format as a file to carry to another database: export writes format NAME into "
         u"FILE (JSON, every length in mm from the paper's top-left edge, never a printer's fit); "
         u"import stores the file's format, under --name NAME or its own name, all its rows or "
         u"none, an existing name only with --force; a file over 1 MB, of a newer version, of "
         u"an unknown kind, with a field missing, given twice or of another kind, or a number "
         u"that is not finite or lies off the paper, is refused with the reason; show writes the "
         u"format's rows as the format tab shows them, tab-separated; export --with-background "
         u"puts the format's background in the file too; background sets a scan of the blank "
         u"form (a PNG or JPEG file of at most 700 KB) that the window's picture and the "
         u"preview draw faintly behind the fields and that never prints: placed by --dpi N "
         u"(its top-left at the form's), or stretched over the whole form without it; "
         u"--remove takes it away"_s,
         formatVerb},
        {u"init-database"_s,
         {},
         {},
         u"create the tables and the shipped format in a shared database (--database "
         u"postgresql://USER@HOST[:PORT]/DBNAME), or bring older ones up to date; run once by an "
         u"administrator"_s,
         initDatabaseVerb},
        {u"history"_s,
         {},
         {{u"--kind"_s}},
         u"the history as the grid shows it, each line led by the row's ID (the ID that print "
         u"--history takes): the headings, then one line per cheque, cells separated by tabs "
         u"(tabs and line breaks inside a cell shown as blanks)"_s,
         historyVerb},
        {u"journal"_s,
         {},
         {{u"--from"_s}, {u"--to"_s}},
         u"every print attempt, newest first, as tab-separated lines (the password is never in "
         u"it); --from DATE and --to DATE (YYYY-MM-DD) limit it to those days"_s,
         journalVerb},
        {u"batch"_s,
         u"FILE"_s,
         {{u"--check"_s},
          {u"--pdf"_s, u"--printer"_s},
          {u"--format"_s},
          {u"--save"_s},
          {u"--allow-date"_s},
          {u"--back"_s},
          {u"--kind"_s}},
         u"print a payment list (CSV, or the first visible sheet of an .xlsx; the history's "
         u"headings or the fields' identifiers), one cheque per row in one print job, each row "
         u"starting from the last input (but with the password of its own 密码 column or none); "
         u"every row is checked first as the print command would, and while one is bad the "
         u"report lists it (line, column, value, reason), nothing prints and the exit status is "
         u"1; --check only checks; --save keeps every cheque in the history; --printer and --pdf "
         u"as for print; rows of an account with a cheque book take consecutive numbers of the "
         u"book, written on standard output; rows dated later than today or more than ten days "
         u"before it are printed only with --allow-date; --kind 进账单 prints a deposit slip per "
         u"row, a row's empty 收款人账号 and 收款人开户银行 taken from the book of "
         u"counterparties under its 收款人全称; --kind 现金支票 --back prints the backs of the "
         u"list's cash cheques, in the list's order, as one job after the fronts (columns "
         u"身份证件名称, 发证机关, 身份证件号码)"_s,
         batchVerb},
        {u"export"_s,
         u"FILE"_s,
         {{u"--force"_s}, {u"--kind"_s}},
         u"write the history grid to FILE: CSV when the name ends in csv, otherwise an .xlsx "
         u"workbook; an existing FILE needs --force"_s,
         exportVerb},
        {u"print"_s,
         {},
         {{u"--pdf"_s, u"--printer"_s},
          {u"--format"_s},
          {u"--history"_s, u"--from-history"_s},
          {u"--field"_s},
          {u"--flags"_s},
          {u"--save"_s},
          {u"--allow-overflow"_s},
          {u"--allow-date"_s},
          {u"--number"_s, u"--back"_s},
          {u"--kind"_s}},
         u"print the cheque: the last input with today's date, or --history ID with today's "
         u"date; --field KEY=TEXT (a tag such as T3 or an identifier such as 票身-收款人) as if "
         u"typed into the field; --flags TEXT the option switches (default: the stored ones); "
         u"--save adds the cheque to the history dated today; a field that does not fit on the "
         u"cheque stops the print unless --allow-overflow, an issue date later than today or "
         u"more than ten days before it unless --allow-date; --field 大写金额=TEXT must name the "
         u"capitals of the amount, which are always derived from it; when the cheque's account "
         u"(账号) has a "
         u"cheque book, the cheque takes the book's next number, or --number N (a serial of up "
         u"to eight digits, or the full number of any open book of the account), and the number "
         u"is written on standard output; --kind 进账单 --from-history ID fills the deposit slip "
         u"from the kept transfer cheque of history row ID (dated today; the drawer's name from "
         u"the "
         u"account's last slip or the company's own entry in the book of counterparties, the "
         u"payee's account and bank from its entry or its last slip), then applies --field, and "
         u"--save keeps the slip naming the cheque, whose history then reads 已打印 under 进账单; "
         u"a slip without its drawer, payee, their accounts and banks, or the amount does not "
         u"print; --kind 现金支票 --back prints the cash cheque's back alone (身份证件名称, "
         u"发证机关, 身份证件号码) as a job of its own, of --history ID linked to that kept "
         u"cheque, "
         u"with a warning on the error output when an identity card's number fails its check"_s,
         printVerb},
        {u"preview"_s,
         u"FILE.png"_s,
         {{u"--format"_s}, {u"--history"_s}, {u"--field"_s}, {u"--flags"_s}, {u"--kind"_s}},
         u"the same cheque drawn onto a picture of the blank cheque, with the format's scan of "
         u"the blank form (format background) faintly behind it"_s,
         previewVerb},
        {u"calibrate"_s,
         {},
         {{u"--pdf"_s, u"--printer"_s},
          {u"--sheet"_s, u"--measured"_s, u"--show"_s, u"--reset"_s},
          {u"--check"_s},
          {u"--force"_s},
          {u"--format"_s},
          {u"--kind"_s},
          {u"--flags"_s}},
         u"print the calibration square (10 mm square, 10 mm from the origin); --sheet prints "
         u"the sheet a printer's scale and offset are measured by, on A4 as the cheque lies "
         u"(--flags, or the stored switches), and writes each mark's place (A, tab, X, tab, Y in "
         u"mm from the paper's left and top edges); --measured \"A=x,y B=x,y C=x,y D=x,y\" fits "
         u"the printer of --printer to the marks as measured with a ruler and keeps the fit on "
         u"this machine (a page scaled by 2 % or more only with --force; a mark over 1 mm off the "
         u"fit, or a page scaled by over 5 % or moved by over 20 mm, never); every later print "
         u"through that printer sends each position as (intended - offset) / scale, named in "
         u"the journal; --check prints the sheet through the kept fit, or with --measured says "
         u"how far each mark lies from its place (exit 1 beyond 0.5 mm); --show lists the kept "
         u"fits, --reset forgets those of --printer"_s,
         calibrateVerb},
        {u"endorse"_s,
         u"TEXT"_s,
         {{u"--pdf"_s, u"--printer"_s}, {u"--format"_s}},
         u"print an endorsement (\"//\" starts a new line)"_s,
         endorseVerb},
        {u"book"_s,
         u"add ACCOUNT FIRST LAST | list | close ACCOUNT FIRST"_s,
         {{u"--prefix"_s}, {u"--received"_s}, {u"--kind"_s}},
         u"the cheque books: add registers the book of ACCOUNT with the serials FIRST to LAST (up "
         u"to eight digits each), --prefix PREFIX the bank's code printed before each serial (up "
         u"to eight digits), --received DATE (YYYY-MM-DD) the day it came, not later than today "
         u"(default: today); list writes one tab-separated line "
         u"per book: account, prefix, first and last serial, date received, 未结束 or 已结束, and "
         u"how many of its numbers are printed, voided, printing and unused; close ends the book "
         u"of ACCOUNT that starts at FIRST: none of its numbers is offered again"_s,
         bookVerb},
        {u"void"_s,
         u"NUMBER"_s,
         {{u"--account"_s}, {u"--reason"_s}},
         u"void a cheque number of the books of --account ACCOUNT, for --reason TEXT: NUMBER is "
         u"the serial (up to eight digits) or the full number, prefix and serial; one never used "
         u"(a cheque torn or lost) or a printed one whose cheque was spoiled"_s,
         voidVerb,
         {u"--account"_s, u"--reason"_s}},
        {u"settle"_s,
         u"NUMBER"_s,
         {{u"--account"_s}, {u"--printed"_s, u"--void"_s}, {u"--reason"_s}},
         u"settle a cheque number of --account ACCOUNT left 打印中 by a print that is no longer "
         u"running, after looking at the paper: --printed keeps the cheque as its journal entry "
         u"recorded it (history row, register and journal), --void voids it for --reason TEXT; "
         u"NUMBER as for void"_s,
         settleVerb,
         {u"--account"_s}},
        {u"register"_s,
         {},
         {{u"--account"_s}, {u"--kind"_s}},
         u"the register of every cheque book, or of those of --account ACCOUNT, as tab-separated "
         u"lines: for each book a heading (支票簿, the account, the first and the last number, "
         u"未结束 or 已结束), then one line per number (the full number; 已打印, 已作废, 未使用 or "
         u"打印中, 打印中（未确认） when the print that took it is no longer running; the issue "
         u"date of the cheque a printed or voided one carried, else the time a voided one was "
         u"voided or a 打印中 one taken; payee; amount; reprints; why it was voided, with who "
         u"voided it and, for one that carried a cheque, when; 替代 and the number whose spoiled "
         u"cheque it printed again, 被替代 and the number that printed its own again), a line 缺号 "
         u"with the number or FIRST-LAST of each run left out below the last number used (void "
         u"them, giving the reason), and 合计 with the count of each state and the serials of "
         u"the gaps"_s,
         registerVerb},
        {u"payee"_s,
         u"add NAME | list [TEXT] | remove NAME | import FILE"_s,
         {{u"--account"_s},
          {u"--bank"_s},
          {u"--purpose"_s},
          {u"--print-name"_s},
          {u"--notes"_s},
          {u"--own"_s},
          {u"--history"_s}},
         u"the book of counterparties (往来单位): add enters NAME (its full name, 全称) with "
         u"--account ACCOUNT, --bank BANK (开户银行), --purpose TEXT (the default 用途), "
         u"--print-name NAME (printed instead of the full name) and --notes TEXT (备注), --own "
         u"for an account of the company's own (本单位), and refuses a name the book has; list "
         u"writes a heading line, then one tab-separated line per entry (全称, 打印名称, 账号, "
         u"开户银行, 用途, 备注, 本单位 as 是 or empty), those whose name, account or bank "
         u"contains TEXT when it is given; remove marks the entry of NAME removed (it is kept, "
         u"no longer listed, and the name may be added again); import reads FILE (CSV, or the "
         u"first visible sheet of an .xlsx) under the headings 全称, 打印名称, 账号, 开户银行, "
         u"用途 "
         u"and 备注, adding the names the book has not and giving those it has the file's values "
         u"that are not empty, all or nothing: a row without 全称 or with one given twice refuses "
         u"the file, naming its line; import --history adds each payee of the history's transfer "
         u"cheques that the book has not; an import writes how many entries it added and "
         u"updated"_s,
         payeeVerb,
         {},
         {u"--history"_s}},
    };
    return table;
}

const std::vector<VerbOption>& optionTable() {
    static const std::vector<VerbOption> table = {
        {u"--database"_s, u"FILE"_s, false,
         u"use this database file instead of the user's DATA.db (created with the default format "
         u"when missing), or a shared database postgresql://USER@HOST[:PORT]/DBNAME; without the "
         u"option, the one the key database/url of the settings names"_s},
        {u"--printer"_s, u"NAME"_s, false,
         u"print on this printer (default: the system's default printer)"_s},
        {u"--pdf"_s, u"FILE"_s, false, u"print into this PDF file instead"_s},
        {u"--format"_s, u"NAME"_s, false, u"use this print format (default: the current one)"_s},
        {u"--kind"_s, u"NAME"_s, false,
         u"work on this kind of document: its formats, its history, its cheque books (default: "
         u"转账支票, the transfer cheque)"_s},
        {u"--history"_s, u"ID"_s, false, {}},
        {u"--from-history"_s, u"ID"_s, false, {}},
        {u"--number"_s, u"N"_s, false, {}},
        {u"--back"_s, {}, false, {}},
        {u"--field"_s, u"KEY=TEXT"_s, true, {}},
        {u"--flags"_s, u"TEXT"_s, false, {}},
        {u"--save"_s, {}, false, {}},
        {u"--allow-overflow"_s, {}, false, {}},
        {u"--allow-date"_s, {}, false, {}},
        {u"--check"_s, {}, false, {}},
        {u"--sheet"_s, {}, false, {}},
        {u"--name"_s, u"NAME"_s, false, {}},
        {u"--measured"_s, u"MARKS"_s, false, {}},
        {u"--show"_s, {}, false, {}},
        {u"--reset"_s, {}, false, {}},
        {u"--force"_s, {}, false, {}},
        {u"--with-background"_s, {}, false, {}},
        {u"--dpi"_s, u"N"_s, false, {}},
        {u"--remove"_s, {}, false, {}},
        {u"--from"_s, u"DATE"_s, false, {}},
        {u"--to"_s, u"DATE"_s, false, {}},
        {u"--prefix"_s, u"PREFIX"_s, false, {}},
        {u"--received"_s, u"DATE"_s, false, {}},
        {u"--account"_s, u"ACCOUNT"_s, false, {}},
        {u"--reason"_s, u"TEXT"_s, false, {}},
        {u"--printed"_s, {}, false, {}},
        {u"--void"_s, {}, false, {}},
        {u"--bank"_s, u"BANK"_s, false, {}},
        {u"--purpose"_s, u"TEXT"_s, false, {}},
        {u"--print-name"_s, u"NAME"_s, false, {}},
        {u"--notes"_s, u"TEXT"_s, false, {}},
        {u"--own"_s, {}, false, {}},
        {u"--"_s, {}, false, u"ends the options: amount -- -500 converts the text -500"_s},
        {u"--help"_s, {}, false, u"show this text"_s},
        {u"--version"_s, {}, false, u"show the program's version"_s},
    };
    return table;
}

const Verb* findVerb(const QString& name) {
    for (const Verb& verb : verbTable())
        if (verb.name == name)
            return &verb;
    return nullptr;
}

const VerbOption* findOption(const QString& name) {
    for (const VerbOption& option : optionTable())
        if (option.name == name)
            return &option;
    return nullptr;
}

namespace {

constexpr int kWidth = 90;       // the usage's lines are at most this many columns wide
constexpr int kHelpColumn = 21;  // where the help of a verb or an option starts

// The columns the text takes on a terminal: Chinese characters take two.
qsizetype columns(const QString& text) {
    qsizetype n = 0;
    for (const QChar c : text)
        n += c.unicode() >= 0x1100 ? 2 : 1;
    return n;
}

// The words after `lead`, in lines of at most kWidth columns; later lines are indented by
// `indent`. `leadEndsWord` is set when the lead's last word needs a blank before the next.
QStringList wrapped(const QString& lead, bool leadEndsWord, int indent, const QStringList& words) {
    QStringList lines;
    QString line = lead;
    bool blankFirst = leadEndsWord;
    for (const QString& word : words) {
        if (blankFirst && columns(line) + 1 + columns(word) > kWidth) {
            lines << line;
            line = QString(indent, u' ');
            blankFirst = false;
        }
        if (blankFirst)
            line += u' ';
        line += word;
        blankFirst = true;
    }
    return lines << line;
}

// A verb's or an option's lines: what to type, then the help, beside it when there is room.
QString entry(const QString& name, const QStringList& synopsis, const QString& help) {
    const QString lead = u"  "_s + name;
    const QStringList typed = wrapped(lead, true, int(columns(lead)) + 1, synopsis);
    QString helpLead(kHelpColumn, u' ');
    QString text;
    if (typed.size() == 1 && columns(typed.first()) + 2 <= kHelpColumn)
        helpLead.replace(0, typed.first().size(), typed.first());
    else
        text = typed.join(u'\n') + u'\n';
    return text + wrapped(helpLead, false, kHelpColumn, help.split(u' ')).join(u'\n') + u'\n';
}

}  // namespace

// The usage, written from the two tables.
QByteArray usageText() {
    QString text =
        u"Usage: chequeprint [VERB [ARGUMENTS...]] [--database FILE]\n\n"
        u"Prints Chinese bank cheques. The verbs run without a display:\n"_s;
    for (const Verb& verb : verbTable())
        text += entry(verb.name, verb.synopsis(), verb.help);
    text += u"\nOptions:\n"_s;
    for (const VerbOption& option : optionTable())
        if (!option.help.isEmpty())
            text +=
                entry(option.name,
                      option.valueName.isEmpty() ? QStringList() : QStringList{option.valueName},
                      option.help);
    return text.toUtf8();
}
