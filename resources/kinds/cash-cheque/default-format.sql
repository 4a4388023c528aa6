-- The shipped print format "标准现金支票": the transfer cheque's positions on the same front
-- (see kinds/cash-cheque/geometry.json) and the back's three fields 1 mm into their places,
-- measured from the back's own top-left corner; margins 10/10, a 60 mm stub and the
-- transfer cheque's endorsement values (the cash cheque prints none).
INSERT INTO 支票格式 (种类, Name, CtlDF, X, Y, S, Color, fName, fSize, fBold, fItalic, fUnderline, fStrikethru) VALUES
    ('现金支票', '标准现金支票', '票身-年',     38,    15,   0, 0, '宋体', 12, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票身-月',     62,    15,   0, 0, '宋体', 12, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票身-日',     82,    15,   0, 0, '宋体', 12, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票身-收款人', 22,    23,   0, 0, '宋体', 12, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '大写金额',    31,    32,   0, 0, '宋体', 11, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '小写金额',    115.8, 32.5, 0, 0, '宋体', 12, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票身-用途',   20,    41.5, 0, 0, '宋体', 12, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '账号',        133,   23,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '密码',        123,   41.5, 0, 0, '宋体', 12, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '银行',        125,   15,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '附加信息',    13,    18,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票根-年',     18,    41,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票根-月',     32,    41,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票根-日',     43,    41,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票根-收款人', 16,    48,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票根-金额',   16,    55,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '票根-用途',   16,    62,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '单位主管',    17.5,  71,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '会计',        41.5,  71,   0, 0, '宋体', 10, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '身份证件名称', 119,   46,   0, 0, '宋体', 11, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '发证机关',     113,   55,   0, 0, '宋体', 11, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '身份证件号码', 105,   64,   1, 0, '宋体', 12, FALSE, FALSE, FALSE, FALSE),
    ('现金支票', '标准现金支票', '',            10,    10,  60, 0, '14 22 63 0 10', 0, FALSE, FALSE, FALSE, FALSE);
