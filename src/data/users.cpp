#include "data/users.h"

#include "data/db.h"

std::optional<bool> Users::passwordMatches(const QString& password)
{
    std::optional<bool> result;
    Db::run([&] {
        QSqlQuery q = Db::exec(Db::main(),
                               QStringLiteral(R"(SELECT 1 FROM "user" WHERE id <> ? AND password = ? LIMIT 1)"),
                               {kMarkerId, password});
        result = q.next();
    });
    return result;
}

bool Users::changePassword(const QString& password)
{
    return Db::transaction([&] {
        const QSqlQuery q = Db::exec(Db::main(), QStringLiteral(R"(UPDATE "user" SET password = ? WHERE id <> ?)"),
                                     {Db::text(password), kMarkerId});
        // A database whose password rows were all lost still gets one, or nobody could log in.
        if (q.numRowsAffected() == 0)
            Db::exec(Db::main(), QStringLiteral(R"(INSERT INTO "user" (password) VALUES (?))"), {Db::text(password)});
    });
}
