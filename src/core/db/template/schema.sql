-- Version 1 of the template database SourceDB.db: every table of a working database, the
-- field catalogue, the parameter rows and the preset holidays. Working databases are
-- copies of it, so every row the program only ever UPDATEs must be here.
--
-- This file stays as version 1 was released. Each later change of the schema is a
-- numbered step in src/core/db/SchemaMigrations.cpp: the template build runs those steps
-- after this file, and opening an older working database runs the ones it lacks.
--
-- Conventions:
--   * ids are INTEGER PRIMARY KEY; tbl_card.id is always supplied by the inserting code,
--     the other tables number themselves when the insert leaves id out.
--   * Text columns compare without regard to ASCII case (COLLATE NOCASE), as the queries
--     were written for an engine that compares text that way (folder and phrase lookups by
--     name, parameter keys).
--   * Dates are "YYYY-MM-DD HH:MM:SS" text in DATETIME columns; the triggers at the end
--     rewrite any other date spelling written into them, and NORMDATE fails the statement
--     for a value that is no date. NORMDATE is registered by the access layer on every
--     connection, so these tables are written through it only.
--   * Yes/no columns are BIT holding 1/0 and default to 0, never NULL (from version 2
--     triggers turn any other value written into them into 1 or 0).

PRAGMA user_version = 1;

CREATE TABLE tbl_card (
    id INTEGER PRIMARY KEY,
    folder_id INTEGER,
    phone TEXT COLLATE NOCASE CONSTRAINT un_card UNIQUE,
    name TEXT COLLATE NOCASE,
    title TEXT COLLATE NOCASE,
    sex TEXT COLLATE NOCASE,
    create_date DATETIME,
    status TEXT COLLATE NOCASE,
    memos TEXT COLLATE NOCASE,
    birtyday DATETIME,
    isll BIT DEFAULT 0,
    fax TEXT COLLATE NOCASE,
    tel TEXT COLLATE NOCASE,
    email TEXT COLLATE NOCASE,
    qq TEXT COLLATE NOCASE,
    company TEXT COLLATE NOCASE,
    post TEXT COLLATE NOCASE,
    addr TEXT COLLATE NOCASE,
    custom1 TEXT COLLATE NOCASE,
    custom2 TEXT COLLATE NOCASE,
    custom3 TEXT COLLATE NOCASE,
    custom4 TEXT COLLATE NOCASE,
    custom5 TEXT COLLATE NOCASE,
    custom6 TEXT COLLATE NOCASE,
    custom7 TEXT COLLATE NOCASE,
    custom8 TEXT COLLATE NOCASE,
    custom9 DATETIME,
    custom10 DATETIME,
    custom11 DATETIME,
    custom12 DATETIME
);
CREATE INDEX ix_card_folder ON tbl_card (folder_id);

CREATE TABLE tbl_card_folder (
    id INTEGER PRIMARY KEY,
    name TEXT COLLATE NOCASE,
    sub_id INTEGER DEFAULT 0,
    memos TEXT COLLATE NOCASE
);

CREATE TABLE tbl_card_copy (
    id INTEGER PRIMARY KEY,
    folder_id INTEGER,
    card_id INTEGER
);
CREATE INDEX ix_card_copy_folder ON tbl_card_copy (folder_id);
CREATE INDEX ix_card_copy_card ON tbl_card_copy (card_id);

CREATE TABLE tbl_field_info (
    id INTEGER PRIMARY KEY,
    FieldName TEXT COLLATE NOCASE,
    NewName TEXT COLLATE NOCASE,
    ShowFlag BIT DEFAULT 0,
    ValidFlag BIT DEFAULT 0,
    FieldType INTEGER,
    RemainType INTEGER DEFAULT 0,
    InsertTitle INTEGER DEFAULT 0,
    RemainContent TEXT COLLATE NOCASE,
    RemainTime DATETIME,
    AlwaysSendTime DATETIME
);

