// Knowledge view against its raw SQL, on 10,000 articles of about 5,000 Chinese characters:
// the list of one category, and content searches ("包括内容搜索") with and without the full-text
// index. Also what the index costs on disk and per insert. Usage:
//   bench_knowledge [folder]   (a folder keeps the generated database between runs)
#include "data/db.h"
#include "data/knowledge.h"
#include "data/store.h"
#include "gui/forms.h"
#include "gui/views.h"
#include "views/knowledge/frmff.h"

#include "benchsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr int kArticles = 10000;
constexpr int kLength = 5000;
constexpr int kCategories = 10;
// Words put into a known share of the articles; their characters are not in the text pool.
const QString kRare = QStringLiteral("蓝鲸湾");     // 1 in 100
const QString kCommon = QStringLiteral("紫藤花开"); // 1 in 10

const QString kPool = QStringLiteral(
    "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而"
    "方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应"
    "开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命"
    "此变条只没结解问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求"
    "老头基资边流路级少图山统接知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处府研队南给"
    "色光门即保治北造百规热领七海口东导器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白"
    "教速花带安场身车例真务具万每目至达走积示议声报斗完类八离华名确才科张信马节话米整空元况今集温传土许步群广石"
    "记需段研界拉林律叫且究观越织装影算低持音众书布复容儿须际商非验连断深难近矿千周委素技备半办青省列习响约支般"
    "史感劳便团往酸历市克何除消构府称太准精值号率族维划选标写存候毛亲快效斯院查江型眼王按格养易置派层片始却专状"
    "育厂京识适属圆包火住调满县局照参红细引听该铁价严龙飞");

QString randomText(std::mt19937& gen, int length)
{
    return Bench::randomText(gen, kPool, length);
}

double medianMs(const std::function<void()>& work, int runs)
{
    return Bench::medianMs({.runs = runs}, work);
}

qint64 pageBytes(const QString& pragma)
{
    return Db::count(QStringLiteral("PRAGMA ") + pragma);
}

qint64 fileBytes()
{
    return pageBytes(QStringLiteral("page_count")) * pageBytes(QStringLiteral("page_size"));
}

void insertArticles(std::mt19937& gen, int from, int count)
{
    Db::transaction([&] {
        for (int i = from; i < from + count; ++i) {
            QString body = randomText(gen, kLength);
            if (i % 100 == 7)
                body.insert(kLength / 2, kRare);
            if (i % 10 == 3)
                body.insert(kLength / 3, kCommon);
            const QString title = QStringLiteral("第%1篇 %2").arg(i).arg(randomText(gen, 10));
            Knowledge::add(title, body, QStringLiteral("类别%1").arg(i % kCategories),
                           QDate(2004, 1, 1).addDays(i % 2000));
        }
    });
}

// The ids in the view's article list.
QList<qint64> shownIds(const QTreeWidget* list)
{
    QList<qint64> ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids << list->topLevelItem(i)->text(0).toLongLong();
    return ids;
}

