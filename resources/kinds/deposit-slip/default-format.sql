-- The shipped print format "标准进账单": every field 1 mm into its place on the slip (see
-- kinds/deposit-slip/geometry.json), margins 10/10 (the printable area starts at the paper corner).
INSERT INTO 支票格式 (种类, Name, CtlDF, X, Y, S, Color, fName, fSize, fBold, fItalic, fUnderline, fStrikethru) VALUES
    ('进账单', '标准进账单', '出票日期-年', 79, 12.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '出票日期-月', 102, 12.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '出票日期-日', 116, 12.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '出票人全称', 32, 21.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '出票人账号', 32, 29.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '出票人开户银行', 32, 37.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '收款人全称', 135, 21.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '收款人账号', 135, 29.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '收款人开户银行', 135, 37.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '大写金额', 41, 49.5, 0, 0, '宋体', 11, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '小写金额', 140.9, 50.5, 0, 0, '宋体', 12, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '票据种类', 21, 60.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '票据张数', 81, 60.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '票据号码', 21, 68.5, 0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('进账单', '标准进账单', '', 10, 10, 0, 0, '', 0, FALSE, FALSE, FALSE, FALSE);
