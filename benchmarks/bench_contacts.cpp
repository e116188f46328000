// Times the contacts view's list fills against the raw SQL for the same rows, on a database of
// 10,000 contacts and 100,000 notes, and shows how the notes of one contact are looked up.
// Run offscreen: QT_QPA_PLATFORM=offscreen bench_contacts
#include "data/db.h"
#include "data/store.h"
#include "gui/forms.h"
#include "shell/resources.h"
#include "views/contacts/frmrj.h"

#include "benchsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kContacts = 10000;
constexpr int kNotes = 100000;
constexpr int kRounds = 41;

using Bench::median;

struct Pair
{
    double view;
    double raw;
};

using Bench::elapsedMs;

// Median milliseconds of the view's fill and of the raw SQL, taken in turns so that both meet
// the same load of the machine.
Pair timed(const std::function<void()>& view, const std::function<void()>& raw)
{
    QList<double> views;
    QList<double> raws;
    for (int i = 0; i < kRounds; ++i) {
        views << elapsedMs(view);
        raws << elapsedMs(raw);
    }
    return {median(views), median(raws)};
}

// Runs the query and reads every column of every row, as a list fill must.
int rawRows(const QString& sql, const QVariantList& values)
{
    QSqlQuery q = Db::exec(Db::main(), sql, values);
    const int columns = q.record().count();
    int n = 0;
    while (q.next()) {
        for (int c = 0; c < columns; ++c)
            q.value(c);
        ++n;
    }
    return n;
}

void fill()
{
    static const QString family = QStringLiteral("赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许何吕施张");
    static const QString given = QStringLiteral("伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华");
    static const QStringList kinds = {QStringLiteral("补充资料"), QStringLiteral("联系记录"),
                                      QStringLiteral("行动计划")};
    QRandomGenerator random(42);
    Db::transaction([&] {
        for (int i = 0; i < kContacts; ++i) {
            const QString name = QString(family[random.bounded(family.size())]) + given[random.bounded(given.size())]
                                 + given[random.bounded(given.size())];
            Db::exec(Db::main(),
                     QStringLiteral("INSERT INTO renji (name, title, leibie, sex, tel, mob, \"add\", zip, email, msn)"
                                    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {name, i % 7 == 0 ? QStringLiteral("同事") : QStringLiteral("朋友%1").arg(i), random.bounded(8),
                      i % 2, QStringLiteral("010-%1").arg(60000000 + i), QStringLiteral("138%1").arg(10000000 + i),
                      QStringLiteral("北京市海淀区%1号").arg(i), QStringLiteral("100086"),
                      QStringLiteral("p%1@example.com").arg(i), QStringLiteral("")});
        }
        const qint64 first = Db::count(QStringLiteral("SELECT min(id) FROM renji"));
        const qint64 last = Db::count(QStringLiteral("SELECT max(id) FROM renji"));
        for (int i = 0; i < kNotes; ++i) {
            Db::exec(Db::main(),
                     QStringLiteral("INSERT INTO rjxx (renji, title, content, type1, addtime) VALUES (?, ?, ?, ?, ?)"),
                     {first + random.bounded(last - first + 1), QStringLiteral("记录%1").arg(i),
                      QStringLiteral("第%1条的详细内容，谈到了合作和下次见面的安排。").arg(i), kinds[i % 3],
                      QStringLiteral("2009-01-%1").arg(1 + i % 28, 2, 10, QLatin1Char('0'))});
        }
    });
}

void report(const char* what, const Pair& t, int rows)
{
    std::printf("%-28s rows %6d   view %8.2f ms   raw SQL %8.2f ms   ratio %.2f\n", what, rows, t.view, t.raw,
                t.view / t.raw);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    initResources(); // the views' icons, as the program has them
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mylive.dc"));
    try {
        Store::ensureMainDatabase(path);
    } catch (const Db::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    Db::path() = path;
    Db::setErrorReporter([](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    fill();
    Db::exec(Db::main(), QStringLiteral("ANALYZE"));

    Frmrj* view = Forms::instance<Frmrj>();
    auto* contacts = view->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    auto* field = view->findChild<QComboBox*>(QStringLiteral("Combo2"));
    auto* keyword = view->findChild<QLineEdit*>(QStringLiteral("Text1"));
    view->resize(1000, 700);
    view->show();
    QApplication::processEvents();

    std::printf("%d contacts, %d notes; medians of %d rounds\n", kContacts, kNotes, kRounds);

    // The contact list by name.
    const QString listSql = QStringLiteral("SELECT id, name, title, leibie FROM renji ORDER BY name, id");
    const Pair list = timed([&] { view->RjList(); }, [&] { rawRows(listSql, {}); });
    report("contact list (by name)", list, contacts->topLevelItemCount());

    // A field search: relation names containing 同. Enter in the keyword box runs the search as
    // the button does, without painting a pressed button.
    field->setCurrentIndex(1);
    keyword->setText(QStringLiteral("同"));
    const QString searchSql =
        QStringLiteral("SELECT id, name, title, leibie FROM renji WHERE title LIKE ? ESCAPE '\\' ORDER BY id");
    const Pair search =
        timed([&] { emit keyword->returnPressed(); }, [&] { rawRows(searchSql, {QStringLiteral("%同%")}); });
    const int searchRows = contacts->topLevelItemCount();
    report("field search (关系名称 同)", search, searchRows);

    // The notes of one contact, chosen in the list.
    contacts->setCurrentItem(contacts->topLevelItem(searchRows / 2));
    const qint64 contact = view->selectedContactId();
    const QString notesSql =
        QStringLiteral("SELECT id, renji, title, content, type1, addtime FROM rjxx WHERE renji = ? ORDER BY id");
    const Pair notes = timed([&] { view->FillDate(); }, [&] { rawRows(notesSql, {contact}); });
    int noteRows = 0;
    for (const char* name : {"ListView2", "ListView3", "ListView4"})
        noteRows += view->findChild<QTreeWidget*>(QLatin1String(name))->topLevelItemCount();
    report("notes of one contact", notes, noteRows);

    QSqlQuery plan = Db::exec(Db::main(), QStringLiteral("EXPLAIN QUERY PLAN ") + notesSql, {contact});
    while (plan.next())
        std::printf("plan of the notes query: %s\n", qPrintable(plan.value(3).toString()));

    Forms::unload(view);
    QApplication::processEvents();
    Db::closeAll();
    return 0;
}
