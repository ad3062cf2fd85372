// Every SQL text the program runs on a working database, with sample values, against a
// fresh copy of the real template: a statement that SQLite or the Jet functions cannot
// run fails here, not in front of the user.

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/SqlScript.h"
#include "db/SqlText.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace telvora {
namespace {

const std::string kText = SqlEscape("O'Brien 张三's"); // every quoted text carries an apostrophe
const std::string kPhone = "13800138000";
const std::string kNewPhone = "13700137000";

// Fills %s, %d and %.2d in order with the given texts.
std::string fill(const char* pattern, const std::vector<std::string>& values)
{
    std::string out;
    std::size_t used = 0;
    for (const char* at = pattern; *at; ++at) {
        if (*at == '%') {
            out += used < values.size() ? values[used] : "";
            ++used;
            at = std::strpbrk(at, "sd");
        } else {
            out += *at;
        }
    }
    EXPECT_EQ(used, values.size()) << pattern;
    return out;
}

class WorkingDatabaseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const char* dir = std::getenv("TELVORA_TEMPLATE_DIR");
        if (!dir) {
            GTEST_SKIP() << "TELVORA_TEMPLATE_DIR is not set";
        }
        const std::string path = m_dir.file("work.db");
        std::string error;
        ASSERT_TRUE(CopyDatabase(std::string(dir) + "/SourceDB.db", path, error)) << error;
        ASSERT_TRUE(m_database.Open(path)) << m_database.GetLastError();
        // "@T" stands for the text with the apostrophes, "@P" for the first card's number.
        std::string rows = R"(
            INSERT INTO tbl_card_folder (id, name, sub_id, memos) VALUES (3, '@T', 0, 'x'), (4, 'b', 3, 'b');
            INSERT INTO tbl_card (id, folder_id, phone, name, title, sex, status, birtyday, isll, custom9, create_date)
              VALUES (1, 3, '@P', '@T', '先生', '男', '订阅', CDATE('2024-2-29'), 0, CDATE('2026-3-5'), Now()),
                     (2, 3, '13900139000', '李四', '小姐', '女', NULL, NULL, 1, NULL, Now()),
                     (3, 4, '13600136000', '王五', '', '男', '退订', CDATE('1990-1-7'), 1, NULL, Now());
            INSERT INTO tbl_card_copy (id, folder_id, card_id) VALUES (1, 4, 1);
            INSERT INTO tbl_sendsms (id, content, send_time, send_mode, status, success_count, fail_count, is_idle, jobid)
              VALUES (100, '@T', '2026-3-5 9:05:00', 1, '已提交', 2, 0, 0, 'J1'),
                     (101, 'later', '2026-3-6 10:00:00', 2, '已发送', 0, 0, 1, 'J2');
            INSERT INTO tbl_sendsms_detail (id, jobid, phones, send_time, status, group_id, split_count, content)
              VALUES (900, 'J1', '@P', '2026-3-5 9:05:00', 1, 100, 2, '@T');
            INSERT INTO tbl_sms_recive (id, phone, content, recive_time) VALUES (1, '@P', '@T', CDATE('2026-3-5 9:06:00'));
            INSERT INTO tbl_calendar_task (ID, Name, Subject, IsIFRemain, IsMsgRemain, IsAllDay, TaskDate, Status,
              IFRemainBefore, MsgRemainBefore, TaskType, MsgPhones, MsgSendTime, InsertTitle)
              VALUES (7, '@T', 's', 1, 0, 0, CDate('2026-3-5 10:00'), 1, 5, 0, 0, '', NULL, 0);
            INSERT INTO tbl_message_folder (id, ClassName) VALUES (40, '@T');
            INSERT INTO tbl_message (ID, Title, Message, ClassName) VALUES (8, 't', 'm', '@T');
            INSERT INTO tbl_holiday (id, name, holiday, content, Type) VALUES (500, '@T', CDate('2026-3-5'), 'c', 1);
        )";
        for (const auto& [token, value] : {std::pair {"@T", kText}, std::pair {"@P", kPhone}}) {
            for (std::size_t at = rows.find(token); at != std::string::npos; at = rows.find(token, at + value.size())) {
                rows.replace(at, 2, value);
            }
        }
        ASSERT_TRUE(ExecuteScript(m_database, rows)) << m_database.GetLastError();
    }

    // The first column of every row, as text.
    std::vector<std::string> column(const std::string& sql)
    {
        std::vector<std::string> values;
        CADORecordset recordset(&m_database);
        EXPECT_TRUE(recordset.Open(sql)) << recordset.GetLastError();
        for (; !recordset.IsEOF(); recordset.MoveNext()) {
            recordset.GetFieldValue(0, values.emplace_back());
        }
        return values;
    }

    test::TempDir m_dir;
    CADODataBase m_database;
};

struct Statement
{
    const char* name;
    const char* pattern;
    std::vector<std::string> values;
};

class JetStatementTest : public WorkingDatabaseTest, public testing::WithParamInterface<Statement>
{
};

