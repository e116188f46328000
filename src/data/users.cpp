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