CREATE TABLE tbl_sendsms (
    id INTEGER PRIMARY KEY,
    content TEXT COLLATE NOCASE,
    send_time DATETIME,
    send_mode INTEGER,
    status TEXT COLLATE NOCASE,
    success_count INTEGER DEFAULT 0,
    fail_count INTEGER DEFAULT 0,
    is_idle BIT DEFAULT 0,
    jobid TEXT COLLATE NOCASE
);
CREATE INDEX ix_sendsms_time ON tbl_sendsms (send_time);

CREATE TABLE tbl_sendsms_detail (
    id INTEGER PRIMARY KEY,
    jobid TEXT COLLATE NOCASE,
    phones TEXT COLLATE NOCASE,
    send_time DATETIME,
    status INTEGER,
    group_id INTEGER,
    split_count INTEGER,
    content TEXT COLLATE NOCASE
);
CREATE INDEX ix_sendsms_detail_group ON tbl_sendsms_detail (group_id);
CREATE INDEX ix_sendsms_detail_time ON tbl_sendsms_detail (send_time);

CREATE TABLE tbl_sms_recive (
    id INTEGER PRIMARY KEY,
    phone TEXT COLLATE NOCASE,
    content TEXT COLLATE NOCASE,
    recive_time DATETIME,
    is_read INTEGER DEFAULT 0
);
CREATE INDEX ix_sms_recive_phone ON tbl_sms_recive (phone);

CREATE TABLE tbl_message_folder (
    id INTEGER PRIMARY KEY,
    ClassName TEXT COLLATE NOCASE
);

CREATE TABLE tbl_message (
    ID INTEGER PRIMARY KEY,
    Title TEXT COLLATE NOCASE,
    Message TEXT COLLATE NOCASE,
    ClassName TEXT COLLATE NOCASE
);
CREATE INDEX ix_message_class ON tbl_message (ClassName);

CREATE TABLE tbl_holiday (
    id INTEGER PRIMARY KEY,
    name TEXT COLLATE NOCASE,
    holiday DATETIME,
    content TEXT COLLATE NOCASE,
    Type INTEGER
);

CREATE TABLE tbl_calendar_task (
    ID INTEGER PRIMARY KEY,
    Name TEXT COLLATE NOCASE,
    Subject TEXT COLLATE NOCASE,
    IsIFRemain INTEGER DEFAULT 0,
    IsMsgRemain INTEGER DEFAULT 0,
    IsAllDay INTEGER DEFAULT 0,
    TaskDate DATETIME,
    Status INTEGER DEFAULT 1,
    IFRemainBefore INTEGER DEFAULT 0,
    MsgRemainBefore INTEGER DEFAULT 0,
    TaskType INTEGER DEFAULT 0,
    MsgPhones TEXT COLLATE NOCASE,
    MsgSendTime DATETIME,
    InsertTitle INTEGER DEFAULT 0
);

CREATE TABLE tbl_inputphone (
    id INTEGER PRIMARY KEY,
    phone TEXT COLLATE NOCASE
);

CREATE TABLE tbl_sys_param (
    para_name TEXT COLLATE NOCASE PRIMARY KEY,
    para_value TEXT
);

-- Field catalogue. 1-15 system fields, 16-23 custom text, 24-27 custom dates. The captions
-- also serve as column aliases in exports, so they are plain words without blanks.
INSERT INTO tbl_field_info (id, FieldName, NewName, ShowFlag, ValidFlag, FieldType) VALUES
    (1, 'phone', '手机', 1, 1, 1),
    (2, 'name', '姓名', 1, 1, 1),
    (3, 'title', '称呼', 1, 1, 1),
    (4, 'sex', '性别', 1, 1, 1),
    (5, 'create_date', '加入时间', 1, 1, 1),
    (6, 'status', '状态', 1, 1, 1),
    (7, 'memos', '备注', 1, 1, 1),
    (8, 'birtyday', '生日', 1, 1, 1),
    (9, 'fax', '传真', 0, 1, 1),
    (10, 'tel', '电话', 0, 1, 1),
    (11, 'email', 'EMAIL', 0, 1, 1),
    (12, 'qq', 'QQ', 0, 1, 1),
    (13, 'company', '单位', 1, 1, 1),
    (14, 'post', '邮编', 0, 1, 1),
    (15, 'addr', '地址', 0, 1, 1),
    (16, 'custom1', '自定义1', 0, 0, 2),
    (17, 'custom2', '自定义2', 0, 0, 2),
    (18, 'custom3', '自定义3', 0, 0, 2),
    (19, 'custom4', '自定义4', 0, 0, 2),
    (20, 'custom5', '自定义5', 0, 0, 2),
    (21, 'custom6', '自定义6', 0, 0, 2),
    (22, 'custom7', '自定义7', 0, 0, 2),
    (23, 'custom8', '自定义8', 0, 0, 2);