// A SELECT goes through a recordset as the program runs it, anything else through Execute.
TEST_P(JetStatementTest, Runs)
{
    const std::string sql = fill(GetParam().pattern, GetParam().values);
    CADORecordset recordset(&m_database);
    if (sql.find_first_not_of(' ') == sql.find("SELECT")) {
        EXPECT_TRUE(recordset.Open(sql)) << recordset.GetLastError();
    } else {
        EXPECT_TRUE(m_database.Execute(sql)) << m_database.GetLastError();
    }
}

const std::string kCardColumns = "phone,name,birtyday,custom1,custom9";
const std::string kSearch = " WHERE  name like '%" + kText
    + "%' AND  FORMAT(birtyday, 'mmdd') = '0229' AND "
      " (birtyday >=CDATE('2024-2-1') AND birtyday <CDATE('2024-3-1'))  AND "
      " create_date = CDATE('2026-3-5') OR custom1 LIKE '%x%' AND folder_id = 3";
const std::string kSentList
    = "SWITCH(send_mode=1,'普通发送',send_mode=2,'定时发送') AS 发送模式, content AS 短信内容, "
      "success_count AS 成功条数, fail_count AS 失败条数, format(send_time, 'yyyy-mm-dd hh:nn') "
      "AS 发送日期 ";
const std::string kDetailList = "IIF(A.status = 1, '提交成功', '提交异常') AS 发送状态, A.phones AS 手机号码, "
                                "A.split_count AS 短信分段, format(A.send_time, 'yyyy-mm-dd hh:nn:mm') AS 发送日期, ";
const std::string kDetailFrom = "tbl_sendsms_detail A LEFT OUTER JOIN tbl_sendsms B ON A.group_id = B.id WHERE "
                                "a.group_id = 100 ORDER BY a.id";

