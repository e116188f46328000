#include "data/users.h"

#include "data/db.h"

bool Users::passwordMatches(const QString& password)
{
    return Db::count(QStringLiteral(R"(SELECT count(*) FROM "user" WHERE id <> ? AND password = ?)"),
                     {kMarkerId, password})
           > 0;
}

void Users::changePassword(const QString& password)
{
    Db::transaction([&] {
        const int changed = Db::execute(QStringLiteral(R"(UPDATE "user" SET password = ? WHERE id <> ?)"),
                                        {Db::text(password), kMarkerId});
        // A database whose password rows were all lost still gets one, or nobody could log in.
        if (changed == 0)
            Db::execute(QStringLiteral(R"(INSERT INTO "user" (password) VALUES (?))"), {Db::text(password)});
    });
}
