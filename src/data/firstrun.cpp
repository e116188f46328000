#include "data/firstrun.h"

#include "data/db.h"
#include "data/users.h"

FirstRun::Result FirstRun::shiftDates(const QDate& today)
{
    Result result = Result::AlreadyDone;
    Db::transaction([&] {
        const QSqlDatabase db = Db::main();
        QSqlQuery marker =
            Db::exec(db, QStringLiteral(R"(SELECT password FROM "user" WHERE id = ?)"), {Users::kMarkerId});
        if (!marker.next() || marker.value(0).toString().trimmed() != QLatin1String("1"))
            return;
        marker.finish();

        Db::exec(db, QStringLiteral(R"(UPDATE "user" SET password = '2' WHERE id = ?)"), {Users::kMarkerId});

        const qint64 days = kReferenceDay.daysTo(today);
        const QString modifier =
            (days >= 0 ? QStringLiteral("+") : QString()) + QString::number(days) + QStringLiteral(" days");
        // A day that is not in the stored form is left as it is rather than lost.
        const QString statements[] = {
            QStringLiteral(
                "UPDATE shouzhi SET addtime = coalesce(date(addtime, ?), addtime) WHERE addtime IS NOT NULL"),
            QStringLiteral("UPDATE rjxx SET addtime = coalesce(date(addtime, ?), addtime) WHERE addtime IS NOT NULL"),
            QStringLiteral("UPDATE renwu SET today = coalesce(date(today, ?), today) WHERE today IS NOT NULL"),
            QStringLiteral("UPDATE mubiao SET jsdate = coalesce(date(jsdate, ?), jsdate) WHERE jsdate IS NOT NULL"),
            QStringLiteral("UPDATE mubiao SET ksdate = coalesce(date(ksdate, ?), ksdate) WHERE ksdate IS NOT NULL"),
        };
        for (const QString& statement : statements)
            Db::exec(db, statement, {modifier});
        // The sample's left-over tasks are part of the example, not the user's: no question
        // about moving them on the first day.
        Db::exec(db,
                 QStringLiteral("INSERT INTO overdue_asked (id, day) VALUES (1, ?)"
                                " ON CONFLICT (id) DO UPDATE SET day = excluded.day"),
                 {Db::dayValue(today)});
        result = Result::Shifted;
    });
    return result;
}