QList<qint64> rawIds(const QString& sql, const QVariantList& values)
{
    QSqlQuery q = Db::exec(Db::main(), sql, values);
    QList<qint64> ids;
    while (q.next()) {
        ids << q.value(0).toLongLong();
        q.value(1).toString();
        q.value(2).toString();
    }
    return ids;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.path();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("bench_knowledge.dc"));
    const bool fresh = !QFileInfo::exists(path);
    try {
        Store::ensureMainDatabase(path);
    } catch (const Db::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    Db::path() = path;
    std::mt19937 gen(20090131);

    try {
        std::printf("knowledge: %d articles of about %d Chinese characters in %d categories\n", kArticles, kLength,
                    kCategories);
        if (fresh) {
            // Measured without the index first, then with it.
            for (const char* drop :
                 {"DROP TRIGGER fangfa_grams_insert", "DROP TRIGGER fangfa_grams_delete",
                  "DROP TRIGGER fangfa_grams_update", "DROP TABLE fangfa_grams", "DROP TABLE fangfa_grams_todo"})
                Db::execute(QString::fromLatin1(drop));
            QElapsedTimer t;
            t.start();
            Db::transaction([] {
                for (int c = 0; c < kCategories; ++c)
                    Knowledge::addCategory(QStringLiteral("类别%1").arg(c));
            });
            insertArticles(gen, 0, kArticles);
            const double plainInsert = t.nsecsElapsed() / 1e6 / kArticles;
            const qint64 before = fileBytes();
            t.restart();
            // As the background build after start-up does it, in batches.
            Knowledge::ensureSearchIndex();
            while (Knowledge::buildSearchIndexStep(Db::main(), 50) > 0) {}
            const double build = t.nsecsElapsed() / 1e6;
            const qint64 after = fileBytes();
            std::printf(
                "index: built in %.1f s; file %.0f MB -> %.0f MB (index %.0f MB, %.2f x the texts' table, limit 1.5)\n",
                build / 1000, before / 1e6, after / 1e6, (after - before) / 1e6,
                double(after - before) / double(before));

            // Insert cost: the same batch of 200 with the index, against the batch without it.
            t.restart();
            const qint64 last = Knowledge::lastId();
            insertArticles(gen, kArticles, 200);
            const double indexedInsert = t.nsecsElapsed() / 1e6 / 200;
            // What the background work then spends on each of them.
            t.restart();
            while (Knowledge::buildSearchIndexStep(Db::main(), 50) > 0) {}
            const double background = t.nsecsElapsed() / 1e6 / 200;
            std::printf("adding them to the index in the background afterwards: %.2f ms per article\n", background);
            Db::execute(QStringLiteral("DELETE FROM fangfa WHERE id > ?"), {last});
            std::printf("insert (in one transaction, per article): %.2f ms without the index, %.2f ms with it "
                        "(%.1f x, limit 10)\n",
                        plainInsert, indexedInsert, indexedInsert / plainInsert);
            // One article as the add dialog stores it: its own transaction, synced to disk.
            const double one = medianMs(
                [&] {
                    const qint64 id = Knowledge::add(QStringLiteral("单篇"), randomText(gen, kLength),
                                                     QStringLiteral("类别0"), QDate(2009, 1, 31));
                    Knowledge::remove(id);
                },
                9);
            std::printf("add and delete one article, each committed to disk: %.1f ms with the index\n", one);
            Db::exec(Db::main(), QStringLiteral("VACUUM"));
        }
        Knowledge::ensureSearchIndex();

        Frmff* view = Forms::instance<Frmff>();
        view->resize(1000, 700);
        view->show();
        auto* list = view->findChild<QTreeWidget*>(QStringLiteral("ListView2"));
        auto* keyword = view->findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* category = view->findChild<QComboBox*>(QStringLiteral("Combo1"));
        auto* withContent = view->findChild<QCheckBox*>(QStringLiteral("Check1"));
        auto* searchButton = view->findChild<QPushButton*>(QStringLiteral("Command4"));

        // The list of a category.
        const QString listed = QStringLiteral("类别3");
        const QString listSql =
            QStringLiteral("SELECT id, title, addtime FROM fangfa WHERE ltype = ? ORDER BY addtime DESC, id DESC");
        rawIds(listSql, {listed}); // warm the cache
        const double rawList = medianMs([&] { rawIds(listSql, {listed}); }, 15);
        const double viewList = medianMs([&] { view->FfList(listed); }, 15);
        const bool sameList = shownIds(list) == rawIds(listSql, {listed});
        std::printf("category list (%lld rows): view %.1f ms, raw SQL %.1f ms, ratio %.2f (limit 2)%s\n",
                    static_cast<long long>(list->topLevelItemCount()), viewList, rawList, viewList / rawList,
                    sameList ? "" : "  ROWS DIFFER");

        // Content searches in every category against a plain LIKE scan of the same articles.
        const QString scanSql = QStringLiteral("SELECT id, title, addtime FROM fangfa"
                                               " WHERE (title LIKE ? OR content LIKE ?) ORDER BY id");
        withContent->setChecked(true);
        category->setEditText(QStringLiteral("全部类别"));
        struct Case
        {
            const char* label;
            QString word;
        };
        const QList<Case> cases = {
            {"2 characters, 1% of articles", kRare.left(2)}, {"2 characters, 10% of articles", kCommon.left(2)},
            {"3 characters, 1% of articles", kRare},         {"3 characters, 10% of articles", kCommon.left(3)},
            {"4 characters, 10% of articles", kCommon},      {"2 characters of the text pool", QStringLiteral("时间")}};
        for (const Case& c : cases) {
            const QString pattern = QLatin1Char('%') + c.word + QLatin1Char('%');
            rawIds(scanSql, {pattern, pattern});
            const double scan = medianMs([&] { rawIds(scanSql, {pattern, pattern}); }, 5);
            keyword->setText(c.word);
            const double viewSearch = medianMs([&] { searchButton->click(); }, 5);
            const bool same = shownIds(list) == rawIds(scanSql, {pattern, pattern});
            std::printf("content search, %s (%lld found): view %.1f ms, LIKE scan %.1f ms, ratio %.3f (limit 0.1)%s\n",
                        c.label, static_cast<long long>(list->topLevelItemCount()), viewSearch, scan, viewSearch / scan,
                        same ? "" : "  ROWS DIFFER");
        }
    } catch (const Db::Error& e) {
        std::fprintf(stderr, "database error: %s\n", qPrintable(e.text()));
        return 1;
    }
    Forms::unload(Views::kKnowledge);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Db::closeAll();
    return 0;
}