-- Date fields carry the reminder settings; a last-send day in the past lets the first
-- enabled reminder go out on its first day.
INSERT INTO tbl_field_info (id, FieldName, NewName, ShowFlag, ValidFlag, FieldType,
        RemainType, InsertTitle, RemainContent, RemainTime, AlwaysSendTime) VALUES
    (24, 'custom9', '自定义日期1', 0, 0, 3, 0, 0, '', '2008-01-01 09:00:00', '2008-01-01 00:00:00'),
    (25, 'custom10', '自定义日期2', 0, 0, 3, 0, 0, '', '2008-01-01 09:00:00', '2008-01-01 00:00:00'),
    (26, 'custom11', '自定义日期3', 0, 0, 3, 0, 0, '', '2008-01-01 09:00:00', '2008-01-01 00:00:00'),
    (27, 'custom12', '自定义日期4', 0, 0, 3, 0, 0, '', '2008-01-01 09:00:00', '2008-01-01 00:00:00');

-- Every key the program reads or writes through the parameter store; saving only UPDATEs.
INSERT INTO tbl_sys_param (para_name, para_value) VALUES
    ('Account', ''),
    ('AddSMSTail', '0'),
    ('AutoClear', '1'),
    ('AutoSaveDB', '0'),
    ('AutoSaveReciver', '1'),
    ('AutoSendBirth', '0'),
    ('BirthConfirm', '1'),
    ('BirthdayTime', '1900-01-01 9:0:0'),
    ('BirthSendDate', '2008-01-01'),
    ('BirthSMSContent', '祝您生日快乐，身体健康，万事如意！'),
    ('BirthTitle', '1'),
    ('CheckUpdate', '1'),
    ('HideTray', '1'),
    ('IsRemainStock', '1'),
    ('Password', ''),
    ('RemainAmount', '1000'),
    ('RememberPwd', '0'),
    ('SaveMaxDay', '30'),
    ('ServerIP', ''),
    ('SMSTail', ''),
    ('SoundIncome', '1'),
    ('User', '');

