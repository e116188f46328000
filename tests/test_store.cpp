#include "data/chime.h"
#include "data/db.h"
#include "data/passwords.h"
#include "data/store.h"
#include "data/tasks.h"
#include "shell/module1.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

// The database files a first start creates, and the rules every data function follows.
class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void migratedFileHasTheFreshSchema();
    void idsAreNeverReused();
    void newRowsGetTheirDefaults();
    void sampleDataIsOurs();
    void existingDatabaseIsKept();
    void emptyFileIsFilled();
    void unwritableFolderLeavesNothing();
    void refusalSaysWhetherACopyMayReplace_data();
    void refusalSaysWhetherACopyMayReplace();
    void quotesRoundTrip();
    void failedChangeKeepsNothing();
    void lookupsUseIndexes_data();
    void lookupsUseIndexes();
    void reminderTimesOfADay();
    void magazineDatabase();
    void chimeIsAPlayableWave();

private:
    QSqlDatabase db() const { return Db::open(path_); }
    static QStringList schemaOf(const QString& path);

    QTemporaryDir dir_;
    QString path_;
    QStringList reported_;
};

void StoreTest::init()
{
    Db::closeAll();
    path_ = dir_.filePath(QStringLiteral("case-%1.dc").arg(QLatin1StringView(QTest::currentTestFunction())));
    QFile::remove(path_);
    Store::ensureMainDatabase(path_);
    Module1::ConnString = path_;
    reported_.clear();
    Db::setErrorReporter([this](const QString& t) { reported_.append(t); });
}

void StoreTest::cleanup()
{
    Db::setErrorReporter({});
    Db::closeAll();
}

