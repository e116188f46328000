#include "data/db.h"
#include "data/exchange.h"
#include "data/icaltask.h"
#include "data/schema.h"
#include "data/tasks.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>
#include <QUuid>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

// Themes, goals, a rule and tasks covering every field that travels.
void fillTasks(const ProgramRun& run)
{
    run.exec(u"DELETE FROM renwu"_s);
    run.exec(u"INSERT INTO juese (name) VALUES ('事业, 发展;'), ('健康')"_s);
    const qint64 career = run.scalar(u"SELECT id FROM juese WHERE name = '事业, 发展;'"_s).toLongLong();
    const qint64 health = run.scalar(u"SELECT id FROM juese WHERE name = '健康'"_s).toLongLong();
    run.exec(u"INSERT INTO mubiao (title, juese) VALUES ('学会游泳', ?), ('读书\\n计划', ?)"_s, {health, career});
    const qint64 swim = run.scalar(u"SELECT id FROM mubiao WHERE title = '学会游泳'"_s).toLongLong();
    run.exec(
        u"INSERT INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, xuhao, today, intime, zhuangtai)"
        " VALUES ('买泳镜', '第一行\n第二行，含逗号; 分号 \\ 反斜杠', ?, ?, 1, 1, 2.5, '2009-02-03', '08:30:00', 0)"_s,
        {swim, health});
    run.exec(
        u"INSERT INTO renwu (title, juese, zhongyao, jinpo, today, zhuangtai) VALUES"
        " ('整理书架', ?, 1, 0, '2009-02-04', 1), ('打电话', 0, 0, 1, NULL, 2), ('闲逛', 0, 0, 0, '2009-01-01', 3)"_s,
        {career});
    run.exec(u"INSERT INTO chongfu (title, pinlv, xingqi, jiange, ksday, jzday, lastday, intime)"
             " VALUES ('晨跑', 2, 5, 1, '2009-02-02', '2009-03-31', '2009-02-04', '06:00:00'),"
             " ('复盘', 4, 0, 3, '2009-02-01', NULL, '2009-02-01', NULL)"_s);
    run.exec(u"INSERT INTO renwu (title, type1, today, intime, chongfu, cfday) VALUES"
             " ('晨跑', 0, '2009-02-02', '06:00:00', (SELECT id FROM chongfu WHERE title = '晨跑'), '2009-02-02'),"
             " ('晨跑', 0, '2009-02-05', '06:00:00', (SELECT id FROM chongfu WHERE title = '晨跑'), '2009-02-04'),"
             " ('复盘', 0, '2009-02-01', NULL, (SELECT id FROM chongfu WHERE title = '复盘'), '2009-02-01')"_s);
    run.exec(u"UPDATE chongfu SET zhuangtai = 1 WHERE title = '复盘'"_s);
}

QList<IcalTask> sorted(QList<IcalTask> list)
{
    std::sort(list.begin(), list.end(), [](const IcalTask& a, const IcalTask& b) { return a.uid < b.uid; });
    return list;
}

QString describe(const IcalTask& t)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|")
               .arg(t.uid, t.name, t.description, t.day.toString(Qt::ISODate), t.time.toString(Qt::ISODate))
               .arg(t.state)
               .arg(t.quadrant)
               .arg(t.reminder.toString(Qt::ISODate), t.theme)
           + QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                 .arg(t.goal, Tasks::orderText(t.order))
                 .arg(t.rule.freq)
                 .arg(t.rule.interval)
                 .arg(t.rule.weekdays)
                 .arg(t.rule.start.toString(Qt::ISODate), t.rule.until.toString(Qt::ISODate))
                 .arg(t.rule.active)
                 .arg(t.rule.occurrence.toString(Qt::ISODate));
}

void fillContacts(const ProgramRun& run)
{
    run.exec(u"DELETE FROM renji"_s);
    run.exec(u"DELETE FROM rjxx"_s);
    run.exec(u"INSERT INTO gxlb (gxlb) VALUES ('同学, 老友')"_s);
    run.exec(u"INSERT INTO renji (name, title, leibie, sex, tel, mob, \"add\", zip, email, msn) VALUES"
             " ('张三', '大学同学', (SELECT id FROM gxlb WHERE gxlb = '同学, 老友'), 1, '010-1234;5', '13800000000',"
             " '北京市海淀区\n某路 1 号', '100080', 'zs@example.com', 'zs@msn.com'),"
             " ('李四', '', 0, 0, '', '', '', '', '', '')"_s);
    run.exec(u"INSERT INTO rjxx (renji, title, content, type1, addtime) VALUES"
             " ((SELECT id FROM renji WHERE name = '张三'), '第一次\"见面\"', '在食堂，聊了很久\n很开心', '联系记录', "
             "'2009-01-20'),"
             " ((SELECT id FROM renji WHERE name = '张三'), '生日', '三月', '补充资料', '2009-01-21')"_s);
}

