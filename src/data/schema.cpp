#include "data/schema.h"

namespace Schema {

// A random version-4 UUID in lower-case text, as an SQL expression.
#define UUID_SQL                                                                                                       \
    "(lower(hex(randomblob(4))) || '-' || lower(hex(randomblob(2))) || '-4' || substr(lower(hex(randomblob(2))), "     \
    "2) || '-' || substr('89ab', 1 + (abs(random()) % 4), 1) || substr(lower(hex(randomblob(2))), 2) || '-' || "       \
    "lower(hex(randomblob(6))))"

// Days are 'YYYY-MM-DD' text, times of day 'HH:MM:SS' text, money integer ten-thousandths of a yuan.
const QStringList& mainStatements()
{
    static const QStringList statements = {
        QStringLiteral(R"(CREATE TABLE "user" (
            id       INTEGER PRIMARY KEY AUTOINCREMENT,
            password TEXT NOT NULL DEFAULT ''))"),
        QStringLiteral(R"(CREATE TABLE juese (
            id      INTEGER PRIMARY KEY AUTOINCREMENT,
            name    TEXT NOT NULL DEFAULT '',
            content TEXT NOT NULL DEFAULT ''))"),
        QStringLiteral(R"(CREATE TABLE mubiao (
            id        INTEGER PRIMARY KEY AUTOINCREMENT,
            title     TEXT NOT NULL DEFAULT '',
            content   TEXT NOT NULL DEFAULT '',
            ksdate    TEXT DEFAULT (date('now', 'localtime')),
            jsdate    TEXT,
            juese     INTEGER NOT NULL DEFAULT 0,
            zhuangtai INTEGER NOT NULL DEFAULT 0))"),
        QStringLiteral(R"(CREATE TABLE renwu (
            id        INTEGER PRIMARY KEY AUTOINCREMENT,
            title     TEXT NOT NULL DEFAULT '',
            content   TEXT NOT NULL DEFAULT '',
            mubiao    INTEGER NOT NULL DEFAULT 0,
            juese     INTEGER NOT NULL DEFAULT 0,
            zhongyao  INTEGER NOT NULL DEFAULT 0,
            jinpo     INTEGER NOT NULL DEFAULT 0,
            type1     INTEGER NOT NULL DEFAULT 1,
            xuhao     INTEGER NOT NULL DEFAULT 0,
            today     TEXT,
            intime    TEXT,
            zhuangtai INTEGER NOT NULL DEFAULT 0))"),
        QStringLiteral(R"(CREATE TABLE mengxiang (
            id    INTEGER PRIMARY KEY AUTOINCREMENT,
            title TEXT NOT NULL DEFAULT '',
            drmid INTEGER NOT NULL DEFAULT 1))"),
        QStringLiteral(R"(CREATE TABLE fangfa (
            id      INTEGER PRIMARY KEY AUTOINCREMENT,
            title   TEXT NOT NULL DEFAULT '',
            content TEXT NOT NULL DEFAULT '',
            ltype   TEXT NOT NULL DEFAULT '',
            addtime TEXT DEFAULT (date('now', 'localtime'))))"),
        QStringLiteral(R"(CREATE TABLE fftype (
            id     INTEGER PRIMARY KEY AUTOINCREMENT,
            fftype TEXT NOT NULL UNIQUE))"),
        QStringLiteral(R"(CREATE TABLE renji (
            id     INTEGER PRIMARY KEY AUTOINCREMENT,
            name   TEXT NOT NULL DEFAULT '',
            title  TEXT NOT NULL DEFAULT '',
            leibie INTEGER NOT NULL DEFAULT 0,
            sex    INTEGER NOT NULL DEFAULT 0,
            tel    TEXT NOT NULL DEFAULT '',
            mob    TEXT NOT NULL DEFAULT '',
            "add"  TEXT NOT NULL DEFAULT '',
            zip    TEXT NOT NULL DEFAULT '',
            email  TEXT NOT NULL DEFAULT '',
            msn    TEXT NOT NULL DEFAULT ''))"),
        QStringLiteral(R"(CREATE TABLE rjxx (
            id      INTEGER PRIMARY KEY AUTOINCREMENT,
            renji   INTEGER NOT NULL DEFAULT 0,
            title   TEXT NOT NULL DEFAULT '',
            content TEXT NOT NULL DEFAULT '',
            type1   TEXT NOT NULL DEFAULT '',
            addtime TEXT DEFAULT (date('now', 'localtime'))))"),
        QStringLiteral(R"(CREATE TABLE gxlb (
            id   INTEGER PRIMARY KEY AUTOINCREMENT,
            gxlb TEXT NOT NULL DEFAULT ''))"),
        QStringLiteral(R"(CREATE TABLE zhanghao (
            id       INTEGER PRIMARY KEY AUTOINCREMENT,
            zhname   TEXT NOT NULL DEFAULT '',
            leixing  TEXT NOT NULL DEFAULT '',
            moneys   INTEGER NOT NULL DEFAULT 0,
            addtime  TEXT,
            haoma    TEXT NOT NULL DEFAULT '',
            beizhu   TEXT NOT NULL DEFAULT ''))"),
        QStringLiteral(R"(CREATE TABLE zhanghaotype (
            id       INTEGER PRIMARY KEY AUTOINCREMENT,
            typename TEXT NOT NULL DEFAULT ''))"),
        QStringLiteral(R"(CREATE TABLE shouzhi (
            id       INTEGER PRIMARY KEY AUTOINCREMENT,
            shouzhi  INTEGER NOT NULL DEFAULT 0,
            yuanyin  TEXT NOT NULL DEFAULT '',
            leixing  TEXT NOT NULL DEFAULT '',
            zhanghao TEXT NOT NULL DEFAULT '',
            moneys   INTEGER NOT NULL DEFAULT 0,
            addtime  TEXT,
            beizhu   TEXT NOT NULL DEFAULT ''))"),
        QStringLiteral(R"(CREATE TABLE shouzhitype (
            id       INTEGER PRIMARY KEY AUTOINCREMENT,
            typename TEXT NOT NULL DEFAULT '',
            shouzhi  INTEGER NOT NULL DEFAULT 0))"),

        // Look-ups the views run.
        QStringLiteral("CREATE INDEX renwu_today ON renwu (today, intime)"),
        QStringLiteral("CREATE INDEX renwu_mubiao ON renwu (mubiao, xuhao)"),
        QStringLiteral("CREATE INDEX renwu_juese ON renwu (juese)"),
        QStringLiteral("CREATE INDEX mubiao_juese ON mubiao (juese)"),
        QStringLiteral("CREATE INDEX mubiao_jsdate ON mubiao (jsdate)"),
        QStringLiteral("CREATE INDEX fangfa_ltype ON fangfa (ltype, id)"),
        QStringLiteral("CREATE INDEX fangfa_title ON fangfa (title)"),
        QStringLiteral("CREATE INDEX mengxiang_drmid ON mengxiang (drmid)"),
        QStringLiteral("CREATE INDEX renji_leibie ON renji (leibie)"),
        QStringLiteral("CREATE INDEX rjxx_renji ON rjxx (renji, type1)"),
        QStringLiteral("CREATE INDEX shouzhi_kind_day ON shouzhi (shouzhi, addtime)"),
        QStringLiteral("CREATE INDEX shouzhi_zhanghao ON shouzhi (zhanghao)"),
        QStringLiteral("CREATE INDEX zhanghao_zhname ON zhanghao (zhname)"),
    };
    return statements;
}