// Every table, column, index and trigger, described in a form that does not depend on how the
// statement that made it was spelled.
QStringList StoreTest::schemaOf(const QString& path)
{
    QStringList described;
    const QSqlDatabase d = Db::open(path);
    QSqlQuery objects(d);
    objects.exec(QStringLiteral(
        "SELECT type, name, tbl_name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY type, name"));
    while (objects.next()) {
        const QString type = objects.value(0).toString();
        const QString name = objects.value(1).toString();
        described << QStringLiteral("%1 %2 on %3").arg(type, name, objects.value(2).toString());
        QSqlQuery detail(d);
        if (type == QLatin1String("table"))
            detail.prepare(QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_xinfo(?)"));
        else if (type == QLatin1String("index"))
            detail.prepare(QStringLiteral("SELECT name, desc, coll, key FROM pragma_index_xinfo(?)"));
        else
            continue;
        detail.addBindValue(name);
        if (!detail.exec())
            described << QStringLiteral("  unreadable: ") + detail.lastError().text();
        while (detail.next()) {
            QStringList fields;
            for (int i = 0; i < 5 && detail.record().count() > i; ++i)
                fields << detail.value(i).toString();
            described << QStringLiteral("  ") + fields.join(QLatin1Char('|'));
        }
    }
    return described;
}

void StoreTest::migratedFileHasTheFreshSchema()
{
    // A file of the first release, migrated, must end up exactly like a database made today:
    // a column or index added to the fresh schema without its migration shows up here.
    const QString old = dir_.filePath(QStringLiteral("old.dc"));
    QFile::remove(old);
    QVERIFY(QFile::copy(QFINDTESTDATA("data/mylive_v0.dc"), old));
    QFile::setPermissions(old, QFile::ReadOwner | QFile::WriteOwner);
    Store::ensureMainDatabase(old);
    const QStringList migrated = schemaOf(old);
    const QStringList fresh = schemaOf(path_);
    QVERIFY(!fresh.isEmpty());
    for (int i = 0; i < qMax(migrated.size(), fresh.size()); ++i)
        QCOMPARE(migrated.value(i), fresh.value(i));
}

void StoreTest::idsAreNeverReused()
{
    const QSqlDatabase d = db();
    Db::exec(d, u"INSERT INTO juese (name) VALUES ('a')"_s);
    QSqlQuery q = Db::exec(d, u"SELECT max(id) FROM juese"_s);
    QVERIFY(q.next());
    const qint64 newest = q.value(0).toLongLong();
    Db::exec(d, u"DELETE FROM juese WHERE id = ?"_s, {newest});
    Db::exec(d, u"INSERT INTO juese (name) VALUES ('b')"_s);
    QSqlQuery again = Db::exec(d, u"SELECT max(id) FROM juese"_s);
    QVERIFY(again.next());
    QVERIFY(again.value(0).toLongLong() > newest);
}

void StoreTest::newRowsGetTheirDefaults()
{
    const QSqlDatabase d = db();
    Db::exec(d, u"INSERT INTO renwu (title) VALUES ('x')"_s);
    QSqlQuery q = Db::exec(d, u"SELECT zhuangtai, type1, today, intime FROM renwu ORDER BY id DESC LIMIT 1"_s);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    QCOMPARE(q.value(1).toInt(), 1);
    QVERIFY(q.value(2).isNull());
    QVERIFY(q.value(3).isNull());

    Db::exec(d, u"INSERT INTO mubiao (title) VALUES ('g')"_s);
    Db::exec(d, u"INSERT INTO rjxx (renji, title) VALUES (1, 'n')"_s);
    for (const QString& sql : {u"SELECT ksdate FROM mubiao ORDER BY id DESC LIMIT 1"_s,
                               u"SELECT addtime FROM rjxx ORDER BY id DESC LIMIT 1"_s}) {
        QSqlQuery day = Db::exec(d, sql);
        QVERIFY(day.next());
        QVERIFY2(Db::dayFrom(day.value(0)).isValid(), qPrintable(sql));
    }
}

void StoreTest::sampleDataIsOurs()
{
    const QSqlDatabase d = db();
    QSqlQuery users = Db::exec(d, uR"(SELECT id, password FROM "user" ORDER BY id)"_s);
    QVERIFY(users.next());
    // The sample password, kept only as its hash.
    QVERIFY(users.value(1).toString().startsWith(QLatin1String("$argon2id$")));
    QVERIFY(Passwords::matches(users.value(1).toString(), QStringLiteral("123456")));
    QVERIFY(users.next());
    QCOMPARE(users.value(0).toInt(), 2);
    QCOMPARE(users.value(1).toString(), QStringLiteral("1"));
    QVERIFY(!users.next());

    QSqlQuery diary = Db::exec(d, u"SELECT count(*) FROM fftype WHERE fftype = ?"_s, {QStringLiteral("日志")});
    QVERIFY(diary.next());
    QCOMPARE(diary.value(0).toInt(), 1);

    for (const QString& table :
         {u"juese"_s, u"mubiao"_s, u"renwu"_s, u"mengxiang"_s, u"fangfa"_s, u"renji"_s, u"rjxx"_s, u"gxlb"_s,
          u"zhanghao"_s, u"zhanghaotype"_s, u"shouzhi"_s, u"shouzhitype"_s}) {
        QSqlQuery q = Db::exec(d, QStringLiteral("SELECT count(*) FROM %1").arg(table));
        QVERIFY(q.next());
        QVERIFY2(q.value(0).toInt() > 0, qPrintable(table));
    }

    // Tasks on the sample's own day, with and without a time, and tasks without a day.
    QSqlQuery tasks = Db::exec(
        d, u"SELECT sum(today = '2009-01-31' AND intime IS NOT NULL), sum(today = '2009-01-31' AND intime IS NULL),"
           " sum(today IS NULL), min(today), max(today) FROM renwu"_s);
    QVERIFY(tasks.next());
    QVERIFY(tasks.value(0).toInt() >= 2);
    QVERIFY(tasks.value(1).toInt() >= 1);
    QVERIFY(tasks.value(2).toInt() >= 1);
    QVERIFY(tasks.value(3).toString() >= QLatin1String("2008-12-01"));
    QVERIFY(tasks.value(4).toString() <= QLatin1String("2009-03-31"));

    // Every account's balance is what its records add up to.
    QSqlQuery balances = Db::exec(
        d, u"SELECT z.zhname, z.moneys, coalesce((SELECT sum(CASE s.shouzhi WHEN 1 THEN -s.moneys ELSE s.moneys END)"
           " FROM shouzhi s WHERE s.zhanghao = z.zhname), 0) FROM zhanghao z"_s);
    while (balances.next())
        QCOMPARE(balances.value(1).toLongLong(), balances.value(2).toLongLong());

    // Transfers come in pairs of legs that cancel out.
    QSqlQuery transfers = Db::exec(d, u"SELECT count(*), coalesce(sum(moneys), 0) FROM shouzhi WHERE shouzhi = 3"_s);
    QVERIFY(transfers.next());
    QCOMPARE(transfers.value(0).toInt() % 2, 0);
    QCOMPARE(transfers.value(1).toLongLong(), 0);
}

void StoreTest::existingDatabaseIsKept()
{
    Db::exec(db(), uR"(UPDATE "user" SET password = 'mine' WHERE id = 1)"_s);
    Db::closeAll();
    Store::ensureMainDatabase(path_);
    QSqlQuery q = Db::exec(db(), uR"(SELECT password FROM "user" WHERE id = 1)"_s);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("mine"));
}

