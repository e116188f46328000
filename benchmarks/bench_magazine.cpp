// Magazine view against its raw SQL, on 10,000 articles of about 3,000 Chinese characters: the
// whole list newest first, title and author searches, and content searches as a plain scan;
// also what a trigram index kept in a file beside the read-only database would give. Usage:
//   bench_magazine [folder] [--trigram]
// A folder keeps the generated database between runs; --trigram also builds and measures the
// trigram index (over a minute).
#include "data/db.h"
#include "data/store.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "shell/module1.h"
#include "shell/resources.h"
#include "views/magazine/frmzazhi.h"

#include "benchsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr int kArticles = 10000;
constexpr int kLength = 3000;
constexpr int kAuthors = 200;
constexpr int kMagazines = 12;
// A word in 1 article of 100 (title and body); its characters are not in the text pool.
const QString kRare = QStringLiteral("蓝鲸湾");

const QString kPool = QStringLiteral(
    "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而"
    "方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应"
    "开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命"
    "此变条只没结解问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求");
const QString kSurnames = QStringLiteral("王李张刘陈杨赵黄周吴徐孙胡朱高林何郭马罗");

QString randomText(std::mt19937& gen, int length)
{
    return Bench::randomText(gen, kPool, length, 17, QStringLiteral("，"), 340, QStringLiteral("。<BR>　　"));
}

double medianMs(const std::function<void()>& work, int runs)
{
    return Bench::medianMs({.runs = runs}, work);
}

void generate(const QString& path)
{
    std::mt19937 gen(20090131);
    const QSqlDatabase db = Db::open(path);
    Db::transaction(db, [&] {
        Db::exec(db, QStringLiteral("DELETE FROM news"));
        for (int i = 0; i < kArticles; ++i) {
            QString title = QStringLiteral("第%1篇 %2").arg(i).arg(randomText(gen, 12));
            QString body = randomText(gen, kLength);
            if (i % 100 == 7) {
                title.insert(4, kRare);
                body.insert(kLength / 2, kRare);
            }
            const QString author = kSurnames.at(i % kSurnames.size())
                                   + QStringLiteral("作者%1").arg(i % kAuthors, 3, 10, QLatin1Char('0'));
            const QString published = QDateTime(QDate(2000, 1, 1), QTime(8, 0))
                                          .addSecs(qint64(std::uniform_int_distribution<int>(0, 300000000)(gen)))
                                          .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            Db::exec(db, QStringLiteral("INSERT INTO news (标题, 作者, 杂志, 内容, 发布时间) VALUES (?, ?, ?, ?, ?)"),
                     {title, author, QStringLiteral("杂志%1").arg(i % kMagazines), body, published});
        }
    });
    Db::exec(db, QStringLiteral("VACUUM"));
}

// The ids and the shown columns of a query, read as the view reads them.
QList<qint64> rawIds(const QSqlDatabase& db, const QString& sql, const QVariantList& values, int columns)
{
    QSqlQuery q = Db::exec(db, sql, values);
    QList<qint64> ids;
    while (q.next()) {
        ids << q.value(0).toLongLong();
        for (int c = 1; c < columns; ++c)
            q.value(c).toString();
    }
    return ids;
}