-- Preset holidays. Only month and day count; all are stored in 2008 like the days users
-- add. Type 1 solar, 2 lunar (month and day of the lunar calendar), 3 western.
INSERT INTO tbl_holiday (name, holiday, content, Type) VALUES
    ('元旦', '2008-01-01 00:00:00', '新年伊始，祝您元旦快乐，新的一年身体健康、万事如意！', 1),
    ('妇女节', '2008-03-08 00:00:00', '三八妇女节到了，祝您节日快乐，青春美丽，幸福安康！', 1),
    ('植树节', '2008-03-12 00:00:00', '植树节到了，种下一棵希望，愿您的生活绿意盎然、蒸蒸日上！', 1),
    ('劳动节', '2008-05-01 00:00:00', '五一劳动节快乐！辛苦了，祝您假期愉快，工作顺利！', 1),
    ('青年节', '2008-05-04 00:00:00', '五四青年节快乐！愿您永葆青春活力，前程似锦！', 1),
    ('儿童节', '2008-06-01 00:00:00', '六一儿童节快乐！愿您童心常在，快乐无忧！', 1),
    ('建党节', '2008-07-01 00:00:00', '七一建党节，祝您工作顺利，事业兴旺！', 1),
    ('建军节', '2008-08-01 00:00:00', '八一建军节，向最可爱的人致敬，祝您节日快乐！', 1),
    ('教师节', '2008-09-10 00:00:00', '教师节到了，感谢您的辛勤付出，祝您节日快乐，桃李满天下！', 1),
    ('国庆节', '2008-10-01 00:00:00', '国庆佳节，举国同庆，祝您假期愉快，阖家幸福！', 1),
    ('春节', '2008-01-01 00:00:00', '新春佳节，祝您新年快乐，阖家幸福，万事如意，财源广进！', 2),
    ('元宵节', '2008-01-15 00:00:00', '元宵佳节，月圆人团圆，祝您元宵节快乐，幸福美满！', 2),
    ('龙抬头', '2008-02-02 00:00:00', '二月二龙抬头，祝您鸿运当头，事事顺心！', 2),
    ('端午节', '2008-05-05 00:00:00', '端午节到了，粽香飘万家，祝您端午安康，幸福吉祥！', 2),
    ('七夕节', '2008-07-07 00:00:00', '七夕佳节，愿有情人终成眷属，祝您甜蜜幸福！', 2),
    ('中秋节', '2008-08-15 00:00:00', '月到中秋分外明，祝您中秋快乐，阖家团圆，幸福安康！', 2),
    ('重阳节', '2008-09-09 00:00:00', '九九重阳，祝您和家人身体健康，福寿绵长！', 2),
    ('腊八节', '2008-12-08 00:00:00', '腊八节到了，喝碗腊八粥，祝您幸福美满，来年红火！', 2),
    ('小年', '2008-12-23 00:00:00', '小年到了，祝您辞旧迎新，新年大吉，万事顺意！', 2),
    ('情人节', '2008-02-14 00:00:00', '情人节快乐！愿您与爱人甜甜蜜蜜，幸福长久！', 3),
    ('愚人节', '2008-04-01 00:00:00', '愚人节快乐！愿您开心每一天，笑口常开！', 3),
    ('万圣节', '2008-10-31 00:00:00', '万圣节快乐！不给糖就捣蛋，祝您开心尽兴！', 3),
    ('平安夜', '2008-12-24 00:00:00', '平安夜，祝您平平安安，幸福快乐每一天！', 3),
    ('圣诞节', '2008-12-25 00:00:00', '圣诞快乐！愿圣诞的钟声为您带来好运与欢乐！', 3);

-- Keep every date column normalised whatever spelling the SQL text used ('2026-12-6 9:5:3'
-- becomes '2026-12-06 09:05:03'). A trigger only writes when the value is not already
-- normal, so bulk inserts of normal values cost one comparison per column.
CREATE TRIGGER trg_tbl_card_create_date_ins AFTER INSERT ON tbl_card
    WHEN NEW.create_date IS NOT NULL AND NEW.create_date IS NOT NORMDATE(NEW.create_date)
BEGIN
    UPDATE tbl_card SET create_date = NORMDATE(NEW.create_date) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_create_date_upd AFTER UPDATE OF create_date ON tbl_card
    WHEN NEW.create_date IS NOT NULL AND NEW.create_date IS NOT NORMDATE(NEW.create_date)
BEGIN
    UPDATE tbl_card SET create_date = NORMDATE(NEW.create_date) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_birtyday_ins AFTER INSERT ON tbl_card
    WHEN NEW.birtyday IS NOT NULL AND NEW.birtyday IS NOT NORMDATE(NEW.birtyday)
BEGIN
    UPDATE tbl_card SET birtyday = NORMDATE(NEW.birtyday) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_birtyday_upd AFTER UPDATE OF birtyday ON tbl_card
    WHEN NEW.birtyday IS NOT NULL AND NEW.birtyday IS NOT NORMDATE(NEW.birtyday)
BEGIN
    UPDATE tbl_card SET birtyday = NORMDATE(NEW.birtyday) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_custom9_ins AFTER INSERT ON tbl_card
    WHEN NEW.custom9 IS NOT NULL AND NEW.custom9 IS NOT NORMDATE(NEW.custom9)