// clang-format off
const Statement kStatements[] = {
    // Schema, parameters, clean-up and clearing
    {"UnknownFolderCount", "SELECT COUNT(*) FROM tbl_card_folder WHERE name = '陌生回复号码'", {}},
    {"UnknownFolderInsert", "INSERT INTO tbl_card_folder (id,name,sub_id,memos) VALUES ( 999, '陌生回复号码', 0,  '陌生回复号码')", {}},
    {"CardCopyMax", "SELECT max(id) FROM tbl_card_copy", {}},
    {"ParamsLoad", "SELECT para_name, para_value FROM tbl_sys_param ", {}},
    {"ParamSave", "UPDATE tbl_sys_param SET para_value='%s' WHERE para_name='%s'", {kText, "SMSTail"}},
    {"CleanupSends", "DELETE FROM tbl_sendsms WHERE send_time <= CDATE('%s')", {"2026-3-5"}},
    {"CleanupDetails", "DELETE FROM tbl_sendsms_detail WHERE send_time <= CDATE('%s')", {"2026-3-5"}},
    {"ClearDetails", "DELETE FROM tbl_sendsms_detail", {}},
    {"ClearSends", "DELETE FROM tbl_sendsms", {}},
    {"ParamAccount", "UPDATE tbl_sys_param SET para_value='%s' WHERE para_name='Account'", {kText}},
    {"ParamServer", "UPDATE tbl_sys_param SET para_value='%s' WHERE para_name='ServerIP'", {"127.0.0.1:8080"}},
    {"ParamPassword", "UPDATE tbl_sys_param SET para_value='%s' WHERE para_name='Password'", {kText}},
    {"ParamRemember", "UPDATE tbl_sys_param SET para_value='%d' WHERE para_name='RememberPwd'", {"1"}},
    {"DueReminders", "SELECT IFRemainBefore, TaskDate FROM tbl_calendar_task WHERE IsIFRemain=1 AND Status<>255 ", {}},
    // Send engine
    {"NamesForSend", "SELECT phone, name  FROM tbl_card order by id", {}},
    {"TitlesForSend", "SELECT phone, title  FROM tbl_card order by id", {}},
    {"NextSendId", "SELECT MAX(ID)+1 FROM tbl_sendsms", {}},
    {"SendInsertNow", "INSERT INTO tbl_sendsms ( id,content, send_time, send_mode, status, success_count, fail_count, is_idle ) VALUES (%d, '%s', '%s', %d, '已提交', 0, 0, %d )", {"102", kText, "2026-3-7 8:00:00", "1", "0"}},
    {"SendInsertScheduled", "INSERT INTO tbl_sendsms ( id, content, send_time, send_mode, status, success_count, fail_count, is_idle ) VALUES ( %d, '%s', '%s', %d, '已发送', 0, 0, %d)", {"103", kText, "2026-3-8 8:00:00", "3", "1"}},
    {"SentPhraseLookup", "SELECT Title FROM tbl_message WHERE Message = '%s' AND ClassName='已发送短语'", {kText}},
    {"NextPhraseId", "SELECT MAX(ID)+1 FROM tbl_message", {}},
    {"SentPhraseInsert", "INSERT INTO tbl_message ( id, Title,Message,ClassName) VALUES (%d, '已发短语','%s','已发送短语')", {"9", kText}},
    {"NextDetailId", "SELECT MAX(ID)+1 FROM tbl_sendsms_detail", {}},
    {"DetailInsert", "INSERT INTO tbl_sendsms_detail (id,jobid, phones, send_time, status, group_id, split_count, content ) VALUES (%d,'%s','%s','%s',%d,%d,%d, '%s')", {"901", "J1", kNewPhone, "2026-3-5 9:05:00", "1", "100", "2", kText}},
    {"BatchFailed", "UPDATE tbl_sendsms_detail SET status=-1 WHERE group_id= %d", {"100"}},
    {"AddSuccess", "UPDATE tbl_sendsms SET success_count = success_count + %d WHERE id=%d", {"2", "100"}},
    {"AddFailure", "UPDATE tbl_sendsms SET fail_count = fail_count + %d WHERE id=%d", {"2", "100"}},
    {"SetJobIds", "UPDATE tbl_sendsms SET jobid = '%s' WHERE id=%d", {"J1;J2", "100"}},
    {"NumberRefused", "UPDATE tbl_sendsms_detail SET status=-1 WHERE group_id= %d AND phones='%s'", {"100", kPhone}},
    // Send view and personalised send
    {"TypedNumbers", "SELECT phone  FROM tbl_inputphone ORDER BY id", {}},
    {"TypedNumberInsert", "INSERT INTO tbl_inputphone (phone) VALUES ('%s')", {kPhone}},
    {"PersonalSendNow", "INSERT INTO tbl_sendsms ( content, send_time, send_mode, status, success_count, fail_count, is_idle ) VALUES ( '%s', Now(), %d, '已提交', 0, 0, %d )", {kText, "4", "0"}},
    {"PersonalSendScheduled", "INSERT INTO tbl_sendsms ( content, send_time, send_mode, status, success_count, fail_count, is_idle ) VALUES ( '%s', '%s', %d, '已发送', 0, 0, %d)", {kText, "2026-12-6 9:5:3", "4", "1"}},
    {"LastSendId", "SELECT MAX(ID) FROM tbl_sendsms", {}},
    {"PersonalDetailNow", "INSERT INTO tbl_sendsms_detail (jobid, phones, send_time, status, group_id, split_count, content ) VALUES ('%s','%s',Now(),%d,%d,%d, '%s' )", {"J1", kPhone, "1", "100", "1", kText}},
    {"PersonalDetailScheduled", "INSERT INTO tbl_sendsms_detail (jobid, phones, send_time, status, group_id, split_count, content ) VALUES ('%s','%s','%s',%d,%d,%d, '%s' )", {"J1", kPhone, "2026-12-6 9:5:3", "1", "100", "1", kText}},
    {"PersonalTotals", "UPDATE tbl_sendsms SET success_count = %d, fail_count=%d, jobid = '%s' WHERE id=%d", {"3", "1", "J9", "100"}},
    // Recipient picking
    {"FolderSubscribers", "SELECT phone  FROM tbl_card WHERE (status <> '退订' OR status IS NULL) AND (folder_id =%d OR id in (SELECT card_id FROM tbl_card_copy WHERE folder_id=%d) ) ORDER BY id", {"4", "4"}},
    {"FolderMembers", "SELECT phone,name FROM tbl_card WHERE folder_id=%d OR id in (SELECT card_id FROM tbl_card_copy WHERE folder_id=%d) ORDER BY id", {"4", "4"}},
    {"PickBySearch", "SELECT name, phone  FROM tbl_card %s ORDER BY id", {kSearch}},
    {"PickFirst500", "SELECT TOP 500 phone,name FROM tbl_card WHERE folder_id=%d ORDER BY id", {"3"}},
    // Card store
    {"MaxCardId", "SELECT Max(id) FROM tbl_card", {}},
    {"Folders", "SELECT id, name, sub_id  FROM tbl_card_folder ORDER BY id", {}},
    {"NextFolderId", "SELECT MAX(ID)+1 FROM tbl_card_folder", {}},
    {"FolderByName", "SELECT id FROM tbl_card_folder WHERE name = '%s'", {kText}},
    {"FolderInsert", "INSERT INTO tbl_card_folder (id,name, sub_id, memos ) VALUES (%d, '%s',%d, '%s')", {"5", kText, "3", kText}},
    {"MaxFolderId", "SELECT MAX(id) FROM tbl_card_folder", {}},
    {"FolderRename", "UPDATE tbl_card_folder SET name = '%s' WHERE id=%d", {kText, "4"}},
    {"FolderCardsDelete", "DELETE FROM tbl_card WHERE  folder_id = %d", {"4"}},
    {"FolderDelete", "DELETE FROM tbl_card_folder WHERE  id = %d", {"4"}},
    {"FolderCopiesDelete", "DELETE FROM tbl_card_copy WHERE  folder_id = %d", {"4"}},
    {"AllCardsDelete", "DELETE FROM tbl_card ", {}},
    {"AllCopiesDelete", "DELETE FROM tbl_card_copy ", {}},
    {"FolderList", "SELECT id, %s FROM tbl_card WHERE folder_id = %d OR id in (SELECT card_id FROM tbl_card_copy WHERE folder_id=%d) ORDER BY id", {kCardColumns, "4", "4"}},
    {"CardsDelete", "DELETE FROM tbl_card WHERE id IN (%s)", {"1,2"}},
    {"CardCopiesDelete", "DELETE FROM tbl_card_copy WHERE card_id IN (%s)", {"1,2"}},
    {"CopyDelete", "DELETE FROM tbl_card_copy WHERE CARD_ID=%d AND FOLDER_ID=%d", {"1", "4"}},
    {"CopiesOfCard", "SELECT folder_id FROM tbl_card_copy WHERE CARD_ID = %d", {"1"}},
    {"HomeCardDelete", "DELETE FROM tbl_card WHERE id = %d  AND FOLDER_ID=%d", {"1", "3"}},
    {"CardMove", "UPDATE tbl_card SET folder_id = %d WHERE id = %d ", {"4", "1"}},
    {"CopyLookup", "SELECT id FROM tbl_card_copy WHERE folder_id=%d AND card_id=%d", {"4", "1"}},
    {"CopyInsert", "INSERT INTO tbl_card_copy ( id, folder_id, card_id) VALUES ( %d, %d, %d)", {"2", "3", "2"}},
    {"Emails", "SELECT email FROM tbl_card WHERE id IN (%s) ORDER BY id", {"1,2"}},
    {"Qq", "SELECT qq FROM tbl_card WHERE id =%s ORDER BY id", {"1"}},
    {"ActiveFields", "SELECT * FROM tbl_field_info WHERE ValidFlag=TRUE ORDER BY id", {}},
    {"SearchList", "SELECT id,%s  FROM tbl_card %s ORDER BY id", {kCardColumns, kSearch}},
    // Card editing
    {"CardRead", "SELECT * FROM tbl_card where id=%s", {"1"}},
    {"CardInsert", "INSERT INTO tbl_card (id, phone, name, title, sex, create_date, status, memos, folder_id, birtyday, isll, fax, tel, email, qq, company, post, addr) VALUES (%d, '%s','%s','%s','%s',Now(),'%s','%s',%d,%s,%d,'%s','%s','%s','%s','%s','%s','%s')", {"10", kNewPhone, kText, kText, "男", "订阅", kText, "3", "CDATE('2024-2-29')", "1", kText, kText, kText, kText, kText, kText, kText}},
    {"CardInsertCustom", "INSERT INTO tbl_card (id, phone, name, title, sex, create_date, status, memos, folder_id, birtyday, isll, fax, tel, email, qq, company, post, addr,%s) VALUES (%d, '%s','%s','%s','%s',Now(),'%s','%s',%d,%s,%d,'%s','%s','%s','%s','%s','%s','%s',%s)", {"custom1,custom9,custom10", "10", kNewPhone, kText, kText, "男", "订阅", kText, "3", "NULL", "0", kText, kText, kText, kText, kText, kText, kText, "'" + kText + "',CDATE('2026-12-6'),NULL"}},
    {"CardUpdate", "UPDATE tbl_card SET phone='%s', name='%s', title='%s', sex='%s', status='%s', memos='%s', birtyday=%s, isll=%d, fax='%s', tel='%s', email='%s', qq='%s', company='%s', post='%s', addr='%s' WHERE ID=%s", {kPhone, kText, kText, "女", "无效", kText, "CDATE('1988-12-31')", "1", kText, kText, kText, kText, kText, kText, kText, "1"}},
    {"CardUpdateCustom", "UPDATE tbl_card SET phone='%s', name='%s', title='%s', sex='%s', status='%s', memos='%s', birtyday=%s, isll=%d, fax='%s', tel='%s', email='%s', qq='%s', company='%s', post='%s', addr='%s',%s WHERE ID=%s", {kPhone, kText, kText, "女", "无效", kText, "NULL", "0", kText, kText, kText, kText, kText, kText, kText, "custom1='" + kText + "',custom9=NULL,custom10=CDATE('2026-1-2')", "1"}},
    {"FieldCatalogue", "SELECT * FROM tbl_field_info ORDER BY id", {}},
    {"FieldRename", "UPDATE tbl_field_info SET NewName='%s' WHERE id = %s", {kText, "16"}},
    {"FieldValid", "UPDATE tbl_field_info SET ValidFlag=%d WHERE id = %s", {"1", "16"}},
    {"FieldShown", "UPDATE tbl_field_info SET ShowFlag=%d WHERE id = %s", {"0", "16"}},
    {"CustomTextFields", "SELECT * FROM tbl_field_info where ValidFlag=TRUE AND FieldType =2 ORDER BY id", {}},
    // Card import
    {"SheetImport", " %s, id, folder_id) VALUES ( %s, %d, %d)", {"INSERT INTO tbl_card ( phone,name,sex,birtyday,custom1", "'" + kNewPhone + "','" + kText + "','男',CDATE('2024-2-29'),'" + kText + "'", "11", "3"}},
    {"TextImport", "INSERT INTO tbl_card ( phone, name, sex, folder_id, memos  %s, id, create_date) VALUES ( %s, %d, Now() )", {"", "'" + kNewPhone + "','" + kText + "','男',3,'" + kText + " '", "12"}},
    {"WizardImportDate", "INSERT INTO tbl_card (%s%s%d,%d)", {"phone,birtyday,custom9,id, folder_id ) VALUES (", "'" + kNewPhone + "','2024-2-29','2026-1-5',", "13", "3"}},
    {"ReplaceByPhone", "DELETE FROM tbl_card WHERE phone='%s'", {kPhone}},
    {"CardByPhone", "SELECT id FROM tbl_card WHERE phone='%s'", {kPhone}},
    {"ImportFolderInsert", "INSERT INTO tbl_card_folder (name, sub_id, memos ) VALUES ('%s',%d, '%s')", {kText, "3", kText}},
    // Send records
    {"SentRecords", "SELECT * FROM tbl_sendsms WHERE is_idle=FALSE ORDER BY id DESC", {}},
    {"ScheduledRecords", "SELECT * FROM tbl_sendsms WHERE is_idle=TRUE ORDER BY id DESC", {}},
    {"CancelScheduled", "UPDATE tbl_sendsms SET status='定时已取消' WHERE id=%s", {"101"}},
    {"RecordDelete", "DELETE FROM tbl_sendsms WHERE ID = %s", {"100"}},
    {"RecordDetailsDelete", "DELETE FROM tbl_sendsms_detail WHERE group_id = %s", {"100"}},
    {"SentDetailsClear", "DELETE FROM tbl_sendsms_detail WHERE group_id IN (SELECT id FROM tbl_sendsms WHERE is_idle<>TRUE )", {}},
    {"SentClear", "DELETE FROM tbl_sendsms WHERE is_idle <> TRUE", {}},
    {"ExportSent", "SELECT %s FROM %s", {kSentList, " tbl_sendsms WHERE is_idle=FALSE ORDER BY id"}},
    {"ExportScheduled", "SELECT %s FROM %s", {kSentList, " tbl_sendsms WHERE is_idle=TRUE ORDER BY id"}},
    {"ExportDetails", "SELECT %s FROM %s", {kDetailList + "B.content AS 短信内容 ", kDetailFrom}},
    {"ExportSheetDetails", "SELECT %s FROM %s", {kDetailList + "A.content AS 短信内容 ", kDetailFrom}},
    {"DetailPhones", "SELECT phones FROM tbl_sendsms_detail WHERE group_id = %s ORDER BY id", {"100"}},
    {"Details", "SELECT * FROM tbl_sendsms_detail WHERE group_id = %s ORDER BY id", {"100"}},
    // Received messages
    {"NextReplyId", "SELECT MAX(ID)+1 FROM tbl_sms_recive", {}},
    {"ReplySeen", "SELECT * FROM tbl_sms_recive WHERE phone='%s' AND content='%s' AND recive_time = CDATE('%s')", {kPhone, kText, "2026-03-05 09:06:00"}},
    {"ReplierKnown", "SELECT COUNT(*) FROM tbl_card WHERE phone = '%s'", {kPhone}},
    {"ReplierCard", "INSERT INTO tbl_card (id, folder_id,phone,memos) VALUES (%d, 999, '%s', '%s' )", {"14", kNewPhone, kText}},
    {"ReplyInsert", "INSERT INTO tbl_sms_recive (id, phone, content, recive_time) VALUES (%d, '%s', '%s', CDATE('%s') )", {"2", kNewPhone, kText, "2026-3-5 9:7:8"}},
    {"Replies", "SELECT A.id, A.phone ,A.content ,A.recive_time ,A.is_read,B.name,B.id FROM tbl_sms_recive A LEFT OUTER JOIN tbl_card B ON A.phone = B.phone", {}},
    {"ReplyRead", "UPDATE tbl_sms_recive SET is_read=1 WHERE id=%s", {"1"}},
    {"ReplyDelete", "DELETE FROM tbl_sms_recive WHERE ID = %s", {"1"}},
    {"RepliesClear", "DELETE FROM tbl_sms_recive", {}},
    // Record search and statistics
    {"DetailSearch", "SELECT A.id,A.phones,A.content,A.send_time,A.split_count,A.status,B.content FROM tbl_sendsms_detail A LEFT OUTER JOIN tbl_sendsms B ON A.group_id = B.id WHERE A.send_time > CDate('%s') AND A.send_time < CDate('%s') %s ORDER BY A.send_time DESC", {"2026-3-5", "2026-3-6", " AND A.phones='" + kPhone + "' AND ( A.content like '%" + kText + "%' OR B.content like '%" + kText + "%')"}},
    {"StatsByDay", "SELECT * FROM tbl_sendsms WHERE send_time > CDATE('%s-%d-1') AND send_time < CDATE('%s-%d-1') ORDER BY send_time DESC", {"2026", "3", "2026", "4"}},
    {"StatsByMonth", "SELECT * FROM tbl_sendsms WHERE send_time > CDATE('%s-1-1') AND send_time < CDATE('%d-1-1') ORDER BY send_time DESC", {"2026", "2027"}},
    // Birthdays, tasks, holidays, today
    {"BirthdaysBoth", "SELECT phone FROM tbl_card WHERE (FORMAT(birtyday, 'mmdd') = '%.2d%.2d' AND isLL=FALSE) OR ( FORMAT(birtyday, 'mmdd') = '%.2d%.2d' AND isLL=TRUE)", {"02", "29", "01", "07"}},
    {"BirthdaysSolar", "SELECT phone FROM tbl_card WHERE FORMAT(birtyday, 'mmdd') = '%.2d%.2d' AND isLL=FALSE", {"02", "29"}},
    {"BirthSendDate", "UPDATE tbl_sys_param SET para_value = '%s' WHERE para_name = 'BirthSendDate'", {"2026-3-5"}},
    {"Tasks", "SELECT * FROM tbl_calendar_task ORDER BY ID", {}},
    {"TasksOfType", "SELECT * FROM tbl_calendar_task WHERE TaskType = %d ORDER BY ID", {"0"}},
    {"DueRemindersByDate", "SELECT IFRemainBefore, TaskDate, Name, id,Subject FROM tbl_calendar_task WHERE IsIFRemain=1 AND Status<>255 order by TaskDate", {}},
    {"TaskSnooze", "UPDATE tbl_calendar_task SET TaskDate=CDate('%s') WHERE id=%d", {"2026-3-5 10:15:00", "7"}},
    {"TaskDone", "UPDATE tbl_calendar_task SET Status=255 WHERE id=%d", {"7"}},
    {"TasksDone", "UPDATE tbl_calendar_task SET Status=255 WHERE id in (%s)", {"7,8"}},
    {"TaskRead", "SELECT * FROM tbl_calendar_task WHERE id = %d ORDER BY ID", {"7"}},
    {"TaskInsert", "INSERT INTO tbl_calendar_task (id, Name, Subject, IsIFRemain, IsMsgRemain, IsAllDay, TaskDate, Status, IFRemainBefore, MsgRemainBefore, TaskType, MsgPhones, MsgSendTime, InsertTitle ) VALUES ( %d, '%s', '%s', %d, %d,%d, CDate('%s'),1, %d, %d,%d, '%s', CDate('%s'), %d )", {"8", kText, kText, "1", "1", "0", "2026-3-5 10:30:00", "5", "10", "1", kPhone, "2026-3-5 10:20:00", "1"}},
    {"TaskUpdate", "UPDATE tbl_calendar_task SET Name='%s', Subject='%s', IsIFRemain=%d, IsMsgRemain=%d, IsAllDay=%d, TaskDate=CDate('%s'), IFRemainBefore=%d, TaskType=%d WHERE ID=%d", {kText, kText, "1", "0", "1", "2024-2-29 8:00:00", "15", "3", "7"}},
    {"TaskDelete", "DELETE FROM tbl_calendar_task WHERE id = %d", {"7"}},
    {"TasksClear", "DELETE FROM tbl_calendar_task WHERE Status=255", {}},
    {"HolidaysInRange", "SELECT id, name, holiday FROM tbl_holiday WHERE (holiday > CDate('%s') AND holiday < CDate('%s') AND Type <> 2) OR (holiday > CDate('%s') AND holiday < CDate('%s') AND Type=2) ORDER BY ID", {"2026-3-1", "2026-4-1", "2026-1-12", "2026-2-12"}},
    {"SolarHolidaysInRange", "SELECT id, name, holiday FROM tbl_holiday WHERE holiday > CDate('%s') AND holiday < CDate('%s') AND Type <> 2 ORDER BY ID", {"2026-3-1", "2026-4-1"}},
    {"HolidayRead", "SELECT name, holiday,content FROM tbl_holiday WHERE id = %d ORDER BY ID", {"500"}},
    {"HolidayTaskInsert", "INSERT INTO tbl_calendar_task (id, Name, Subject, IsIFRemain, IsMsgRemain, IsAllDay, TaskDate, Status, IFRemainBefore, MsgRemainBefore, TaskType, MsgPhones, MsgSendTime ) VALUES ( %d, '%s', '%s', %d, %d,%d, CDate('%s'),1, %d, %d,%d, '%s', CDate('%s') )", {"9", kText, kText, "0", "1", "1", "2026-3-5", "0", "0", "2", kPhone, "2026-3-5 8:00"}},
    {"HolidaysOfType", "SELECT id, name, holiday FROM tbl_holiday WHERE Type = %d ORDER BY ID", {"4"}},
    {"HolidayDelete", "DELETE FROM tbl_holiday WHERE id=%d", {"500"}},
    {"HolidayInsertLeapDay", "INSERT INTO tbl_holiday ( name, holiday,Type) VALUES ('%s', CDate('2008-%d-%d'), 4 )", {kText, "2", "29"}},
    {"TodaySent", "SELECT COUNT(split_count) FROM tbl_sendsms_detail WHERE status=1 and YEAR(send_time) =%d  AND MONTH(send_time) =%d AND DAY(send_time) =%d", {"2026", "3", "5"}},
    {"TodayReplies", "SELECT COUNT(*) FROM tbl_sms_recive WHERE YEAR(recive_time) =%d  AND MONTH(recive_time) =%d AND DAY(recive_time) =%d ", {"2026", "3", "5"}},
    {"TodayHolidays", "SELECT name,id FROM tbl_holiday WHERE (YEAR(holiday) =%d  AND MONTH(holiday) =%d AND DAY(holiday) =%d AND Type <> 2) OR (YEAR(holiday) =%d  AND MONTH(holiday) =%d AND DAY(holiday) =%d AND Type = 2) ORDER BY ID DESC", {"2026", "3", "5", "2026", "1", "16"}},
    {"TodayBirthdays", "SELECT count(*) FROM tbl_card WHERE (FORMAT(birtyday, 'mmdd') = '%.2d%.2d' AND isLL=FALSE) OR ( FORMAT(birtyday, 'mmdd') = '%.2d%.2d' AND isLL=TRUE)", {"03", "05", "01", "16"}},
    {"CustomDateFields", "SELECT * FROM tbl_field_info where id > 23 ORDER BY id", {}},
    {"CustomDateDue", "SELECT phone FROM tbl_card WHERE FORMAT(%s, 'mmdd') = '%.2d%.2d'", {"custom9", "03", "05"}},
    {"CustomDateSent", "UPDATE tbl_field_info SET AlwaysSendTime=Now() WHERE ID=%d", {"24"}},
    {"CustomDateSettingsOn", "UPDATE tbl_field_info SET RemainType=%d, InsertTitle=%d,RemainContent='%s',RemainTime=CDATE('%s'), ValidFlag=TRUE WHERE ID=%d", {"1", "1", kText, "1900-01-01 9:30:00", "24"}},
    {"CustomDateSettings", "UPDATE tbl_field_info SET RemainType=%d, InsertTitle=%d,RemainContent='%s',RemainTime=CDATE('%s') WHERE ID=%d", {"0", "0", kText, "1900-1-1 9:30", "25"}},
    // Phrase library
    {"PhraseGroups", "SELECT id, ClassName  FROM tbl_message_folder ORDER BY id", {}},
    {"PhrasesOfGroup", "SELECT ID, Title, Message,ClassName  FROM tbl_message WHERE ClassName = '%s' ORDER BY id", {kText}},
    {"PhraseInsert", "INSERT INTO tbl_message (Title, Message, ClassName) VALUES ('%s', '%s', '%s')", {kText, kText, kText}},
    {"PhraseUpdate", "UPDATE tbl_message SET Title='%s', Message='%s', ClassName='%s' WHERE id = %d", {kText, kText, kText, "8"}},
    {"PhraseDelete", "DELETE FROM tbl_message WHERE id = %d", {"8"}},
    {"PhraseGroupByName", "SELECT id FROM tbl_message_folder WHERE ClassName = '%s'", {kText}},
    {"PhraseGroupInsert", "INSERT INTO tbl_message_folder(ClassName) VALUES ('%s')", {kText}},
    {"MaxPhraseGroupId", "SELECT MAX(id) FROM tbl_message_folder", {}},
    {"PhraseGroupRename", "UPDATE tbl_message_folder SET ClassName = '%s' WHERE id=%d", {kText, "40"}},
    {"PhrasesRegroup", "UPDATE tbl_message SET ClassName = '%s' WHERE ClassName='%s'", {"new", kText}},
    {"PhrasesOfGroupDelete", "DELETE FROM tbl_message WHERE  ClassName = '%s'", {kText}},
    {"PhraseGroupDelete", "DELETE FROM tbl_message_folder WHERE  id = %d", {"40"}},
    {"PhraseImport", "INSERT INTO tbl_message ( Title,  ClassName, Message ) VALUES ( '短信语', '%s', '%s')", {kText, kText}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Corpus, JetStatementTest, testing::ValuesIn(kStatements),
    [](const testing::TestParamInfo<Statement>& info) { return info.param.name; });

TEST_F(WorkingDatabaseTest, StoredValuesReadBackAsTheProgramExpects)
{
    // Leap-day birthdays are found by month and day; lunar ones by their own date.
    EXPECT_EQ(column("SELECT phone FROM tbl_card WHERE (FORMAT(birtyday, 'mmdd') = '0229' AND isLL=FALSE) OR "
                     "( FORMAT(birtyday, 'mmdd') = '0107' AND isLL=TRUE) ORDER BY id"),
        (std::vector<std::string> {kPhone, "13600136000"}));
    // Date texts without leading zeros are stored in the one sortable form.
    ASSERT_TRUE(m_database.Execute("UPDATE tbl_card SET birtyday = '2026-12-6 9:5:3' WHERE id = 1"));
    EXPECT_EQ(column("SELECT birtyday FROM tbl_card WHERE id = 1"), std::vector<std::string> {"2026-12-06 09:05:03"});
    EXPECT_EQ(
        column("SELECT send_time FROM tbl_sendsms WHERE id = 100"), std::vector<std::string> {"2026-03-05 09:05:00"});
    EXPECT_EQ(column("SELECT name FROM tbl_card WHERE name like '%" + SqlEscape("Brien 张三'") + "%'"),
        std::vector<std::string> {"O'Brien 张三's"});
}

// A value written into a column, and what the column then holds ("<error>": refused).
struct ColumnWrite
{
    const char* name;
    const char* value;
    const char* stored;
};

std::string writeName(const testing::TestParamInfo<ColumnWrite>& info)
{
    return info.param.name;
}

class DateColumnTest : public WorkingDatabaseTest, public testing::WithParamInterface<ColumnWrite>
{
};

// By INSERT and by UPDATE alike; a refused value fails the statement and changes nothing.
TEST_P(DateColumnTest, KeepsDatesInTheStoredFormAndRefusesTheRest)
{
    const std::string value = GetParam().value;
    const bool refused = GetParam().stored == std::string("<error>");
    EXPECT_EQ(!refused,
        m_database.Execute("INSERT INTO tbl_holiday (id, name, holiday, Type) VALUES (600, 'h', " + value + ", 4)"));
    EXPECT_EQ(!refused, m_database.Execute("UPDATE tbl_card SET birtyday = " + value + " WHERE id = 1"));
    const std::string stored = refused ? "2024-02-29 00:00:00" : GetParam().stored;
    EXPECT_EQ(
        column("SELECT IFNULL(birtyday, '<NULL>') FROM tbl_card WHERE id = 1"), std::vector<std::string> {stored});
    EXPECT_EQ(column("SELECT IFNULL(holiday, '<NULL>') FROM tbl_holiday WHERE id = 600"),
        refused ? std::vector<std::string> {} : std::vector<std::string> {stored});
}

INSTANTIATE_TEST_SUITE_P(Values, DateColumnTest,
    testing::Values(ColumnWrite {"Dotted", "'2024.2.29'", "2024-02-29 00:00:00"},
        ColumnWrite {"Chinese", "'2026年3月5日 下午9:05'", "2026-03-05 21:05:00"},
        ColumnWrite {"Cdate", "CDATE('12/6/2026 9:05 PM')", "2026-12-06 21:05:00"},
        ColumnWrite {"Null", "NULL", "<NULL>"}, ColumnWrite {"ImpossibleDay", "'2023.2.29'", "<error>"},
        ColumnWrite {"Empty", "''", "<error>"}, ColumnWrite {"SerialText", "'45351'", "<error>"},
        ColumnWrite {"Number", "45351", "<error>"}, ColumnWrite {"Word", "'soon'", "<error>"}),
    writeName);

class YesNoColumnTest : public WorkingDatabaseTest, public testing::WithParamInterface<ColumnWrite>
{
};

TEST_P(YesNoColumnTest, HoldsOneOrZeroOnly)
{
    const std::string value = GetParam().value;
    const bool refused = GetParam().stored == std::string("<error>");
    EXPECT_EQ(!refused,
        m_database.Execute("INSERT INTO tbl_sendsms (id, content, is_idle) VALUES (700, 'x', " + value + ")"));
    EXPECT_EQ(!refused, m_database.Execute("UPDATE tbl_card SET isll = " + value + " WHERE id = 1"));
    const std::string stored = refused ? "0" : GetParam().stored;
    EXPECT_EQ(column("SELECT typeof(isll) || ':' || isll FROM tbl_card WHERE id = 1"),
        std::vector<std::string> {"integer:" + stored});
    EXPECT_EQ(column("SELECT typeof(is_idle) || ':' || is_idle FROM tbl_sendsms WHERE id = 700"),
        refused ? std::vector<std::string> {} : std::vector<std::string> {"integer:" + stored});
    // Every card is then found by exactly one of the two tests the program writes.
    EXPECT_EQ(column("SELECT (SELECT COUNT(*) FROM tbl_card WHERE isLL=TRUE) + (SELECT COUNT(*) FROM tbl_card "
                     "WHERE isLL=FALSE) = COUNT(*) FROM tbl_card"),
        std::vector<std::string> {"1"});
}

INSTANTIATE_TEST_SUITE_P(Values, YesNoColumnTest,
    testing::Values(ColumnWrite {"MinusOne", "-1", "1"}, ColumnWrite {"Two", "2", "1"},
        ColumnWrite {"True", "TRUE", "1"}, ColumnWrite {"False", "FALSE", "0"}, ColumnWrite {"Null", "NULL", "0"},
        ColumnWrite {"Word", "'yes'", "1"}, ColumnWrite {"NumberText", "'-1'", "1"},
        ColumnWrite {"Nonsense", "'maybe'", "<error>"}),
    writeName);

} // namespace
} // namespace telvora