const QList<QStringList>& mainMigrations()
{
    static const QList<QStringList> migrations = {
        // 1: the today view counts the open tasks of earlier days at every load.
        {QStringLiteral("CREATE INDEX IF NOT EXISTS renwu_open_day ON renwu (zhuangtai, today)")},
        // 2: the task list's default list (open tasks without a day) counted and paged in order.
        {QStringLiteral("CREATE INDEX IF NOT EXISTS renwu_state_day_goal ON renwu (zhuangtai, today, mubiao, xuhao)")},
        // 3: the knowledge search over contents: which articles hold which three-character
        // pieces (no positions), kept in step with fangfa by triggers, filled once here.
        {QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS fangfa_fts USING fts5(title, content, content='fangfa',"
                        " content_rowid='id', tokenize='trigram', detail='none')"),
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS fangfa_fts_insert AFTER INSERT ON fangfa BEGIN"
                        " INSERT INTO fangfa_fts (rowid, title, content) VALUES (new.id, new.title, new.content); END"),
         QStringLiteral(
             "CREATE TRIGGER IF NOT EXISTS fangfa_fts_delete AFTER DELETE ON fangfa BEGIN"
             " INSERT INTO fangfa_fts (fangfa_fts, rowid, title, content) VALUES ('delete', old.id, old.title, "
             "old.content);"
             " END"),
         QStringLiteral(
             "CREATE TRIGGER IF NOT EXISTS fangfa_fts_update AFTER UPDATE OF title, content ON fangfa BEGIN"
             " INSERT INTO fangfa_fts (fangfa_fts, rowid, title, content) VALUES ('delete', old.id, old.title, "
             "old.content);"
             " INSERT INTO fangfa_fts (rowid, title, content) VALUES (new.id, new.title, new.content); END")},
        // 4: the reminder clock: a task's snooze (at most one; gone once the task is done,
        // abandoned or deleted) and the time of the clock's last check, for what was missed
        // while the program was closed.
        {QStringLiteral(R"(CREATE TABLE IF NOT EXISTS snooze (
            renwu INTEGER PRIMARY KEY,
            day   TEXT NOT NULL,
            time  TEXT NOT NULL))"),
         QStringLiteral("CREATE INDEX IF NOT EXISTS snooze_day ON snooze (day)"),
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS snooze_task_closed AFTER UPDATE OF zhuangtai ON renwu"
                        " WHEN new.zhuangtai IN (1, 2) BEGIN DELETE FROM snooze WHERE renwu = new.id; END"),
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS snooze_task_deleted AFTER DELETE ON renwu BEGIN"
                        " DELETE FROM snooze WHERE renwu = old.id; END"),
         QStringLiteral(R"(CREATE TABLE IF NOT EXISTS reminder_check (
            id   INTEGER PRIMARY KEY CHECK (id = 1),
            day  TEXT NOT NULL,
            time TEXT NOT NULL))")},
        // 5: recurring tasks: the rules, and each occurrence linked to its rule and the day it was
        // made for, at most once per rule and day.
        {QStringLiteral(R"(CREATE TABLE IF NOT EXISTS chongfu (
            id        INTEGER PRIMARY KEY AUTOINCREMENT,
            title     TEXT NOT NULL DEFAULT '',
            content   TEXT NOT NULL DEFAULT '',
            mubiao    INTEGER NOT NULL DEFAULT 0,
            juese     INTEGER NOT NULL DEFAULT 0,
            zhongyao  INTEGER NOT NULL DEFAULT 0,
            jinpo     INTEGER NOT NULL DEFAULT 0,
            xuhao     INTEGER NOT NULL DEFAULT 0,
            intime    TEXT,
            pinlv     INTEGER NOT NULL DEFAULT 0,
            xingqi    INTEGER NOT NULL DEFAULT 0,
            jiange    INTEGER NOT NULL DEFAULT 1,
            ksday     TEXT NOT NULL,
            jzday     TEXT,
            lastday   TEXT,
            zhuangtai INTEGER NOT NULL DEFAULT 0))"),
         QStringLiteral("ALTER TABLE renwu ADD COLUMN chongfu INTEGER NOT NULL DEFAULT 0"),
         QStringLiteral("ALTER TABLE renwu ADD COLUMN cfday TEXT"),
         QStringLiteral(
             "CREATE UNIQUE INDEX IF NOT EXISTS renwu_rule_day ON renwu (chongfu, cfday) WHERE chongfu > 0")},
        // Login: wrong guesses in a row and the time before which the next one is not answered.
        {QStringLiteral(R"(CREATE TABLE IF NOT EXISTS login_wait (
            id       INTEGER PRIMARY KEY CHECK (id = 1),
            failures INTEGER NOT NULL DEFAULT 0,
            until    TEXT))")},
        // Knowledge search by two-character pieces, which also serves two-character keywords, in
        // place of the three-character index. Adding an article to the index costs far more than
        // storing it, so the triggers only list new and changed articles in fangfa_grams_todo and
        // the program adds them in the background (all articles of an older file too); searches
        // scan the listed ones meanwhile. Removing an indexed article needs its old text, so that
        // part stays in the triggers.
        {QStringLiteral("DROP TRIGGER IF EXISTS fangfa_fts_insert"),
         QStringLiteral("DROP TRIGGER IF EXISTS fangfa_fts_delete"),
         QStringLiteral("DROP TRIGGER IF EXISTS fangfa_fts_update"), QStringLiteral("DROP TABLE IF EXISTS fangfa_fts"),
         QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS fangfa_grams USING fts5(title, content, content='fangfa',"
                        " content_rowid='id', tokenize='vantorel_bigram', detail='none', columnsize=0)"),
         QStringLiteral("CREATE TABLE IF NOT EXISTS fangfa_grams_todo (id INTEGER PRIMARY KEY)"),
         QStringLiteral("INSERT OR IGNORE INTO fangfa_grams_todo (id) SELECT id FROM fangfa"),
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS fangfa_grams_insert AFTER INSERT ON fangfa BEGIN"
                        " INSERT OR IGNORE INTO fangfa_grams_todo (id) VALUES (new.id); END"),
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS fangfa_grams_delete AFTER DELETE ON fangfa BEGIN"
                        " INSERT INTO fangfa_grams (fangfa_grams, rowid, title, content)"
                        " SELECT 'delete', old.id, old.title, old.content"
                        " WHERE NOT EXISTS (SELECT 1 FROM fangfa_grams_todo WHERE id = old.id);"
                        " DELETE FROM fangfa_grams_todo WHERE id = old.id; END"),
         QStringLiteral(
             "CREATE TRIGGER IF NOT EXISTS fangfa_grams_update AFTER UPDATE OF title, content ON fangfa BEGIN"
             " INSERT INTO fangfa_grams (fangfa_grams, rowid, title, content)"
             " SELECT 'delete', old.id, old.title, old.content"
             " WHERE NOT EXISTS (SELECT 1 FROM fangfa_grams_todo WHERE id = old.id);"
             " INSERT OR IGNORE INTO fangfa_grams_todo (id) VALUES (new.id); END")},
        // Exchange with calendars: every task and recurring rule gets a stable UID (a random
        // version-4 UUID, filled for existing rows and by triggers for new ones), and every task
        // the time of its last change (UTC, ISO 8601), kept by triggers unless a write sets it.
        {QStringLiteral("ALTER TABLE renwu ADD COLUMN uid TEXT"),
         QStringLiteral("ALTER TABLE renwu ADD COLUMN modified TEXT"),
         QStringLiteral("ALTER TABLE chongfu ADD COLUMN uid TEXT"),
         QStringLiteral("UPDATE renwu SET uid = " UUID_SQL ", modified = strftime('%Y-%m-%dT%H:%M:%SZ', 'now')"),
         QStringLiteral("UPDATE chongfu SET uid = " UUID_SQL),
         QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS renwu_uid ON renwu (uid)"),
         QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS chongfu_uid ON chongfu (uid)"),
         QStringLiteral(
             "CREATE TRIGGER IF NOT EXISTS renwu_uid_insert AFTER INSERT ON renwu"
             " WHEN new.uid IS NULL OR new.modified IS NULL BEGIN UPDATE renwu SET uid = coalesce(new.uid, " UUID_SQL
             "),"
             " modified = coalesce(new.modified, strftime('%Y-%m-%dT%H:%M:%SZ', 'now')) WHERE id = new.id; END"),
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS renwu_modified_update AFTER UPDATE ON renwu"
                        " WHEN new.modified IS old.modified BEGIN UPDATE renwu SET"
                        " modified = strftime('%Y-%m-%dT%H:%M:%SZ', 'now') WHERE id = new.id; END"),
         QStringLiteral(
             "CREATE TRIGGER IF NOT EXISTS chongfu_uid_insert AFTER INSERT ON chongfu WHEN new.uid IS NULL BEGIN"
             " UPDATE chongfu SET uid = " UUID_SQL " WHERE id = new.id; END")},
        // Exchange with address books: every contact gets a stable UID, filled for existing
        // rows and by a trigger for new ones.
        {QStringLiteral("ALTER TABLE renji ADD COLUMN uid TEXT"), QStringLiteral("UPDATE renji SET uid = " UUID_SQL),
         QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS renji_uid ON renji (uid)"),
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS renji_uid_insert AFTER INSERT ON renji WHEN new.uid IS NULL BEGIN"
                        " UPDATE renji SET uid = " UUID_SQL " WHERE id = new.id; END")},
        // Bank statement import: an OFX record's transaction id, found again by account; the
        // CSV column mapping remembered per account.
        {QStringLiteral("ALTER TABLE shouzhi ADD COLUMN fitid TEXT"),
         QStringLiteral(
             "CREATE INDEX IF NOT EXISTS shouzhi_account_fitid ON shouzhi (zhanghao, fitid) WHERE fitid IS NOT NULL"),
         QStringLiteral(R"(CREATE TABLE IF NOT EXISTS drmapping (
            zhanghao INTEGER PRIMARY KEY,
            mapping  TEXT NOT NULL DEFAULT ''))")},
        // The day the user was last asked about moving left-over tasks to today (asked once a day).
        {QStringLiteral(R"(CREATE TABLE IF NOT EXISTS overdue_asked (
            id  INTEGER PRIMARY KEY CHECK (id = 1),
            day TEXT NOT NULL))")},
        // Task sync with a calendar server: the account (never its password), the server's
        // address and ETag of each uploaded task, and the queue of local changes and deletions
        // not yet sent. Triggers fill the queue in the same transaction as the change, so a crash
        // can lose neither; the sync itself writes with a row in sync_mute, which they skip.
        {QStringLiteral(R"(CREATE TABLE IF NOT EXISTS sync_account (
            id        INTEGER PRIMARY KEY CHECK (id = 1),
            server    TEXT NOT NULL DEFAULT '',
            username  TEXT NOT NULL DEFAULT '',
            calendar  TEXT NOT NULL DEFAULT '',
            calname   TEXT NOT NULL DEFAULT '',
            autosync  INTEGER NOT NULL DEFAULT 0,
            insecure  INTEGER NOT NULL DEFAULT 0,
            token     TEXT NOT NULL DEFAULT '',
            lasttime  TEXT NOT NULL DEFAULT '',
            lastok    INTEGER NOT NULL DEFAULT 0,
            lasttext  TEXT NOT NULL DEFAULT ''))"),
         QStringLiteral(R"(CREATE TABLE IF NOT EXISTS sync_item (
            renwu INTEGER PRIMARY KEY,
            href  TEXT NOT NULL UNIQUE,
            etag  TEXT NOT NULL DEFAULT ''))"),
         QStringLiteral(R"(CREATE TABLE IF NOT EXISTS sync_change (
            renwu   INTEGER PRIMARY KEY,
            ver     INTEGER NOT NULL DEFAULT 1,
            deleted INTEGER NOT NULL DEFAULT 0,
            href    TEXT,
            etag    TEXT,
            changed TEXT NOT NULL))"),
         QStringLiteral("CREATE TABLE IF NOT EXISTS sync_mute (id INTEGER PRIMARY KEY)"),
         QStringLiteral(
             "CREATE TRIGGER IF NOT EXISTS sync_task_added AFTER INSERT ON renwu"
             " WHEN NOT EXISTS (SELECT 1 FROM sync_mute) BEGIN"
             " INSERT INTO sync_change (renwu, changed) VALUES (new.id, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))"
             " ON CONFLICT (renwu) DO UPDATE SET ver = ver + 1, deleted = 0, changed = excluded.changed; END"),
         QStringLiteral(
             "CREATE TRIGGER IF NOT EXISTS sync_task_changed AFTER UPDATE ON renwu"
             " WHEN NOT EXISTS (SELECT 1 FROM sync_mute) BEGIN"
             " INSERT INTO sync_change (renwu, changed) VALUES (new.id, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))"
             " ON CONFLICT (renwu) DO UPDATE SET ver = ver + 1, deleted = 0, changed = excluded.changed; END"),
         QStringLiteral(
             "CREATE TRIGGER IF NOT EXISTS sync_task_deleted AFTER DELETE ON renwu"
             " WHEN NOT EXISTS (SELECT 1 FROM sync_mute) BEGIN"
             " DELETE FROM sync_change WHERE renwu = old.id;"
             " INSERT INTO sync_change (renwu, deleted, href, etag, changed)"
             " SELECT renwu, 1, href, etag, strftime('%Y-%m-%dT%H:%M:%SZ', 'now') FROM sync_item WHERE renwu = old.id;"
             " DELETE FROM sync_item WHERE renwu = old.id; END"),
         QStringLiteral(
             "CREATE TRIGGER IF NOT EXISTS sync_rule_changed AFTER UPDATE OF title, content, pinlv, xingqi, jiange, "
             "ksday,"
             " jzday, zhuangtai ON chongfu"
             " WHEN NOT EXISTS (SELECT 1 FROM sync_mute) BEGIN"
             " INSERT INTO sync_change (renwu, changed)"
             " SELECT id, strftime('%Y-%m-%dT%H:%M:%SZ', 'now') FROM renwu WHERE chongfu = new.id AND true"
             " ON CONFLICT (renwu) DO UPDATE SET ver = ver + 1, deleted = 0, changed = excluded.changed; END")},
    };
    return migrations;
}

int mainVersion()
{
    return int(mainMigrations().size());
}

const QStringList& magazineStatements()
{
    static const QStringList statements = {
        QStringLiteral(R"(CREATE TABLE news (
            id     INTEGER PRIMARY KEY AUTOINCREMENT,
            标题    TEXT NOT NULL DEFAULT '',
            作者    TEXT NOT NULL DEFAULT '',
            杂志    TEXT NOT NULL DEFAULT '',
            内容    TEXT NOT NULL DEFAULT '',
            发布时间 TEXT))"),
        QStringLiteral("CREATE INDEX news_published ON news (发布时间)"),
    };
    return statements;
}

} // namespace Schema
