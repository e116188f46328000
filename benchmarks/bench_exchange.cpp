// Times the export and the import of 100,000 tasks (iCalendar) and 10,000 contacts with a note
// each (vCard) against the raw SQL insert and read of the same rows, and prints the ratios.
// Run: bench_exchange
#include "data/db.h"
#include "data/exchange.h"
#include "data/store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <cstdio>
#include <functional>

namespace {

constexpr int kTasks = 100000;
constexpr int kContacts = 10000;

double elapsedMs(const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

bool openFresh(const QString& path)
{
    Db::closeAll();
    try {
        Store::ensureMainDatabase(path);
    } catch (const Db::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return false;
    }
    Db::path() = path;
    Db::execute(QStringLiteral("DELETE FROM renwu"));
    Db::execute(QStringLiteral("DELETE FROM renji"));
    Db::execute(QStringLiteral("DELETE FROM rjxx"));
    return true;
}

void readAll(const QString& sql)
{
    QSqlQuery q = Db::exec(Db::main(), sql);
    const int columns = q.record().count();
    while (q.next())
        for (int c = 0; c < columns; ++c)
            q.value(c);
}

// The rows inserted by plain prepared statements in one transaction.
void rawTasks()
{
    Db::transaction([] {
        QSqlQuery q(Db::main());
        q.prepare(
            QStringLiteral("INSERT INTO renwu (uid, title, content, today, intime, zhuangtai, zhongyao, jinpo,"
                           " xuhao, mubiao, juese, type1, modified) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, 1, ?)"));
        for (int i = 0; i < kTasks; ++i) {
            const QDate day = QDate(2009, 1, 1).addDays(i % 700);
            q.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
            q.addBindValue(QStringLiteral("任务 %1 整理资料").arg(i));
            q.addBindValue(i % 3 ? QStringLiteral("") : QStringLiteral("说明，第 %1 条\n第二行").arg(i));
            q.addBindValue(i % 5 ? day.toString(Qt::ISODate) : QVariant());
            q.addBindValue(i % 2 ? QStringLiteral("08:30:00") : QVariant());
            q.addBindValue(i % 4);
            q.addBindValue(i % 2);
            q.addBindValue((i / 2) % 2);
            q.addBindValue(i % 10);
            q.addBindValue(QStringLiteral("2009-01-31T08:00:00Z"));
            if (!q.exec())
                throw Db::Error(QStringLiteral("insert failed"));
        }
    });
}

void rawContacts()
{
    Db::transaction([] {
        QSqlQuery q(Db::main()), n(Db::main());
        q.prepare(QStringLiteral("INSERT INTO renji (uid, name, title, leibie, sex, tel, mob, \"add\", zip, email, msn)"
                                 " VALUES (?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?)"));
        n.prepare(QStringLiteral("INSERT INTO rjxx (renji, title, content, type1, addtime) VALUES (?, ?, ?, ?, ?)"));
        for (int i = 0; i < kContacts; ++i) {
            q.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
            q.addBindValue(QStringLiteral("联系人%1").arg(i));
            q.addBindValue(QStringLiteral("同事"));
            q.addBindValue(i % 2);
            q.addBindValue(QStringLiteral("010-%1").arg(60000000 + i));
            q.addBindValue(QStringLiteral("139%1").arg(10000000 + i));
            q.addBindValue(QStringLiteral("北京市某路 %1 号").arg(i));
            q.addBindValue(QStringLiteral("100080"));
            q.addBindValue(QStringLiteral("p%1@example.com").arg(i));
            q.addBindValue(QStringLiteral("p%1@msn.com").arg(i));
            q.exec();
            n.addBindValue(q.lastInsertId());
            n.addBindValue(QStringLiteral("见面"));
            n.addBindValue(QStringLiteral("聊了工作"));
            n.addBindValue(QStringLiteral("联系记录"));
            n.addBindValue(QStringLiteral("2009-01-20"));
            n.exec();
        }
    });
}

void report(const char* what, double raw, double ours, double out, double in)
{
    std::printf("%-10s raw insert+read %8.0f ms   export %8.0f ms + import %8.0f ms = %8.0f ms   ratio %.2f\n", what,
                raw, out, in, ours, ours / raw);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Db::setErrorReporter([](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    if (!openFresh(dir.filePath(QStringLiteral("a.dc"))))
        return 1;

    double raw = elapsedMs(rawTasks);
    raw += elapsedMs([] { readAll(QStringLiteral("SELECT * FROM renwu ORDER BY id")); });
    QByteArray ics;
    const double out = elapsedMs([&] { ics = Exchange::exportTasks(); });
    if (!openFresh(dir.filePath(QStringLiteral("b.dc"))))
        return 1;
    Exchange::Summary s;
    const double parse = elapsedMs([&] { (void)IcalTasks::parse(ics); });
    std::printf("(parsing the calendar alone: %.0f ms)\n", parse);
    const double in = elapsedMs([&] { s = Exchange::importTasks(ics); });
    if (s.added != kTasks) {
        std::fprintf(stderr, "tasks: %s %s\n", qPrintable(s.text()), qPrintable(s.error));
        return 1;
    }
    report("tasks", raw, out + in, out, in);

    double rawC = elapsedMs(rawContacts);
    rawC += elapsedMs([] {
        readAll(QStringLiteral("SELECT * FROM renji ORDER BY id"));
        readAll(QStringLiteral("SELECT * FROM rjxx ORDER BY id"));
    });
    QByteArray vcf;
    const double outC = elapsedMs([&] { vcf = Exchange::exportContacts(); });
    if (!openFresh(dir.filePath(QStringLiteral("c.dc"))))
        return 1;
    const double inC = elapsedMs([&] { s = Exchange::importContacts(vcf); });
    if (s.added != kContacts) {
        std::fprintf(stderr, "contacts: %s %s\n", qPrintable(s.text()), qPrintable(s.error));
        return 1;
    }
    report("contacts", rawC, outC + inC, outC, inC);
    Db::closeAll();
    return 0;
}