QString contactsDump(const ProgramRun& run)
{
    QStringList rows;
    QSqlQuery q =
        run.query(u"SELECT r.uid, r.name, r.title, coalesce(g.gxlb, ''), r.sex, r.tel, r.mob, r.\"add\","
                  " r.zip, r.email, r.msn, (SELECT group_concat(title || '/' || content || '/' || type1 || '/'"
                  " || addtime, '|') FROM (SELECT * FROM rjxx WHERE renji = r.id ORDER BY addtime))"
                  " FROM renji r LEFT JOIN gxlb g ON g.id = r.leibie ORDER BY r.uid"_s);
    while (q.next()) {
        QStringList f;
        for (int i = 0; i < 12; ++i)
            f << q.value(i).toString();
        rows << f.join(QLatin1Char('#'));
    }
    return rows.join(QLatin1Char('\n'));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Runs the system's Python (with its Debian packages) on a script; its standard output.
QString python(const QString& script, const QStringList& args = {})
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
    p.waitForFinished(60000);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    if (p.exitCode() != 0)
        qWarning().noquote() << err;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}
} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { closeEverything(); }

    void everyTaskHasItsOwnUid()
    {
        ProgramRun run;
        QVERIFY(run.start());
        QVERIFY(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt() > 0);
        QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE uid IS NULL OR modified IS NULL"_s).toInt(), 0);
        run.exec(u"INSERT INTO renwu (title) VALUES ('新任务')"_s);
        QCOMPARE(run.scalar(u"SELECT count(DISTINCT uid) FROM renwu"_s).toInt(),
                 run.scalar(u"SELECT count(*) FROM renwu"_s).toInt());
        QVERIFY(QUuid::fromString(run.scalar(u"SELECT uid FROM renwu WHERE title = '新任务'"_s).toString()).version()
                == QUuid::Random);
    }

    void tasksRoundTripThroughICalendar()
    {
        QByteArray ics;
        QList<IcalTask> before;
        {
            ProgramRun run;
            QVERIFY(run.start());
            fillTasks(run);
            before = sorted(IcalTasks::readAll());
            QCOMPARE(before.size(), 7);
            ics = IcalTasks::toCalendar(before);
        }
        closeEverything();
        ProgramRun fresh;
        QVERIFY(fresh.start());
        fresh.exec(u"DELETE FROM renwu"_s);
        fresh.exec(u"DELETE FROM chongfu"_s);
        fresh.exec(u"INSERT INTO juese (name) VALUES ('事业, 发展;'), ('健康')"_s);
        fresh.exec(u"INSERT INTO mubiao (title, juese) VALUES ('学会游泳', (SELECT id FROM juese WHERE name = '健康')),"
                   " ('读书\\n计划', (SELECT id FROM juese WHERE name = '事业, 发展;'))"_s);
        const IcalParseResult parsed = IcalTasks::parse(ics);
        QVERIFY2(parsed.ok(), qPrintable(parsed.error));
        QCOMPARE(parsed.tasks.size(), 7);
        for (int pass = 0; pass < 2; ++pass) {
            int inserted = 0, unchanged = 0;
            Db::transaction([&] {
                IcalTasks::Writer writer;
                for (const IcalTask& t : parsed.tasks) {
                    const auto r = writer.write(t);
                    inserted += r.outcome == IcalTasks::Outcome::Inserted;
                    unchanged += r.outcome == IcalTasks::Outcome::Unchanged;
                }
            });
            QCOMPARE(inserted, pass == 0 ? 7 : 0);
            QCOMPARE(unchanged, pass == 0 ? 0 : 7);
        }
        const QList<IcalTask> after = sorted(IcalTasks::readAll());
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < after.size(); ++i)
            QCOMPARE(describe(after[i]), describe(before[i]));
        QCOMPARE(fresh.scalar(u"SELECT count(*) FROM chongfu"_s).toInt(), 2);
    }

    void contactsRoundTripThroughVCard()
    {
        QByteArray vcf;
        QString before;
        {
            ProgramRun run;
            QVERIFY(run.start());
            fillContacts(run);
            before = contactsDump(run);
            vcf = Exchange::exportContacts();
        }
        closeEverything();
        ProgramRun fresh;
        QVERIFY(fresh.start());
        fresh.exec(u"DELETE FROM renji"_s);
        fresh.exec(u"DELETE FROM rjxx"_s);
        fresh.exec(u"DELETE FROM gxlb"_s);
        const Exchange::Summary first = Exchange::importContacts(vcf);
        QCOMPARE(first.text(), QStringLiteral("导入 2 项：新增 2，更新 0，跳过重复 0"));
        QCOMPARE(contactsDump(fresh), before);
        const Exchange::Summary second = Exchange::importContacts(vcf);
        QCOMPARE(second.text(), QStringLiteral("导入 2 项：新增 0，更新 0，跳过重复 2"));
        QCOMPARE(contactsDump(fresh), before);
        // Without its UID a card is still found by name and phone.
        QByteArray noUid = vcf;
        noUid.replace("UID:", "X-OLD-UID:");
        const Exchange::Summary third = Exchange::importContacts(noUid);
        QCOMPARE(third.text(), QStringLiteral("导入 2 项：新增 0，更新 0，跳过重复 2"));
        QCOMPARE(contactsDump(fresh), before);
    }

    void badFilesChangeNothing_data()
    {
        QTest::addColumn<bool>("calendar");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        const QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VTODO\r\nUID:1\r\nSUMMARY:a\r\n"
                               "END:VTODO\r\nEND:VCALENDAR\r\n";
        const QByteArray vcf = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:a\r\nEND:VCARD\r\n";
        QTest::newRow("ics truncated") << true << ics.left(ics.indexOf("END:VTODO")) << 6;
        QTest::newRow("ics not utf-8") << true << QByteArray(ics).replace("SUMMARY:a", "SUMMARY:\xb0\xa1\xb0\xa1") << 6;
        QByteArray garbage(10 * 1024 * 1024, 'x');
        for (int i = 0; i < garbage.size(); i += 97)
            garbage[i] = char(i % 251);
        QTest::newRow("ics garbage") << true << garbage << 1;
        QTest::newRow("ics bad line") << true << QByteArray(ics).replace("SUMMARY:a", "no colon here") << 6;
        QTest::newRow("ics bad due") << true << QByteArray(ics).replace("SUMMARY:a", "DUE:tomorrow") << 6;
        QTest::newRow("vcf truncated") << false << vcf.left(vcf.indexOf("END:VCARD")) << 3;
        QTest::newRow("vcf not utf-8") << false << QByteArray(vcf).replace("FN:a", "FN:\xd5\xc5") << 3;
        QTest::newRow("vcf garbage") << false << garbage << 1;
        QTest::newRow("vcf bad version") << false << QByteArray(vcf).replace("4.0", "2.1") << 1;
        QByteArray many;
        for (int i = 0; i < 10000; ++i)
            many += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:人" + QByteArray::number(i)
                    + "\r\nTEL;TYPE=CELL:" + QByteArray::number(13900000000LL + i) + "\r\nEND:VCARD\r\n";
        many += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        QTest::newRow("vcf 10000 then truncated") << false << many << 50002;
    }

    void badFilesChangeNothing()
    {
        QFETCH(bool, calendar);
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        ProgramRun run;
        QVERIFY(run.start());
        const int tasks = run.scalar(u"SELECT count(*) FROM renwu"_s).toInt();
        const int contacts = run.scalar(u"SELECT count(*) FROM renji"_s).toInt();
        const Exchange::Summary s = calendar ? Exchange::importTasks(bytes) : Exchange::importContacts(bytes);
        QVERIFY2(s.error.startsWith(QStringLiteral("文件格式不正确：第 %1 行 ").arg(line)), qPrintable(s.error));
        QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), tasks);
        QCOMPARE(run.scalar(u"SELECT count(*) FROM renji"_s).toInt(), contacts);
    }

    void bigVCardImportsWhole()
    {
        ProgramRun run;
        QVERIFY(run.start());
        QByteArray many;
        for (int i = 0; i < 10000; ++i)
            many += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:人" + QByteArray::number(i)
                    + "\r\nTEL;TYPE=CELL:" + QByteArray::number(13900000000LL + i) + "\r\nEND:VCARD\r\n";
        const int before = run.scalar(u"SELECT count(*) FROM renji"_s).toInt();
        QCOMPARE(Exchange::importContacts(many).added, 10000);
        QCOMPARE(run.scalar(u"SELECT count(*) FROM renji"_s).toInt(), before + 10000);
        QCOMPARE(Exchange::importContacts(many).skipped, 10000);
    }

    void cancelledImportChangesNothing()
    {
        ProgramRun run;
        QVERIFY(run.start());
        fillTasks(run);
        const QByteArray ics = Exchange::exportTasks();
        run.exec(u"DELETE FROM renwu"_s);
        const Exchange::Summary s = Exchange::importTasks(ics, [](int done, int) { return done < 5; });
        QVERIFY(s.cancelled);
        QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), 0);
    }

    void realClientsReadWhatWeWrite()
    {
        ProgramRun run;
        QVERIFY(run.start());
        fillTasks(run);
        fillContacts(run);
        const QString ics = run.file(u"tasks.ics"_s), vcf = run.file(u"contacts.vcf"_s);
        writeFile(ics, Exchange::exportTasks());
        writeFile(vcf, Exchange::exportContacts());
        const QString todos = python(QStringLiteral(R"(
import sys, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
for t in sorted(cal.walk('VTODO'), key=lambda t: str(t['SUMMARY']) + str(t.get('DUE').to_ical() if t.get('DUE') else '')):
    cats = t.get('CATEGORIES')
    cats = cats if isinstance(cats, list) else ([cats] if cats else [])
    names = ','.join(c for x in cats for c in x.cats)
    due = t.get('DUE')
    print('%s|%s|%s|%s|%s|%d|%s' % (t['SUMMARY'], due.to_ical().decode() if due else '', t['STATUS'], t['PRIORITY'],
          names, len(t.walk('VALARM')), t['RRULE'].to_ical().decode() if t.get('RRULE') else ''))
)"),
                                     {ics});
        QStringList lines = todos.split(QLatin1Char('\n'));
        lines.sort();
        QStringList expected({u"复盘|20090201|NEEDS-ACTION|9||0|FREQ=DAILY;INTERVAL=3"_s, u"打电话||CANCELLED|5||0|"_s,
                              u"整理书架|20090204|COMPLETED|3|事业, 发展;|0|"_s,
                              u"晨跑|20090202T060000|NEEDS-ACTION|9||1|FREQ=WEEKLY;UNTIL=20090331;BYDAY=MO,WE"_s,
                              u"晨跑|20090205T060000|NEEDS-ACTION|9||1|FREQ=WEEKLY;UNTIL=20090331;BYDAY=MO,WE"_s,
                              u"买泳镜|20090203T083000|NEEDS-ACTION|1|健康,学会游泳|1|"_s,
                              u"闲逛|20090101|NEEDS-ACTION|9||0|"_s});
        expected.sort();
        QCOMPARE(lines, expected);
        const QString cards = python(QStringLiteral(R"(
import sys, vobject
for c in vobject.readComponents(open(sys.argv[1], encoding='utf-8').read()):
    print('%s|%s|%s|%d' % (c.fn.value, ','.join(t.value for t in c.contents.get('tel', [])),
          c.contents['adr'][0].value.code if 'adr' in c.contents else '', len(c.contents.get('x-vantorel-note', []))))
)"),
                                     {vcf});
        QCOMPARE(cards, QStringLiteral("张三|13800000000,010-1234;5|100080|2\n李四|||0"));

        // todoman lists the tasks from a folder of one .ics per task.
        const QString vdir = run.file(u"vdir/list"_s);
        QVERIFY(QDir().mkpath(vdir));
        for (const IcalTask& t : IcalTasks::readAll())
            writeFile(vdir + u"/"_s + t.uid + u".ics"_s, IcalTasks::toCalendar(t));
        writeFile(run.file(u"todoman.py"_s), QStringLiteral("path = \"%1/*\"\ndate_format = \"%Y-%m-%d\"\n"
                                                            "time_format = \"%H:%M\"\ndefault_list = \"list\"\n")
                                                 .arg(run.file(u"vdir"_s))
                                                 .toUtf8());
        QProcess todo;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, run.folder());
        env.insert(u"XDG_CACHE_HOME"_s, run.file(u"cache"_s));
        todo.setProcessEnvironment(env);
        todo.start(u"/usr/bin/todoman"_s,
                   {u"--config"_s, run.file(u"todoman.py"_s), u"--porcelain"_s, u"list"_s, u"--status"_s, u"ANY"_s});
        QVERIFY(todo.waitForFinished(60000));
        QVERIFY2(todo.exitCode() == 0, todo.readAllStandardError().constData());
        QStringList listed;
        for (const QJsonValue v : QJsonDocument::fromJson(todo.readAllStandardOutput()).array())
            listed << v.toObject().value(u"summary"_s).toString();
        listed.sort();
        QCOMPARE(listed.join(u","_s), QStringLiteral("买泳镜,复盘,打电话,整理书架,晨跑,晨跑,闲逛"));
    }

    void whatRealClientsWriteImports()
    {
        ProgramRun run;
        QVERIFY(run.start());
        run.exec(u"INSERT INTO juese (name) VALUES ('健康')"_s);
        run.exec(
            u"INSERT INTO mubiao (title, juese) VALUES ('学会游泳', (SELECT id FROM juese WHERE name = '健康'))"_s);
        const QString ics = run.file(u"in.ics"_s), vcf = run.file(u"in.vcf"_s);
        python(QStringLiteral(R"(
import sys, datetime, icalendar
cal = icalendar.Calendar()
cal.add('prodid', '-//test//test//'); cal.add('version', '2.0')
t = icalendar.Todo()
t.add('uid', 'py-1'); t.add('dtstamp', datetime.datetime(2009, 1, 1, tzinfo=datetime.timezone.utc))
t.add('summary', '游泳课'); t.add('description', '带上\n泳帽')
t.add('due', datetime.datetime(2009, 2, 10, 19, 30)); t.add('status', 'COMPLETED'); t.add('priority', 3)
t.add('categories', ['学会游泳'])
t.add('rrule', {'freq': 'weekly', 'byday': ['TU', 'TH'], 'until': datetime.date(2009, 6, 30)})
a = icalendar.Alarm(); a.add('action', 'DISPLAY'); a.add('description', 'x')
a.add('trigger', datetime.timedelta(minutes=-15), parameters={'RELATED': 'END'}); t.add_component(a)
cal.add_component(t)
e = icalendar.Event(); e.add('uid', 'ev'); e.add('summary', 'meeting'); e.add('dtstart', datetime.date(2009, 2, 1))
cal.add_component(e)
open(sys.argv[1], 'wb').write(cal.to_ical())
import vobject
c = vobject.vCard()
c.add('n').value = vobject.vcard.Name(family='王', given='五')
c.add('fn').value = '王五'
t = c.add('tel'); t.value = '13911112222'; t.type_param = 'CELL'
t = c.add('tel'); t.value = '021-5555'; t.type_param = 'HOME'
c.add('email').value = 'ww@example.com'
c.add('adr').value = vobject.vcard.Address(street='南京路 2 号', city='上海', code='200000')
c.add('note').value = '邻居'
c.add('categories').value = ['同事']
c.add('uid').value = 'py-card'
open(sys.argv[2], 'w', encoding='utf-8').write(c.serialize())
)"),
               {ics, vcf});
        QFile f(ics);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const Exchange::Summary s = Exchange::importTasks(f.readAll());
        QCOMPARE(s.text(), QStringLiteral("导入 1 项：新增 1，更新 0，跳过重复 0；另有 1 个日程事件未导入"));
        const auto t = IcalTasks::readByUid(u"py-1"_s);
        QVERIFY(t);
        QCOMPARE(t->name, QStringLiteral("游泳课"));
        QCOMPARE(t->description, QStringLiteral("带上\n泳帽"));
        QCOMPARE(t->day, QDate(2009, 2, 10));
        QCOMPARE(t->time, QTime(19, 30));
        QCOMPARE(t->state, 1);
        QCOMPARE(t->quadrant, 1);
        QCOMPARE(t->goal, QStringLiteral("学会游泳"));
        QCOMPARE(t->theme, QStringLiteral("健康"));
        QCOMPARE(t->rule.freq, int(IcalRule::Weekly));
        QCOMPARE(t->rule.weekdays, 0b1010);
        QCOMPARE(t->rule.until, QDate(2009, 6, 30));
        QFile g(vcf);
        QVERIFY(g.open(QIODevice::ReadOnly));
        QCOMPARE(Exchange::importContacts(g.readAll()).added, 1);
        QCOMPARE(
            run.scalar(
                   u"SELECT name || '|' || title || '|' || tel || '|' || mob || '|' || \"add\" || '|' || zip || '|'"
                   " || email || '|' || (SELECT gxlb FROM gxlb WHERE id = leibie) FROM renji WHERE uid = 'py-card'"_s)
                .toString(),
            QStringLiteral("王五|邻居|021-5555|13911112222|南京路 2 号 上海|200000|ww@example.com|同事"));
    }

    void knowledgeRoundTripThroughMarkdown()
    {
        ProgramRun run;
        QVERIFY(run.start());
        run.exec(u"INSERT INTO fftype (fftype) VALUES ('.隐藏/分类')"_s);
        run.exec(
            u"INSERT INTO fangfa (title, content, ltype, addtime) VALUES ('a/b: \"c\"', '正文\n# 标题', '.隐藏/分类',"
            " '2009-01-05'), ('a/b: \"c\"', '另一篇', '.隐藏/分类', '2009-01-06'), ('..', '', '.隐藏/分类', "
            "'2009-01-07')"_s);
        const QString dump = "SELECT group_concat(title || '|' || content || '|' || ltype || '|' || addtime, '#')"
                             u" FROM (SELECT * FROM fangfa WHERE ltype <> '日志' ORDER BY title, content)"_s;
        const QString before = run.scalar(dump).toString();
        const QString folder = run.file(u"md"_s), diary = run.file(u"diary"_s);
        QVERIFY(QDir().mkpath(folder) && QDir().mkpath(diary));
        const int articles = Exchange::exportKnowledge(folder);
        QCOMPARE(Exchange::exportDiary(diary),
                 run.scalar(u"SELECT count(*) FROM fangfa WHERE ltype = '日志'"_s).toInt());
        QVERIFY(QDir(folder).exists(u"隐藏_分类/a_b_ _c_.md"_s));
        QVERIFY(QDir(folder).exists(u"隐藏_分类/a_b_ _c_ (2).md"_s));
        QVERIFY(QDir(folder).exists(u"隐藏_分类/未命名.md"_s));
        QCOMPARE(Exchange::importKnowledge(folder).skipped, articles);
        run.exec(u"DELETE FROM fangfa WHERE ltype <> '日志'"_s);
        QCOMPARE(Exchange::importKnowledge(folder).added, articles);
        QCOMPARE(run.scalar(dump).toString(), before);
        QCOMPARE(Exchange::safeFileName(QString(300, QChar(0x4E2D))).toUtf8().size(), 120);
    }

    void csvHasMarkAndHeader()
    {
        ProgramRun run;
        QVERIFY(run.start());
        fillContacts(run);
        const QByteArray csv = Exchange::csvContacts();
        QVERIFY(csv.startsWith("\xEF\xBB\xBF姓名,关系,关系类别"));
        QVERIFY(csv.contains("\"北京市海淀区\n某路 1 号\""));
        QVERIFY(Exchange::csvFinance().contains("日期,收支,类别,金额"));
    }

    void windowExportsAndImports()
    {
        ProgramRun run;
        QVERIFY(run.login());
        auto* open = find<QToolButton>(u"Command4"_s);
        QVERIFY(open);
        open->click();
        auto* dialog = find<QWidget>(u"DlogExchange"_s);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("导入与导出"));
        run.savePath = run.file(u"out.ics"_s);
        find<QPushButton>(u"Export1"_s)->click();
        QVERIFY(QFile::exists(run.savePath));
        run.openPath = run.savePath;
        run.messages.clear();
        find<QPushButton>(u"Import1"_s)->click();
        const int n = run.scalar(u"SELECT count(*) FROM renwu"_s).toInt();
        QCOMPARE(run.messages, QStringList{QStringLiteral("导入 %1 项：新增 0，更新 0，跳过重复 %1").arg(n)});
        QCOMPARE(run.openFilters, QStringList{QStringLiteral("iCalendar 文件 (*.ics)")});
        writeFile(run.file(u"bad.vcf"_s), "BEGIN:VCARD\r\nFN\r\n");
        run.openPath = run.file(u"bad.vcf"_s);
        run.messages.clear();
        find<QPushButton>(u"Import2"_s)->click();
        QCOMPARE(run.messages.size(), 1);
        QVERIFY(run.messages[0].startsWith(QStringLiteral("文件格式不正确：第 2 行")));
    }
};

QTEST_MAIN(TestExchange)
#include "test_exchange.moc"