BEGIN
    UPDATE tbl_card SET custom9 = NORMDATE(NEW.custom9) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_custom9_upd AFTER UPDATE OF custom9 ON tbl_card
    WHEN NEW.custom9 IS NOT NULL AND NEW.custom9 IS NOT NORMDATE(NEW.custom9)
BEGIN
    UPDATE tbl_card SET custom9 = NORMDATE(NEW.custom9) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_custom10_ins AFTER INSERT ON tbl_card
    WHEN NEW.custom10 IS NOT NULL AND NEW.custom10 IS NOT NORMDATE(NEW.custom10)
BEGIN
    UPDATE tbl_card SET custom10 = NORMDATE(NEW.custom10) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_custom10_upd AFTER UPDATE OF custom10 ON tbl_card
    WHEN NEW.custom10 IS NOT NULL AND NEW.custom10 IS NOT NORMDATE(NEW.custom10)
BEGIN
    UPDATE tbl_card SET custom10 = NORMDATE(NEW.custom10) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_custom11_ins AFTER INSERT ON tbl_card
    WHEN NEW.custom11 IS NOT NULL AND NEW.custom11 IS NOT NORMDATE(NEW.custom11)
BEGIN
    UPDATE tbl_card SET custom11 = NORMDATE(NEW.custom11) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_custom11_upd AFTER UPDATE OF custom11 ON tbl_card
    WHEN NEW.custom11 IS NOT NULL AND NEW.custom11 IS NOT NORMDATE(NEW.custom11)
BEGIN
    UPDATE tbl_card SET custom11 = NORMDATE(NEW.custom11) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_custom12_ins AFTER INSERT ON tbl_card
    WHEN NEW.custom12 IS NOT NULL AND NEW.custom12 IS NOT NORMDATE(NEW.custom12)
BEGIN
    UPDATE tbl_card SET custom12 = NORMDATE(NEW.custom12) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_card_custom12_upd AFTER UPDATE OF custom12 ON tbl_card
    WHEN NEW.custom12 IS NOT NULL AND NEW.custom12 IS NOT NORMDATE(NEW.custom12)
BEGIN
    UPDATE tbl_card SET custom12 = NORMDATE(NEW.custom12) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_field_info_RemainTime_ins AFTER INSERT ON tbl_field_info
    WHEN NEW.RemainTime IS NOT NULL AND NEW.RemainTime IS NOT NORMDATE(NEW.RemainTime)
BEGIN
    UPDATE tbl_field_info SET RemainTime = NORMDATE(NEW.RemainTime) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_field_info_RemainTime_upd AFTER UPDATE OF RemainTime ON tbl_field_info
    WHEN NEW.RemainTime IS NOT NULL AND NEW.RemainTime IS NOT NORMDATE(NEW.RemainTime)
BEGIN
    UPDATE tbl_field_info SET RemainTime = NORMDATE(NEW.RemainTime) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_field_info_AlwaysSendTime_ins AFTER INSERT ON tbl_field_info
    WHEN NEW.AlwaysSendTime IS NOT NULL AND NEW.AlwaysSendTime IS NOT NORMDATE(NEW.AlwaysSendTime)
BEGIN
    UPDATE tbl_field_info SET AlwaysSendTime = NORMDATE(NEW.AlwaysSendTime) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_field_info_AlwaysSendTime_upd AFTER UPDATE OF AlwaysSendTime ON tbl_field_info
    WHEN NEW.AlwaysSendTime IS NOT NULL AND NEW.AlwaysSendTime IS NOT NORMDATE(NEW.AlwaysSendTime)
BEGIN
    UPDATE tbl_field_info SET AlwaysSendTime = NORMDATE(NEW.AlwaysSendTime) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_sendsms_send_time_ins AFTER INSERT ON tbl_sendsms
    WHEN NEW.send_time IS NOT NULL AND NEW.send_time IS NOT NORMDATE(NEW.send_time)
