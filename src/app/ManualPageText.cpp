#include "ManualPageText.h"

// The fixed sections of the manual page, in roff; the commands and options between them are
// written from the verb table (ManualPage.cpp).

// The name, the synopsis and the description.
const char kManualIntroduction[] = R"roff(.SH NAME
chequeprint \- print Chinese bank cheques
.SH SYNOPSIS
.B chequeprint
.RB [ \-\-database
.IR FILE ]
.br
.B chequeprint
.I VERB
.RI [ ARGUMENTS ...]\&
.RB [ \-\-database
.IR FILE ]
.br
.B chequeprint
.BR \-\-help " | " \-\-version
.SH DESCRIPTION
.B chequeprint
prints Chinese bank cheques (支票) on an ordinary office printer.
Without a verb it opens its window, laid out like a cheque: the user fills in the fields, the
program writes the date and the amount in Chinese capitals, places every field at its millimetre
position from a named print format and keeps a history of printed cheques.
The window's tabs are 支\ 票\ 打\ 印 (the cheque), 历\ 史\ 记\ 录 (the history),
格\ 式\ 校\ 准 (the print formats and their calibration) and 使\ 用\ 说\ 明 (the instructions).
Where there is no display (none of
.BR DISPLAY ,
.B \%WAYLAND_DISPLAY
or
.B \%QT_QPA_PLATFORM
is set) it says so in one line, prints the usage and exits with status 2.
.PP
The verbs (see
.BR COMMANDS )
run without a display: they write amounts and dates in capitals, list the formats, the history
and the journal, print a cheque, a payment list, an endorsement, the calibration square or the
sheet a printer's scale and offset are measured by (and keep the printer's fit), draw a preview
and export the history.
Every verb takes
.B \-\-database
.I FILE
to use another database (see
.BR DATABASE ).
Output goes to standard output; a write that fails there ends the verb with exit status 1.
.SS Kinds of document
A print format, a cheque book and a kept cheque belong to one kind of document: 转账支票, the
transfer cheque (without
.BR \-\-kind ),
现金支票, the cash cheque, or 进账单, the deposit slip.
Two kinds may each have a format of one name, a number is taken only from a book of the printed
document's kind, and the journal names each print by its kind's job (支票 for the transfer
cheque).
.BR print ,
.BR preview ,
.BR batch ,
.BR history ,
.BR export ,
.BR formats ,
.BR calibrate ,
.B book
and
.B register
take
.B \-\-kind
.I NAME
(default 转账支票); a kind the program does not know is refused with 没有这种单据 and exit
status 2.
.SS The cheque
Before the printer dialog, before the cashier is told to load a blank cheque, the window and
.B print
check the cheque alike: the amount must be in figure form and the issue date a real calendar
date (so 2月30日 is refused) unless 禁止日期打印 keeps it off the cheque, with the stub date too
when the stub is printed, and no field may hold a character the database cannot keep as it is
(U+FFFE, U+FFFF and the other noncharacters, half a surrogate pair, a leading U+FEFF).
An amount is taken exactly or refused with its reason, never cut or rounded: at most eight
integer digits and two decimals, thousands in threes, no minus sign, no exponent, no other
character (1234.567, 1万, 1234.5.6 and 12.345,67 are refused).
The amount in capitals always prints as the capitals of the figures;
.B \-\-field
大写金额=TEXT naming other capitals is refused.
An issue date later than today, or more than ten days before it, is asked about in the window
and refused by
.B print
and
.B batch
unless
.B \-\-allow\-date
is given; a second cheque to the same payee of the same amount on one day is asked about in the
window only.
Every printed field is then measured by the code that prints it.
A field that runs past the edge of the cheque or past the end of its blank, or an amount that
needs more than the eleven boxes, is named: the window asks whether to print all the same, and
.B print
stops with exit status 1 unless
.B \-\-allow\-overflow
is given.
The window, the preview and the verbs print through one print job, one print at a time.
.SS A deposit slip from a kept cheque
A transfer cheque goes to the bank with a deposit slip (进账单) that repeats it.
.B print \-\-kind 进账单 \-\-from\-history
.I ID
fills the slip from the kept transfer cheque of history row
.IR ID :
today's date in figures, the cheque's account and bank as the drawer's, the drawer's name of
the account's last slip or else of the company's own entry of that account in the book of
counterparties (its 打印名称 when set), the cheque's payee with the account and bank of its
entry in the book or else of the last slip to it, the amount, 转账支票, 1 and the cheque's
number.
What cannot be found stays empty;
.B \-\-field
then changes any field.
A row that is no kept transfer cheque is refused (第N条历史记录不是转账支票), and
.B \-\-from\-history
with another kind with exit status 2.
A slip without 出票人全称, 出票人账号, 出票人开户银行, 收款人全称, 收款人账号, 收款人开户银行 or
小写金额 does not print (请填写收款人账号。).
Kept with
.BR \-\-save ,
the slip names its cheque, and the cheque's row in
.B history
reads 已打印 under 进账单.
.SS Payment lists
.B batch
reads a CSV file (UTF\-8 with or without a byte-order mark, or GB18030; quotes as in RFC 4180)
or the first visible sheet of an .xlsx workbook.
Its first non-empty row holds the headings: the history's (收款人全称 or 收款人, 金额, 用途,
出票日期, 账号, 密码, 银行, 附加信息, 主管, 会计, 收款人(票根), 用途(票根)) or the fields'
identifiers (票身\-收款人, 小写金额, ...).
Each row starts from the last input with the stored switches and its values are set as if
typed, so the capitals and the stub copies follow; a row has the 密码 of its own column or
none.
A date may be a workbook date, 2026\-12\-09, 2026.12.09, 2026/12/09 or 2026年12月9日; without
one, the date is today.
An amount is a plain number greater than zero with at most eight integer digits and two
decimals (\(lq,\(rq between groups of three, a leading ￥ or ¥ and full-width digits allowed);
nothing is ever cut or rounded.
A list has at most 10,000 payment rows under at most 256 headings, in a file of at most 20 MB
whose sheet unpacks to at most 100 MB.
Hidden sheets before the visible one are skipped and named; a hidden heading row, or a hidden
column under a field's heading, refuses the list, and a hidden row is a bad row.
While one row is bad, nothing prints: the report names every problem of each bad row by its
line as the spreadsheet shows it, the column, the value and the reason.
Otherwise all the cheques go to the printer as one job.
With
.B \-\-kind 进账单
each row is a deposit slip, under the slip's headings (出票人, 账号, 银行, 收款人全称 or 收款人,
收款人账号, 收款人开户银行, 金额, 票据种类, 票据张数, 票据号码, 出票日期) or its fields'
identifiers; a row that leaves the payee's account or bank empty takes it from the book of
counterparties under the payee's full name, and a row the book cannot fill is a bad row.
.SS Counterparties
The book of counterparties (往来单位) holds the parties the company pays and is paid by, and
its own accounts (本单位): each entry's full name (全称), the name to print when it differs
(打印名称), 账号, 开户银行, the default 用途 and 备注.
A full name names one entry;
.B payee add
refuses one the book has with 往来单位已存在 and exit status 1.
.B payee remove
marks an entry removed: it stays in the database, is no longer listed, and its name may be
added again.
.B payee import
reads a list as
.B batch
does, under the headings 全称, 打印名称, 账号, 开户银行, 用途 and 备注, in one transaction: a row
without 全称 or with a name given twice refuses the whole list with its line and the reason, and
nothing changes; a name the book has takes the list's values that are not empty.
.B payee import \-\-history
adds each payee of the history's transfer cheques that the book has not (a removed entry stays
removed).
.SS The journal
Every print attempt, from the window or a verb, is appended to the table 打印日志 of the
database (文件 → 打印日志 in the window,
.B journal
on the command line): when, by whom (the login), what (支票, 背书, 校准), on which printer or into
which PDF, in which format, the outcome, the history row when the cheque was kept, and the
cheque's fields without the password.
The entry is committed, marked 打印中, before anything is sent to the printer; when it cannot be
written, nothing is printed.
When the spooler has answered, the mark becomes the outcome: 已打印 means that the spooler
(CUPS, or the PDF file written whole) accepted the job, 打印失败 that it refused it.
An entry still marked 打印中 shows an attempt whose program died or could not record the
outcome.
A queue whose device is out of reach accepts the job and holds it: that is 已打印, and
.B lpstat \-o
lists the waiting cheque.
The database refuses every other change of the journal.
In a file the program checks, before each print, that the journal's table and its protecting
triggers are its own, but whoever can write the file can forge it: an office that needs a
journal nobody can rewrite uses a shared database.
.SS Output files
The PDF, the preview picture and the CSV and workbook exports are written completely or not at
all: into a new temporary file beside the target, then renamed over it, so that a full disk or
a killed program leaves the old file as it was.
The temporary file is hidden (.cheque.pdf.chequeprint\-XXXXXX) and locked while it is written;
one that a killed program left behind, maybe holding a whole cheque, is removed by the next
output into the same folder once it has not changed for ten minutes and no process holds it.
They are readable by their owner only, because they can hold the cheque's password, and so is
the database.
A target that is a folder or a device is refused.
In a CSV export a value that a spreadsheet would run as a formula gets a leading \(aq, so that
a spreadsheet opens it as text: one that begins with =, +, \-, @ (also after blanks, which a
spreadsheet trims), a tab or a carriage return, and such a value behind quotes of its own
(\(aq=x is written \(aq\(aq=x).
Values with a comma, a quote or a line break are quoted.
Read back as a payment list, the file loses that quote again under the history's own headings,
so that an exported history prints what was typed; a list typed under the fields' identifiers
keeps its values as they are.
A workbook holds every text as a text cell, which never runs as a formula; a text such as
_x0041_, which a spreadsheet would read as the escaped character A, is written escaped itself
(_x005F_x0041_) and shows as typed.
A workbook cell holds at most 32,767 characters: longer texts are cut to that length, and the
export says how many cells were cut.
)roff";

// Where the database is, the shared database, the exit status, the environment, the files,
// the examples; @DATADIR@ stands for the installed data folder (/usr/share).
const char kManualReference[] = R"roff(.SH DATABASE
The database holds the print formats, the history, each login's last input and current format,
and the journal.
.B chequeprint
uses the first of:
.IP 1. 4
the database that
.B \-\-database
names: a file, or a shared database (see
.BR "SHARED DATABASE" );
.IP 2. 4
the one named in the user's settings by the key
.B database/url
(section
.BR [database] ,
.BR url= ...;
see
.BR FILES );
.IP 3. 4
a
.I DATA.db
beside the executable (a portable install);
.IP 4. 4
.IR \%~/.local/share/chequeprint/DATA.db .
.PP
A database file is an SQLite file.
When it is missing it is created, readable by its owner only, with the default format 标准支票;
an empty name or
.B :memory:
is refused.
A file carries its schema version (PRAGMA user_version): an older file is brought up to date
step by step when opened, and a file made by a newer program is refused.
In a file, the last input and the current format belong to the system login.
.SH SHARED DATABASE
Several clerks share one history and one set of print formats in a PostgreSQL database, named
by its address:
.PP
.EX
postgresql://\fIUSER\fP@\fIHOST\fP[:\fIPORT\fP]/\fIDBNAME\fP[?sslmode=...&connect_timeout=...]
postgresql://\fIUSER\fP@/\fIDBNAME\fP?host=/run/postgresql[&port=5433]
.EE
.PP
The second form reaches a server on the same machine through the folder of its socket, with
the login of the system user (peer authentication).
The scheme may be written in any case, and
.B postgres://
is taken too.
The password never goes into the address or the settings: libpq reads it from
.I ~/.pgpass
or
.BR PGPASSWORD .
A server that cannot be reached is given up after connect_timeout (10 s by default), one that
goes silent after about 35 s.
.PP
An administrator sets the database up once:
.IP 1. 4
Create an empty database whose collation sorts exactly as SQLite does:
.IP
.EX
createdb \-T template0 \-\-lc\-collate=C.UTF\-8 \-\-lc\-ctype=C.UTF\-8 \fINAME\fP
.EE
.IP 2. 4
Create the tables, the shipped format 标准支票 and the roles
.B chequeprint_clerk
and
.BR chequeprint_format_editor ,
as the tables' owner with the right to create roles (CREATEROLE):
.IP
.EX
chequeprint init\-database \-\-database postgresql://\fIOWNER\fP@\fIHOST\fP/\fINAME\fP
.EE
.IP 3. 4
Give each clerk a database login of their own, member of
.BR chequeprint_clerk ,
and
.B chequeprint_format_editor
as well to whoever may change print formats (save, rename or delete a format, its margins and
its endorsement values):
.IP
.EX
GRANT chequeprint_clerk TO 小王;
GRANT chequeprint_format_editor TO 小王;
.EE
.IP 4. 4
Put each clerk's password in the clerk's
.IR ~/.pgpass ,
and name the database in the clerk's settings (see
.BR FILES ):
.IP
.EX
[database]
url=postgresql://小王@\fIHOST\fP/\fINAME\fP
.EE
.PP
A clerk reads everything, adds history rows and journal entries, deletes history rows, gives a
journal entry its outcome, adds and edits the counterparties and marks them removed (only the
tables' owner deletes one), and reads and writes only their own row of 用户状态; the schema
version and the formats they only read.
The server itself writes a new row's ID, a journal entry's time and login, and a history row's
day, whatever the client sends.
.B init\-database
may run again at any time: it sets these rights again, puts back 标准支票 when it is gone, and
turns the rights that an older set-up granted to each login into membership of
.BR chequeprint_clerk ,
naming those logins.
Clients never create tables on a server: a database without them, or with older ones, is
refused with the reason.
.SH EXIT STATUS
.TP
.B 0
The verb, the help or the version did its work, or the window was closed.
.TP
.B 1
The verb failed and said why on standard error: a database that cannot be opened, a field that
does not fit, a bad row in a payment list, a file that cannot be written.
The window, too, ends with 1 when its database cannot be opened.
.TP
.B 2
An unknown verb or option, an option the verb does not take, or a wrong argument: the usage
follows the message on standard error.
It is also the status when the window is wanted and there is no display.
.SH ENVIRONMENT
.TP
.BR DISPLAY ", " WAYLAND_DISPLAY ", " QT_QPA_PLATFORM
The window needs one of them.
The verbs need none: while
.B \%QT_QPA_PLATFORM
is unset they draw on Qt's offscreen platform.
.TP
.B PGPASSWORD
The password of a shared database, for libpq, which otherwise reads
.IR ~/.pgpass .
.TP
.BR USER ", " USERNAME ", " LOGNAME
The first of them that is set is the login that a database file writes into the journal, and
the owner of the last input and the current format.
.TP
.BR XDG_CONFIG_HOME ", " XDG_DATA_HOME
The folders of the settings file and of the user's
.I DATA.db
(by default
.I ~/.config
and
.IR ~/.local/share ).
.TP
.B XDG_RUNTIME_DIR
When it is unset, the program gives Qt a private folder chequeprint\-runtime\-\fIUID\fP in the
temporary folder.
.SH FILES
.TP
.I ~/.local/share/chequeprint/DATA.db
The user's database: the print formats, the history and the journal.
.TP
.IR DATA.db " beside the executable"
The database of a portable install, used instead of the user's.
.TP
.I ~/.config/chequeprint/chequeprint.ini
The settings: the key
.B database/url
of section
.B [database]
names the database, and the key
.B \%Parameter\eLastOne\eDefault
of section
.B [CHK_F]
holds the option switches, and the group
.B 打印机精确校准
each printer's fit for each orientation (see
.BR calibrate ).
.TP
.I ~/.pgpass
The passwords of shared databases, read by libpq.
.TP
.I @DATADIR@/applications/chequeprint.desktop
The desktop entry, which shows the program in the desktop's menu as 支票打印.
.TP
.I @DATADIR@/icons/hicolor/scalable/apps/chequeprint.svg
Its icon.
.SH EXAMPLES
The figure form and the capitals of an amount, and the capitals of a date's parts:
.PP
.RS
.EX
$ chequeprint amount 1234.5
￥1234.50	壹仟贰佰叁拾肆元伍角整
$ chequeprint date 2026 12 9
贰零贰陆
壹拾贰
零玖
.EE
.RE
.PP
A cheque printed into a PDF file, its payee given by the field's identifier and its amount by
the field's tag, and kept in the history:
.PP
.RS
.EX
chequeprint print \-\-pdf cheque.pdf \-\-save \e
    \-\-field 票身\-收款人=北京示例科技有限公司 \e
    \-\-field T5=1234.50
.EE
.RE
.PP
The cheque of history row 12 with today's date, as a picture:
.PP
.RS
.EX
chequeprint preview cheque.png \-\-history 12
.EE
.RE
.PP
A payment list checked, then printed on the printer Cheques and kept in the history:
.PP
.RS
.EX
chequeprint batch payments.xlsx \-\-check
chequeprint batch payments.xlsx \-\-printer Cheques \-\-save
.EE
.RE
.PP
The journal of one month, and the history as a workbook:
.PP
.RS
.EX
chequeprint journal \-\-from 2026\-01\-01 \-\-to 2026\-01\-31
chequeprint export history.xlsx
.EE
.RE
.SH SEE ALSO
.BR createdb (1),
.BR lpstat (1),
.BR psql (1),
.BR sqlite3 (1)
)roff";
