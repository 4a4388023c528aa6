-- The program's database: print formats and the history of printed cheques.
-- Dates are ISO texts (YYYY-MM-DD); yes/no values are 0 or 1; every text accepts ''.
CREATE TABLE IF NOT EXISTS 支票格式 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Name TEXT NOT NULL DEFAULT '',
    CtlDF TEXT NOT NULL DEFAULT '',
    X DOUBLE DEFAULT 0,
    Y DOUBLE DEFAULT 0,
    S DOUBLE DEFAULT 0,
    Color INTEGER DEFAULT 0,
    fName TEXT DEFAULT '',
    fSize DOUBLE DEFAULT 0,
    fBold BOOLEAN DEFAULT 0,
    fItalic BOOLEAN DEFAULT 0,
    fUnderline BOOLEAN DEFAULT 0,
    fStrikethru BOOLEAN DEFAULT 0
);
CREATE INDEX IF NOT EXISTS 支票格式_Name ON 支票格式 (Name, CtlDF);
CREATE TABLE IF NOT EXISTS 历史记录 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Dat DATE,
    出票日期 DATE,
    收款人全称 TEXT DEFAULT '',
    金额 TEXT DEFAULT '',
    用途 TEXT DEFAULT '',
    账号 TEXT DEFAULT '',
    密码 TEXT DEFAULT '',
    银行 TEXT DEFAULT '',
    附加信息 TEXT DEFAULT '',
    "日期(票根)" DATE,
    "收款人(票根)" TEXT DEFAULT '',
    "金额(票根)" TEXT DEFAULT '',
    "用途(票根)" TEXT DEFAULT '',
    "主管(票根)" TEXT DEFAULT '',
    "会计(票根)" TEXT DEFAULT ''
);
CREATE INDEX IF NOT EXISTS 历史记录_Dat ON 历史记录 (Dat);