BEGIN
    UPDATE tbl_sendsms SET send_time = NORMDATE(NEW.send_time) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_sendsms_send_time_upd AFTER UPDATE OF send_time ON tbl_sendsms
    WHEN NEW.send_time IS NOT NULL AND NEW.send_time IS NOT NORMDATE(NEW.send_time)
BEGIN
    UPDATE tbl_sendsms SET send_time = NORMDATE(NEW.send_time) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_sendsms_detail_send_time_ins AFTER INSERT ON tbl_sendsms_detail
    WHEN NEW.send_time IS NOT NULL AND NEW.send_time IS NOT NORMDATE(NEW.send_time)
BEGIN
    UPDATE tbl_sendsms_detail SET send_time = NORMDATE(NEW.send_time) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_sendsms_detail_send_time_upd AFTER UPDATE OF send_time ON tbl_sendsms_detail
    WHEN NEW.send_time IS NOT NULL AND NEW.send_time IS NOT NORMDATE(NEW.send_time)
BEGIN
    UPDATE tbl_sendsms_detail SET send_time = NORMDATE(NEW.send_time) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_sms_recive_recive_time_ins AFTER INSERT ON tbl_sms_recive
    WHEN NEW.recive_time IS NOT NULL AND NEW.recive_time IS NOT NORMDATE(NEW.recive_time)
BEGIN
    UPDATE tbl_sms_recive SET recive_time = NORMDATE(NEW.recive_time) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_sms_recive_recive_time_upd AFTER UPDATE OF recive_time ON tbl_sms_recive
    WHEN NEW.recive_time IS NOT NULL AND NEW.recive_time IS NOT NORMDATE(NEW.recive_time)
BEGIN
    UPDATE tbl_sms_recive SET recive_time = NORMDATE(NEW.recive_time) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_holiday_holiday_ins AFTER INSERT ON tbl_holiday
    WHEN NEW.holiday IS NOT NULL AND NEW.holiday IS NOT NORMDATE(NEW.holiday)
BEGIN
    UPDATE tbl_holiday SET holiday = NORMDATE(NEW.holiday) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_holiday_holiday_upd AFTER UPDATE OF holiday ON tbl_holiday
    WHEN NEW.holiday IS NOT NULL AND NEW.holiday IS NOT NORMDATE(NEW.holiday)
BEGIN
    UPDATE tbl_holiday SET holiday = NORMDATE(NEW.holiday) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_calendar_task_TaskDate_ins AFTER INSERT ON tbl_calendar_task
    WHEN NEW.TaskDate IS NOT NULL AND NEW.TaskDate IS NOT NORMDATE(NEW.TaskDate)
BEGIN
    UPDATE tbl_calendar_task SET TaskDate = NORMDATE(NEW.TaskDate) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_calendar_task_TaskDate_upd AFTER UPDATE OF TaskDate ON tbl_calendar_task
    WHEN NEW.TaskDate IS NOT NULL AND NEW.TaskDate IS NOT NORMDATE(NEW.TaskDate)
BEGIN
    UPDATE tbl_calendar_task SET TaskDate = NORMDATE(NEW.TaskDate) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_calendar_task_MsgSendTime_ins AFTER INSERT ON tbl_calendar_task
    WHEN NEW.MsgSendTime IS NOT NULL AND NEW.MsgSendTime IS NOT NORMDATE(NEW.MsgSendTime)
BEGIN
    UPDATE tbl_calendar_task SET MsgSendTime = NORMDATE(NEW.MsgSendTime) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER trg_tbl_calendar_task_MsgSendTime_upd AFTER UPDATE OF MsgSendTime ON tbl_calendar_task
    WHEN NEW.MsgSendTime IS NOT NULL AND NEW.MsgSendTime IS NOT NORMDATE(NEW.MsgSendTime)
BEGIN
    UPDATE tbl_calendar_task SET MsgSendTime = NORMDATE(NEW.MsgSendTime) WHERE rowid = NEW.rowid;
END;
