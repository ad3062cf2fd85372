#include "db/SchemaMigrations.h"

namespace telvora {

namespace {

// Add a step at the end for every change of the schema; never change a step that has
// been released, since databases out there already carry it.
constexpr SchemaMigration kMigrations[] = {
    {2, "yes/no columns hold 1 or 0, dates in the stored form", R"sql(
    -- Dates the first date reader did not know (2024.2.29, 2026年3月5日, 9:05 PM ...) were
    -- kept as typed; put them in the stored form so that date queries find them.
    UPDATE tbl_card SET create_date = CDATE(create_date)
        WHERE CASE WHEN ISDATE(create_date) THEN create_date IS NOT CDATE(create_date) END;
    UPDATE tbl_card SET birtyday = CDATE(birtyday)
        WHERE CASE WHEN ISDATE(birtyday) THEN birtyday IS NOT CDATE(birtyday) END;
    UPDATE tbl_card SET custom9 = CDATE(custom9)
        WHERE CASE WHEN ISDATE(custom9) THEN custom9 IS NOT CDATE(custom9) END;
    UPDATE tbl_card SET custom10 = CDATE(custom10)
        WHERE CASE WHEN ISDATE(custom10) THEN custom10 IS NOT CDATE(custom10) END;
    UPDATE tbl_card SET custom11 = CDATE(custom11)
        WHERE CASE WHEN ISDATE(custom11) THEN custom11 IS NOT CDATE(custom11) END;
    UPDATE tbl_card SET custom12 = CDATE(custom12)
        WHERE CASE WHEN ISDATE(custom12) THEN custom12 IS NOT CDATE(custom12) END;
    UPDATE tbl_field_info SET RemainTime = CDATE(RemainTime)
        WHERE CASE WHEN ISDATE(RemainTime) THEN RemainTime IS NOT CDATE(RemainTime) END;
    UPDATE tbl_field_info SET AlwaysSendTime = CDATE(AlwaysSendTime)
        WHERE CASE WHEN ISDATE(AlwaysSendTime) THEN AlwaysSendTime IS NOT CDATE(AlwaysSendTime) END;
    UPDATE tbl_sendsms SET send_time = CDATE(send_time)
        WHERE CASE WHEN ISDATE(send_time) THEN send_time IS NOT CDATE(send_time) END;
    UPDATE tbl_sendsms_detail SET send_time = CDATE(send_time)
        WHERE CASE WHEN ISDATE(send_time) THEN send_time IS NOT CDATE(send_time) END;
    UPDATE tbl_sms_recive SET recive_time = CDATE(recive_time)
        WHERE CASE WHEN ISDATE(recive_time) THEN recive_time IS NOT CDATE(recive_time) END;
    UPDATE tbl_holiday SET holiday = CDATE(holiday)
        WHERE CASE WHEN ISDATE(holiday) THEN holiday IS NOT CDATE(holiday) END;
    UPDATE tbl_calendar_task SET TaskDate = CDATE(TaskDate)
        WHERE CASE WHEN ISDATE(TaskDate) THEN TaskDate IS NOT CDATE(TaskDate) END;
    UPDATE tbl_calendar_task SET MsgSendTime = CDATE(MsgSendTime)
        WHERE CASE WHEN ISDATE(MsgSendTime) THEN MsgSendTime IS NOT CDATE(MsgSendTime) END;
    -- Yes/no columns hold 1 or 0 only: -1, NULL and the like match neither TRUE nor FALSE.
    UPDATE tbl_card SET isll = CASE WHEN isll THEN 1 ELSE 0 END
        WHERE isll IS NOT 0 AND isll IS NOT 1;
    UPDATE tbl_field_info SET ShowFlag = CASE WHEN ShowFlag THEN 1 ELSE 0 END
        WHERE ShowFlag IS NOT 0 AND ShowFlag IS NOT 1;
    UPDATE tbl_field_info SET ValidFlag = CASE WHEN ValidFlag THEN 1 ELSE 0 END
        WHERE ValidFlag IS NOT 0 AND ValidFlag IS NOT 1;
    UPDATE tbl_sendsms SET is_idle = CASE WHEN is_idle THEN 1 ELSE 0 END
        WHERE is_idle IS NOT 0 AND is_idle IS NOT 1;
    CREATE TRIGGER trg_tbl_card_isll_ins AFTER INSERT ON tbl_card
        WHEN NEW.isll IS NOT YESNO(NEW.isll)
    BEGIN
        UPDATE tbl_card SET isll = YESNO(NEW.isll) WHERE rowid = NEW.rowid;
    END;
    CREATE TRIGGER trg_tbl_card_isll_upd AFTER UPDATE OF isll ON tbl_card
        WHEN NEW.isll IS NOT YESNO(NEW.isll)
    BEGIN
        UPDATE tbl_card SET isll = YESNO(NEW.isll) WHERE rowid = NEW.rowid;
    END;
    CREATE TRIGGER trg_tbl_field_info_ShowFlag_ins AFTER INSERT ON tbl_field_info
        WHEN NEW.ShowFlag IS NOT YESNO(NEW.ShowFlag)
    BEGIN
        UPDATE tbl_field_info SET ShowFlag = YESNO(NEW.ShowFlag) WHERE rowid = NEW.rowid;
    END;
    CREATE TRIGGER trg_tbl_field_info_ShowFlag_upd AFTER UPDATE OF ShowFlag ON tbl_field_info
        WHEN NEW.ShowFlag IS NOT YESNO(NEW.ShowFlag)
    BEGIN
        UPDATE tbl_field_info SET ShowFlag = YESNO(NEW.ShowFlag) WHERE rowid = NEW.rowid;
    END;
    CREATE TRIGGER trg_tbl_field_info_ValidFlag_ins AFTER INSERT ON tbl_field_info
        WHEN NEW.ValidFlag IS NOT YESNO(NEW.ValidFlag)
    BEGIN
        UPDATE tbl_field_info SET ValidFlag = YESNO(NEW.ValidFlag) WHERE rowid = NEW.rowid;
    END;
    CREATE TRIGGER trg_tbl_field_info_ValidFlag_upd AFTER UPDATE OF ValidFlag ON tbl_field_info
        WHEN NEW.ValidFlag IS NOT YESNO(NEW.ValidFlag)
    BEGIN
        UPDATE tbl_field_info SET ValidFlag = YESNO(NEW.ValidFlag) WHERE rowid = NEW.rowid;
    END;
    CREATE TRIGGER trg_tbl_sendsms_is_idle_ins AFTER INSERT ON tbl_sendsms
        WHEN NEW.is_idle IS NOT YESNO(NEW.is_idle)
    BEGIN
        UPDATE tbl_sendsms SET is_idle = YESNO(NEW.is_idle) WHERE rowid = NEW.rowid;
    END;
    CREATE TRIGGER trg_tbl_sendsms_is_idle_upd AFTER UPDATE OF is_idle ON tbl_sendsms
        WHEN NEW.is_idle IS NOT YESNO(NEW.is_idle)
    BEGIN
        UPDATE tbl_sendsms SET is_idle = YESNO(NEW.is_idle) WHERE rowid = NEW.rowid;
    END;
)sql"},
};

} // namespace

std::span<const SchemaMigration> SchemaMigrations()
{
    return kMigrations;
}

} // namespace telvora