QList<qint64> shownIds(const QTreeWidget* list)
{
    QList<qint64> ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids << list->topLevelItem(i)->text(0).toLongLong();
    return ids;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    initResources(); // the views' icons, as the program has them
    QTemporaryDir scratch;
    const QStringList args = app.arguments().mid(1);
    const bool trigram = args.contains(QStringLiteral("--trigram"));
    const QStringList folders = args.filter(QRegularExpression(QStringLiteral("^[^-]")));
    const QString folder = folders.isEmpty() ? scratch.path() : folders.first();
    QDir().mkpath(folder);
    Module1::ConnString = QDir(folder).filePath(QStringLiteral("mylive.dc"));
    const QString path = FrmZazhi::databasePath();
    setMsgBoxResponder([](const QString& text, QMessageBox::StandardButtons) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return QMessageBox::Ok;
    });

    try {
        const bool fresh = !QFileInfo::exists(path);
        try {
            Store::ensureMagazineDatabase(path);
        } catch (const Db::Error& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.text()));
            return 1;
        }
        if (fresh) {
            QElapsedTimer t;
            t.start();
            generate(path);
            std::printf("generated in %.1f s\n", t.nsecsElapsed() / 1e9);
        }
        Db::closeAll();
        std::printf("magazine: %d articles of about %d Chinese characters, file %.0f MB\n", kArticles, kLength,
                    QFileInfo(path).size() / 1e6);

        // The raw SQL runs on a read-only connection of its own, like the view's.
        const QString rawName = QStringLiteral("bench-raw");
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), rawName);
        raw.setDatabaseName(path);
        raw.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        raw.open();

        FrmZazhi* view = Forms::instance<FrmZazhi>();
        view->resize(1000, 700);
        view->show();
        auto* list = view->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        auto* direction = view->findChild<QComboBox*>(QStringLiteral("Combo1"));
        auto* keyword = view->findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* button = view->findChild<QPushButton*>(QStringLiteral("Command1"));

        const QString columns = QStringLiteral("SELECT id, 标题, 作者, 杂志 FROM news");
        const QString order = QStringLiteral(" ORDER BY 发布时间 DESC, id DESC");
        struct Case
        {
            const char* label;
            int direction;
            QString keyword;
            QString where; // empty: every article
            double limit;
        };
        const QString likeRare = QLatin1Char('%') + kRare + QLatin1Char('%');
        const QList<Case> cases = {
            {"whole list", 0, QString(), QString(), 2},
            {"title search, 1% found", 1, kRare, QStringLiteral(" WHERE 标题 LIKE ?"), 2},
            {"author search, 0.5% found", 2, QStringLiteral("作者007"), QStringLiteral(" WHERE 作者 LIKE ?"), 2},
            {"author search, 5% found", 2, QStringLiteral("王"), QStringLiteral(" WHERE 作者 LIKE ?"), 2},
            {"content search, 1% found", 4, kRare, QStringLiteral(" WHERE 内容 LIKE ?"), 0},
            {"content search, none found", 4, QStringLiteral("不存在的词"), QStringLiteral(" WHERE 内容 LIKE ?"), 0},
        };
        for (const Case& c : cases) {
            const QVariantList values =
                c.where.isEmpty() ? QVariantList() : QVariantList{QLatin1Char('%') + c.keyword + QLatin1Char('%')};
            const QString sql = columns + c.where + order;
            rawIds(raw, sql, values, 4); // warm the cache
            const double rawMs = medianMs([&] { rawIds(raw, sql, values, 4); }, 9);
            direction->setCurrentIndex(c.direction);
            keyword->setText(c.keyword);
            const double viewMs = medianMs([&] { button->click(); }, 9);
            const bool same = shownIds(list) == rawIds(raw, sql, values, 4);
            std::printf("%-28s %5lld rows: view %7.2f ms, raw SQL %7.2f ms, ratio %.2f%s%s\n", c.label,
                        static_cast<long long>(list->topLevelItemCount()), viewMs, rawMs, viewMs / rawMs,
                        c.limit > 0 ? " (limit 2)" : "", same ? "" : "  ROWS DIFFER");
        }

        // The whole list as a plain "select *" would read it, bodies included.
        const double star = medianMs(
            [&] {
                QSqlQuery q = Db::exec(raw, QStringLiteral("SELECT * FROM news ORDER BY 发布时间 DESC"));
                while (q.next())
                    for (int i = 0; i < 6; ++i)
                        q.value(i);
            },
            9);
        std::printf("for reference, SELECT * of the whole list with the bodies: %.2f ms\n", star);

        // How fast a content scan can be: the rows alone, and instr() instead of LIKE.
        const double count = medianMs(
            [&] { rawIds(raw, QStringLiteral("SELECT count(*) FROM news WHERE 内容 LIKE ?"), {likeRare}, 1); }, 9);
        const double instr = medianMs(
            [&] { rawIds(raw, QStringLiteral("SELECT count(*) FROM news WHERE instr(内容, ?) > 0"), {kRare}, 1); }, 9);
        const double length =
            medianMs([&] { rawIds(raw, QStringLiteral("SELECT sum(length(内容)) FROM news"), {}, 1); }, 9);
        std::printf("content scan floor: LIKE count %.1f ms, instr count %.1f ms, reading every body %.1f ms\n", count,
                    instr, length);

        // A trigram index in a file beside the database (the database itself is never written).
        const QString indexPath = QDir(folder).filePath(QStringLiteral("magazine.idx"));
        QFile::remove(indexPath);
        if (trigram) {
            const QString idxName = QStringLiteral("bench-index");
            QSqlDatabase idx = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), idxName);
            idx.setDatabaseName(indexPath);
            idx.open();
            Db::exec(idx, QStringLiteral("ATTACH DATABASE ? AS m"), {path});
            QElapsedTimer t;
            t.start();
            Db::transaction(idx, [&] {
                Db::exec(idx, QStringLiteral("CREATE VIRTUAL TABLE news_fts USING fts5(内容, tokenize='trigram', "
                                             "detail=none, content='')"));
                Db::exec(idx, QStringLiteral("INSERT INTO news_fts (rowid, 内容) SELECT id, 内容 FROM m.news"));
            });
            const double build = t.nsecsElapsed() / 1e6;
            const QString indexed = QStringLiteral(
                "SELECT id, 标题, 作者, 杂志 FROM m.news WHERE id IN (SELECT rowid FROM news_fts WHERE news_fts "
                "MATCH ?) AND 内容 LIKE ? ORDER BY 发布时间 DESC, id DESC");
            const QString match = QLatin1Char('"') + kRare + QLatin1Char('"');
            const double query = medianMs([&] { rawIds(idx, indexed, {match, likeRare}, 4); }, 9);
            std::printf("trigram index beside the file: built in %.1f s, %.0f MB (%.2f x the database), "
                        "content search %.2f ms (%.0f x faster than the LIKE scan)\n",
                        build / 1000, QFileInfo(indexPath).size() / 1e6,
                        double(QFileInfo(indexPath).size()) / double(QFileInfo(path).size()), query, count / query);
            idx.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-index"));
        QFile::remove(indexPath);
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(rawName);
    } catch (const Db::Error& e) {
        std::fprintf(stderr, "database error: %s\n", qPrintable(e.text()));
        return 1;
    }
    Forms::unload(Views::kMagazine);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Db::closeAll();
    return 0;
}
