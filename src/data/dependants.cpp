#include "data/dependants.h"

#include "data/db.h"

namespace {

QString textOf(const QString& sql, qint64 id)
{
    QSqlQuery q = Db::exec(Db::main(), sql, {id});
    return q.next() ? q.value(0).toString() : QString();
}

int countOf(const QString& sql, const QVariantList& values)
{
    return int(Db::count(sql, values));
}

} // namespace

Dependants::OfTheme Dependants::ofTheme(qint64 themeId)
{
    OfTheme d;
    d.name = textOf(QStringLiteral("SELECT name FROM juese WHERE id = ?"), themeId);
    d.goals = countOf(QStringLiteral("SELECT count(*) FROM mubiao WHERE juese = ?"), {themeId});
    d.tasks =
        countOf(QStringLiteral(
                    "SELECT count(*) FROM renwu WHERE juese = ? OR mubiao IN (SELECT id FROM mubiao WHERE juese = ?)"),
                {themeId, themeId});
    return d;
}

Dependants::OfGoal Dependants::ofGoal(qint64 goalId)
{
    return {textOf(QStringLiteral("SELECT title FROM mubiao WHERE id = ?"), goalId),
            countOf(QStringLiteral("SELECT count(*) FROM renwu WHERE mubiao = ?"), {goalId})};
}

Dependants::Named Dependants::notesOfContact(qint64 contactId)
{
    return {textOf(QStringLiteral("SELECT name FROM renji WHERE id = ?"), contactId),
            countOf(QStringLiteral("SELECT count(*) FROM rjxx WHERE renji = ?"), {contactId})};
}

Dependants::Named Dependants::contactsOfCategory(qint64 categoryId)
{
    return {textOf(QStringLiteral("SELECT gxlb FROM gxlb WHERE id = ?"), categoryId),
            countOf(QStringLiteral("SELECT count(*) FROM renji WHERE leibie = ?"), {categoryId})};
}

Dependants::Named Dependants::accountsOfType(qint64 typeId)
{
    return {textOf(QStringLiteral("SELECT typename FROM zhanghaotype WHERE id = ?"), typeId),
            countOf(QStringLiteral("SELECT count(*) FROM zhanghao WHERE leixing = (SELECT typename FROM zhanghaotype"
                                   " WHERE id = ?)"),
                    {typeId})};
}

Dependants::Named Dependants::recordsOfCategory(qint64 categoryId)
{
    return {textOf(QStringLiteral("SELECT typename FROM shouzhitype WHERE id = ?"), categoryId),
            countOf(QStringLiteral("SELECT count(*) FROM shouzhi AS s JOIN shouzhitype AS t ON t.id = ?"
                                   " AND s.leixing = t.typename AND s.shouzhi = t.shouzhi"),
                    {categoryId})};
}

Dependants::Named Dependants::recordsOfAccount(qint64 accountId)
{
    return {textOf(QStringLiteral("SELECT zhname FROM zhanghao WHERE id = ?"), accountId),
            countOf(QStringLiteral("SELECT count(*) FROM shouzhi WHERE zhanghao = (SELECT zhname FROM zhanghao"
                                   " WHERE id = ?)"),
                    {accountId})};
}