void StoreTest::emptyFileIsFilled()
{
    Db::closeAll();
    const QString empty = dir_.filePath(QStringLiteral("empty.dc"));
    QFile f(empty);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    Store::ensureMainDatabase(empty);
    QSqlQuery q = Db::exec(Db::open(empty), u"SELECT count(*) FROM renwu"_s);
    QVERIFY(q.next());
    QVERIFY(q.value(0).toInt() > 0);
}

void StoreTest::unwritableFolderLeavesNothing()
{
    const QString path = dir_.filePath(QStringLiteral("no/such/folder/mylive.dc"));
    QVERIFY_THROWS_EXCEPTION(Db::Error, Store::ensureMainDatabase(path));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
    QVERIFY_THROWS_EXCEPTION(Db::Error, Store::ensureReminderSound(dir_.filePath(QStringLiteral("no/such/5.wav"))));
}

void StoreTest::refusalSaysWhetherACopyMayReplace_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("replaceable");
    QTest::newRow("link") << QStringLiteral("link") << false;
    QTest::newRow("not a database") << QStringLiteral("junk") << true;
    QTest::newRow("newer build") << QStringLiteral("newer") << false;
    QTest::newRow("empty, with a good copy") << QStringLiteral("empty") << true;
}

void StoreTest::refusalSaysWhetherACopyMayReplace()
{
    QFETCH(QString, kind);
    QFETCH(bool, replaceable);
    const QString path = dir_.filePath(QStringLiteral("refused-%1.dc").arg(kind));
    QFile f(path);
    if (kind == QLatin1String("link")) {
        QVERIFY(QFile::link(path_, path));
    } else if (kind == QLatin1String("newer")) {
        QVERIFY(QFile::copy(path_, path));
        Db::exec(Db::open(path), u"PRAGMA user_version = 99"_s);
        Db::closeAll();
    } else {
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("junk"))
            f.write("not a database\n");
        f.close();
    }
    try {
        Store::ensureMainDatabase(path, [] { return true; });
        QFAIL("the file was accepted");
    } catch (const Store::Refused& e) {
        QCOMPARE(e.replaceable(), replaceable);
        QVERIFY2(e.text().contains(QFileInfo(path).absoluteFilePath()), qPrintable(e.text()));
    }
}

void StoreTest::quotesRoundTrip()
{
    const QString text = QStringLiteral("It's Tom's \"plan\"; DROP TABLE renwu; -- 王's");
    const QSqlDatabase d = db();
    Db::exec(d, u"INSERT INTO renwu (title, content) VALUES (?, ?)"_s, {text, text});
    QSqlQuery q = Db::exec(d, u"SELECT title, content FROM renwu WHERE title = ?"_s, {text});
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), text);
    QCOMPARE(q.value(1).toString(), text);
}

void StoreTest::failedChangeKeepsNothing()
{
    QSqlQuery before = Db::exec(db(), u"SELECT count(*) FROM juese"_s);
    QVERIFY(before.next());
    const int count = before.value(0).toInt();
    before.finish();

    const bool ok = Db::run([] {
        Db::transaction([] {
            Db::exec(Db::main(), u"INSERT INTO juese (name) VALUES ('half')"_s);
            Db::exec(Db::main(), u"INSERT INTO no_such_table (x) VALUES (1)"_s);
        });
    });
    QVERIFY(!ok);
    QCOMPARE(reported_.size(), 1);
    QVERIFY(reported_.first().contains(QLatin1String("no_such_table")));

    QSqlQuery after = Db::exec(db(), u"SELECT count(*) FROM juese"_s);
    QVERIFY(after.next());
    QCOMPARE(after.value(0).toInt(), count);
}

