#include "data/diary.h"

#include "data/db.h"

namespace {
const QString kDayEntry =
    QStringLiteral("SELECT id, content FROM fangfa WHERE ltype = ? AND addtime = ? ORDER BY id LIMIT 1");
}

Diary::Entry Diary::of(const QDate& day)
{
    QSqlQuery q = Db::exec(Db::main(), kDayEntry, {kCategory, Db::dayValue(day)});
    Entry e;
    if (q.next()) {
        e.exists = true;
        e.text = q.value(1).toString();
    }
    return e;
}

Diary::Saved Diary::save(const QDate& day, const QString& text)
{
    Saved saved = Saved::Added;
    Db::transaction([&] {
        const QSqlDatabase db = Db::main();
        QSqlQuery q = Db::exec(db, kDayEntry, {kCategory, Db::dayValue(day)});
        if (q.next()) {
            const qint64 id = q.value(0).toLongLong();
            q.finish();
            Db::exec(db, QStringLiteral("UPDATE fangfa SET content = ? WHERE id = ?"), {Db::text(text), id});
            saved = Saved::Changed;
        } else {
            q.finish();
            Db::exec(
                db, QStringLiteral("INSERT INTO fangfa (title, content, ltype, addtime) VALUES (?, ?, ?, ?)"),
                {day.toString(QStringLiteral("yyyy-M-d")) + kCategory, Db::text(text), kCategory, Db::dayValue(day)});
            saved = Saved::Added;
        }
    });
    return saved;
}