void StoreTest::lookupsUseIndexes_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("index");
    QTest::newRow("tasks of a day") << "SELECT * FROM renwu WHERE today = '2009-01-31'"
                                    << "renwu_today";
    QTest::newRow("tasks of a goal") << "SELECT * FROM renwu WHERE mubiao = 3"
                                     << "renwu_mubiao";
    QTest::newRow("goals of a theme") << "SELECT * FROM mubiao WHERE juese = 1"
                                      << "mubiao_juese";
    QTest::newRow("records by kind and day") << "SELECT * FROM shouzhi WHERE shouzhi = 1 AND addtime >= '2009-01-01'"
                                             << "shouzhi_kind_day";
    QTest::newRow("notes of a contact") << "SELECT * FROM rjxx WHERE renji = 2"
                                        << "rjxx_renji";
    QTest::newRow("articles of a category") << "SELECT * FROM fangfa WHERE ltype = 'x'"
                                            << "fangfa_ltype";
}

void StoreTest::lookupsUseIndexes()
{
    QFETCH(QString, sql);
    QFETCH(QString, index);
    QSqlQuery plan = Db::exec(db(), QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    QString text;
    while (plan.next())
        text += plan.value(3).toString() + QLatin1Char('\n');
    QVERIFY2(text.contains(index), qPrintable(text));
}

void StoreTest::reminderTimesOfADay()
{
    const QSqlDatabase d = db();
    Db::exec(d, u"DELETE FROM renwu"_s);
    Db::exec(d, u"INSERT INTO renwu (title, today, intime) VALUES ('a', '2010-05-01', '14:30:00'),"
                " ('b', '2010-05-01', NULL), ('c', '2010-05-01', '09:00:00'), ('d', '2010-05-02', '10:00:00'),"
                " ('e', NULL, '11:00:00')"_s);
    const auto times = Tasks::reminderTimes(QDate(2010, 5, 1));
    QCOMPARE(times, (QList<QTime>{QTime(14, 30), QTime(9, 0)}));
    QVERIFY(Tasks::reminderTimes(QDate(2010, 5, 3)).isEmpty());
}

void StoreTest::magazineDatabase()
{
    const QString path = dir_.filePath(QStringLiteral("magazine.mdb"));
    Store::ensureMagazineDatabase(path);
    const QSqlRecord record = Db::open(path).record(QStringLiteral("news"));
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    QCOMPARE(names, (QStringList{u"id"_s, QStringLiteral("标题"), QStringLiteral("作者"), QStringLiteral("杂志"),
                                 QStringLiteral("内容"), QStringLiteral("发布时间")}));
    QSqlQuery q = Db::exec(Db::open(path), QStringLiteral("SELECT count(*), sum(内容 LIKE '%<BR>%') FROM news"));
    QVERIFY(q.next());
    QVERIFY(q.value(0).toInt() >= 5);
    QVERIFY(q.value(1).toInt() >= 1);
}

void StoreTest::chimeIsAPlayableWave()
{
    const QString path = dir_.filePath(QStringLiteral("5.wav"));
    Store::ensureReminderSound(path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray wav = f.readAll();
    QCOMPARE(wav, Chime::wav());
    QVERIFY(wav.startsWith("RIFF"));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 20), quint16(1)); // PCM
    const quint32 rate = qFromLittleEndian<quint32>(wav.constData() + 24);
    const quint32 dataBytes = qFromLittleEndian<quint32>(wav.constData() + 40);
    QCOMPARE(int(dataBytes) + 44, wav.size());
    const double seconds = double(dataBytes) / 2 / rate;
    QVERIFY(seconds > 0.5 && seconds < 3.0);

    // Audible, never clipped, and ending in silence rather than a click.
    int peak = 0;
    const auto* samples = reinterpret_cast<const uchar*>(wav.constData() + 44);
    const int count = int(dataBytes / 2);
    for (int i = 0; i < count; ++i)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(samples + 2 * i))));
    QVERIFY(peak > 3000);
    QVERIFY(peak < 32767);
    QVERIFY(std::abs(int(qFromLittleEndian<qint16>(samples + 2 * (count - 1)))) < 200);

    // An existing sound file is the user's and stays as it is.
    f.close();
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("mine");
    f.close();
    Store::ensureReminderSound(path);
    QCOMPARE(QFileInfo(path).size(), 4);
}

QTEST_GUILESS_MAIN(StoreTest)
#include "test_store.moc"
