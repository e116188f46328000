// Task sync with a real CalDAV server: Radicale on a free local port, two program folders,
// Python's CalDAV client as a third device, faults, a sync killed at random moments, and the
// window.
#include "radicaleserver.h"
#include "testsupport.h"

#include "data/db.h"
#include "data/icaltask.h"
#include "data/recurrence.h"
#include "data/store.h"
#include "data/syncstate.h"
#include "data/tasks.h"
#include "gui/changes.h"
#include "views/sync/caldavclient.h"
#include "views/sync/syncengine.h"
#include "views/sync/syncservice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

using namespace TestSupport;

namespace {

// Lets the event loop run until `done` or the time is up.
bool waitUntil(const std::function<bool()>& done, int ms = 60000)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A program folder's database without the windows; the sample tasks are removed so that counts
// are the test's own.
class Device
{
public:
    Device()
    {
        Db::closeAll();
        Db::path() = path();
        try {
            Store::ensureMainDatabase(path());
        } catch (const Db::Error& e) {
            error = e.text();
        }
        Db::execute(QStringLiteral("DELETE FROM renwu"));
        Db::execute(QStringLiteral("DELETE FROM chongfu"));
        Db::execute(QStringLiteral("DELETE FROM sync_change"));
    }
    QString path() const { return dir.filePath(QStringLiteral("mylive.dc")); }
    void use() const
    {
        if (Db::path() != path()) {
            Db::closeAll();
            Db::path() = path();
        }
    }
    QTemporaryDir dir;
    QString error;
};

qint64 addTask(const QString& title, const QDate& day = QDate(2009, 2, 1), const QTime& time = QTime())
{
    Tasks::Task t;
    t.title = title;
    t.content = title + QStringLiteral("的说明");
    t.day = day;
    t.time = time;
    return Tasks::insert(t);
}

QString uidOf(qint64 task)
{
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT uid FROM renwu WHERE id = ?"), {task});
    return q.next() ? q.value(0).toString() : QString();
}

QString titleOfUid(const QString& uid)
{
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT title FROM renwu WHERE uid = ?"), {uid});
    return q.next() ? q.value(0).toString() : QString();
}

// Every task as its iCalendar content, by UID.
QMap<QString, IcalTask> snapshot()
{
    QMap<QString, IcalTask> map;
    for (const IcalTask& t : IcalTasks::readAll())
        map.insert(t.uid, t);
    return map;
}

} // namespace

class TestSync : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RadicaleServer> server_;

    // The calendar home of the test user.
    QUrl home()
    {
        CalDavClient c;
        c.setCredentials(server_->user(), server_->password());
        CalDavClient::Discovery d;
        bool done = false;
        c.discover(server_->url(), [&](const CalDavClient::Discovery& r) {
            d = r;
            done = true;
        });
        waitUntil([&] { return done; });
        return d.home;
    }

    // A new task list on the server.
    QUrl newList(const QString& name = QStringLiteral("Vantorel"))
    {
        CalDavClient c;
        c.setCredentials(server_->user(), server_->password());
        QUrl url;
        bool done = false;
        c.makeCalendar(home(), name, [&](const CalDavClient::Reply&, const QUrl& u) {
            url = u;
            done = true;
        });
        waitUntil([&] { return done; });
        return url;
    }

    void useList(const Device& d, const QUrl& list)
    {
        d.use();
        SyncState::Account a;
        a.server = server_->url().toString();
        a.user = server_->user();
        a.calendar = list.toString();
        a.calendarName = QStringLiteral("Vantorel");
        SyncState::saveAccount(a);
    }

    // Both devices on the list, with a task made on `a` synced to both: its uid, or an empty
    // text when a sync failed.
    QString sharedTask(const Device& a, const Device& b, const QUrl& list, const QString& title)
    {
        useList(a, list);
        useList(b, list);
        a.use();
        const QString uid = uidOf(addTask(title));
        return sync(a, list).ok && sync(b, list).ok ? uid : QString();
    }

    // The task's title, edited on the device at the given time of change.
    void editOn(const Device& d, const QString& uid, const QString& title, const QString& modified)
    {
        d.use();
        Db::execute(QStringLiteral("UPDATE renwu SET title = ?, modified = ? WHERE uid = ?"), {title, modified, uid});
    }

    SyncEngine::Result sync(const Device& d, const QUrl& list, int* requests = nullptr, bool syncCollection = true,
                            const QString& password = {})
    {
        d.use();
        SyncEngine engine;
        engine.setCredentials(server_->user(), password.isEmpty() ? server_->password() : password);
        engine.setUseSyncCollection(syncCollection);
        SyncEngine::Result result;
        bool done = false;
        connect(&engine, &SyncEngine::finished, this, [&](const SyncEngine::Result& r) {
            result = r;
            done = true;
        });
        engine.start(list);
        if (!waitUntil([&] { return done; }, 120000))
            result.error = QStringLiteral("timed out");
        if (requests)
            *requests = engine.client()->requestCount();
        return result;
    }

    // Runs the third device's command; its output lines.
    QStringList third(const QUrl& list, const QStringList& args)
    {
        const QString script = QStringLiteral(SYNC_DEVICE_PY);
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                QStringList{script, server_->url().toString(), server_->user(), server_->password(), list.toString()}
                    + args);
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return {QStringLiteral("ERROR ") + QString::fromUtf8(p.readAllStandardError())};
        return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // The list's sync token as of now.
    QString currentToken(const QUrl& list)
    {
        CalDavClient c;
        c.setCredentials(server_->user(), server_->password());
        QString token;
        bool done = false;
        c.syncCollection(list, QString(), [&](const CalDavClient::Reply& r) {
            token = CalDavClient::parseMultistatus(r.body, r.url).syncToken;
            done = true;
        });
        waitUntil([&] { return done; });
        return token;
    }

    // How many task objects the list holds on the server, and how many distinct UIDs they carry.
    QPair<int, int> serverCount(const QUrl& list)
    {
        const QStringList lines = third(list, {QStringLiteral("list")});
        QSet<QString> uids;
        for (const QString& l : lines)
            uids.insert(l.section(QLatin1Char('\t'), 0, 0));
        return {int(lines.size()), int(uids.size())};
    }

private slots:
    void initTestCase()
    {
        // No desktop keyring here: the password is kept for the run, as without one.
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        server_ = std::make_unique<RadicaleServer>();
        QVERIFY2(server_->start(), qPrintable(server_->error()));
    }

    void cleanupTestCase()
    {
        closeEverything();
        server_.reset();
    }

    void cleanup() { closeEverything(); }

    // The well-known address leads to the lists that hold tasks; a list made for events only is
    // not offered, a new list is.
    void discovery()
    {
        const QUrl tasks = newList(QStringLiteral("任务甲"));
        QVERIFY(tasks.isValid());
        CalDavClient c;
        c.setCredentials(server_->user(), server_->password());
        bool done = false;
        const QByteArray eventsOnly =
            R"(<?xml version="1.0" encoding="utf-8"?><c:mkcalendar xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:set><d:prop><d:displayname>日程</d:displayname><c:supported-calendar-component-set><c:comp name="VEVENT"/></c:supported-calendar-component-set></d:prop></d:set></c:mkcalendar>)";
        CalDavClient::Reply made;
        QUrl events = home();
        events.setPath(events.path() + QStringLiteral("events-only/"));
        c.send("MKCALENDAR", events, eventsOnly, {}, [&](const CalDavClient::Reply& r) {
            made = r;
            done = true;
        });
        QVERIFY(waitUntil([&] { return done; }));
        QCOMPARE(made.status, 201);
        CalDavClient::Discovery d;
        done = false;
        c.discover(server_->url(), [&](const CalDavClient::Discovery& r) {
            d = r;
            done = true;
        });
        QVERIFY(waitUntil([&] { return done; }));
        QVERIFY2(d.ok, qPrintable(d.error));
        QStringList names;
        for (const auto& cal : d.calendars)
            names << cal.name;
        QVERIFY2(names.contains(QStringLiteral("任务甲")), qPrintable(names.join(u',')));
        QVERIFY(!names.contains(QStringLiteral("日程")));
        for (const auto& cal : d.calendars)
            if (cal.name == QStringLiteral("任务甲"))
                QVERIFY(cal.syncCollection);
    }

    // Two folders through one list: adds, edits, state changes, deletions, a recurring task and a
    // reminder each arrive once; a sync with nothing new moves nothing.
    void twoDevices_data()
    {
        QTest::addColumn<bool>("syncCollection");
        QTest::newRow("sync-collection") << true;
        QTest::newRow("etags") << false;
    }
    void twoDevices()
    {
        QFETCH(bool, syncCollection);
        const QUrl list = newList();
        Device a, b;
        QVERIFY(a.error.isEmpty() && b.error.isEmpty());
        useList(a, list);
        useList(b, list);

        a.use();
        const qint64 plain = addTask(QStringLiteral("写周报"));
        const qint64 reminded = addTask(QStringLiteral("给客户打电话"), QDate(2009, 2, 2), QTime(9, 30));
        Tasks::Task pattern;
        pattern.title = QStringLiteral("晨跑");
        pattern.day = QDate(2009, 2, 1);
        pattern.time = QTime(6, 30);
        const qint64 first = Tasks::insert(pattern);
        Recurrence::Rule rule;
        rule.pattern = pattern;
        rule.frequency = Recurrence::Weekly;
        rule.weekdays = 0b0010101;
        rule.start = QDate(2009, 2, 1);
        Recurrence::create(rule, first);
        const QString plainUid = uidOf(plain), remindedUid = uidOf(reminded), ruleUid = uidOf(first);

        SyncEngine::Result r = sync(a, list, nullptr, syncCollection);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.uploaded, 3);
        r = sync(b, list, nullptr, syncCollection);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.downloaded, 3);
        QCOMPARE(Db::count(QStringLiteral("SELECT count(*) FROM renwu")), 3);
        b.use();
        const auto onB = snapshot();
        a.use();
        const auto onA = snapshot();
        QCOMPARE(onB.keys(), onA.keys());
        for (const QString& uid : onA.keys())
            QVERIFY2(onA.value(uid).sameContent(onB.value(uid)), qPrintable(onA.value(uid).name));
        QVERIFY(onB.value(remindedUid).reminder == QTime(9, 30));
        QCOMPARE(onB.value(ruleUid).rule.freq, int(IcalRule::Weekly));
        b.use();
        QCOMPARE(Db::count(QStringLiteral("SELECT count(*) FROM chongfu")), 1);

        // Nothing new: nothing moves.
        r = sync(b, list, nullptr, syncCollection);
        QVERIFY(r.ok);
        QCOMPARE(r.uploaded + r.downloaded, 0);

        // An edit and a state change on B, a deletion on A.
        b.use();
        const qint64 plainOnB = SyncState::taskOfUid(plainUid);
        Tasks::setTitleAndContent(plainOnB, QStringLiteral("写月报"), QStringLiteral("改在 B"));
        Tasks::setState(SyncState::taskOfUid(remindedUid), Tasks::Done);
        r = sync(b, list, nullptr, syncCollection);
        QVERIFY(r.ok);
        QCOMPARE(r.uploaded, 2);
        a.use();
        Tasks::remove(SyncState::taskOfUid(ruleUid));
        r = sync(a, list, nullptr, syncCollection);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.downloaded, 2);
        QCOMPARE(r.uploaded, 1);
        QCOMPARE(titleOfUid(plainUid), QStringLiteral("写月报"));
        QCOMPARE(Tasks::load(SyncState::taskOfUid(remindedUid))->state, int(Tasks::Done));
        r = sync(b, list, nullptr, syncCollection);
        QVERIFY(r.ok);
        QCOMPARE(r.downloaded, 1);
        QCOMPARE(SyncState::taskOfUid(ruleUid), 0);
        QCOMPARE(Db::count(QStringLiteral("SELECT count(*) FROM renwu")), 2);
        QCOMPARE(serverCount(list), qMakePair(2, 2));
    }

    // Changed on both sides: the later change wins on both, the other is kept in the
    // description under the conflict line.
    void conflict()
    {
        const QUrl list = newList();
        Device a, b;
        const QString uid = sharedTask(a, b, list, QStringLiteral("订机票"));
        QVERIFY(!uid.isEmpty());

        editOn(a, uid, QStringLiteral("订机票（A 改）"), QStringLiteral("2030-01-01T10:00:00Z"));
        editOn(b, uid, QStringLiteral("订火车票（B 改，较晚）"), QStringLiteral("2030-01-01T11:00:00Z"));
        QVERIFY(sync(a, list).ok);
        QVERIFY(sync(b, list).ok); // B: its own is later and stays, A's goes into the description
        QVERIFY(sync(a, list).ok);
        for (const Device* d : {&a, &b}) {
            d->use();
            QCOMPARE(Db::count(QStringLiteral("SELECT count(*) FROM renwu")), 1);
            QCOMPARE(titleOfUid(uid), QStringLiteral("订火车票（B 改，较晚）"));
            const QString content = Tasks::load(SyncState::taskOfUid(uid))->content;
            QVERIFY2(content.contains(SyncEngine::conflictLine() + QStringLiteral("\n名称：订机票（A 改）")),
                     qPrintable(content));
            QCOMPARE(SyncState::changeCount(), 0);
        }
    }

    // The same day of a recurring rule made on two devices before they synced: one
    // occurrence stays, the same on both and on the server.
    void occurrenceMadeTwice()
    {
        const QUrl list = newList();
        Device a, b;
        useList(a, list);
        useList(b, list);
        a.use();
        Tasks::Task pattern;
        pattern.title = QStringLiteral("背单词");
        pattern.day = QDate(2009, 2, 1);
        const qint64 first = Tasks::insert(pattern);
        Recurrence::Rule rule;
        rule.pattern = pattern;
        rule.frequency = Recurrence::Daily;
        rule.start = QDate(2009, 2, 1);
        Recurrence::create(rule, first);
        QVERIFY(sync(a, list).ok);
        QVERIFY(sync(b, list).ok);
        for (const Device* d : {&a, &b}) {
            d->use();
            QCOMPARE(Recurrence::generate(QDate(2009, 2, 2)), 1);
        }
        for (const Device* d : {&a, &b, &a, &b})
            QVERIFY(sync(*d, list).ok);
        QStringList uids;
        for (const Device* d : {&a, &b}) {
            d->use();
            QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT uid FROM renwu WHERE cfday = '2009-02-02'"));
            while (q.next())
                uids << q.value(0).toString();
            QCOMPARE(Db::count(QStringLiteral("SELECT count(*) FROM renwu")), 2);
        }
        QCOMPARE(uids.size(), 2);
        QCOMPARE(uids.at(0), uids.at(1));
        QCOMPARE(serverCount(list), qMakePair(2, 2));
    }

    // Python's CalDAV client as a third device: the program sees its creations, edits and
    // deletions, and reads what the program writes.
    void thirdDevice()
    {
        const QUrl list = newList();
        Device a;
        useList(a, list);
        addTask(QStringLiteral("买牛奶"), QDate(2009, 2, 3), QTime(18, 0));
        QVERIFY(sync(a, list).ok);
        QStringList seen = third(list, {QStringLiteral("list")});
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen.first().contains(QStringLiteral("买牛奶\tNEEDS-ACTION\t1")), qPrintable(seen.first()));

        QVERIFY(
            third(list, {QStringLiteral("create"), QStringLiteral("phone-1"), QStringLiteral("手机上加的")}).isEmpty());
        SyncEngine::Result r = sync(a, list);
        QVERIFY(r.ok);
        QCOMPARE(r.downloaded, 1);
        QCOMPARE(titleOfUid(QStringLiteral("phone-1")), QStringLiteral("手机上加的"));
        QCOMPARE(Tasks::load(SyncState::taskOfUid(QStringLiteral("phone-1")))->day, QDate(2009, 2, 5));

        QVERIFY(
            third(list, {QStringLiteral("edit"), QStringLiteral("phone-1"), QStringLiteral("手机上改的")}).isEmpty());
        r = sync(a, list);
        QCOMPARE(r.downloaded, 1);
        QCOMPARE(titleOfUid(QStringLiteral("phone-1")), QStringLiteral("手机上改的"));
        QCOMPARE(Tasks::load(SyncState::taskOfUid(QStringLiteral("phone-1")))->state, int(Tasks::Done));

        QVERIFY(third(list, {QStringLiteral("delete"), QStringLiteral("phone-1")}).isEmpty());
        r = sync(a, list);
        QCOMPARE(r.downloaded, 1);
        QCOMPARE(SyncState::taskOfUid(QStringLiteral("phone-1")), 0);
        QCOMPARE(Db::count(QStringLiteral("SELECT count(*) FROM renwu")), 1);
    }

    // A wrong password: one request, one clear message, and the automatic sync stops asking.
    void wrongPassword()
    {
        ProgramRun run;
        QVERIFY(run.login());
        const QUrl list = newList();
        SyncState::Account a;
        a.server = server_->url().toString();
        a.user = server_->user();
        a.calendar = list.toString();
        a.autoSync = true;
        SyncState::saveAccount(a);
        SyncService& service = SyncService::instance();
        service.setPassword(a.server, a.user, QStringLiteral("wrong"));
        service.applyAutoSetting();
        QVERIFY(service.autoTimer()->isActive());
        bool done = false;
        SyncEngine::Result result;
        connect(&service, &SyncService::finished, this, [&](const SyncEngine::Result& r) {
            result = r;
            done = true;
        });
        service.syncNow();
        QVERIFY(waitUntil([&] { return done; }));
        QVERIFY(result.authFailed);
        QCOMPARE(service.engine()->client()->requestCount(), 1);
        QCOMPARE(SyncService::statusText(), QStringLiteral("上次同步：2009-1-31 8:00:00 失败：用户名或密码不正确"));
        QVERIFY(!service.autoTimer()->isActive());
        Tasks::insert(Tasks::Task{});
        Changes::announce(Changes::Tasks);
        QVERIFY(!service.changeTimer()->isActive());
        QTest::qWait(300);
        QCOMPARE(service.engine()->client()->requestCount(), 1);
    }

    // The server stops in the middle of a sync: a clear failure, nothing lost; the next sync
    // completes and nothing is doubled.
    void serverStopsMidSync()
    {
        const QUrl list = newList();
        Device a, b;
        useList(a, list);
        useList(b, list);
        a.use();
        Db::transaction([] {
            for (int i = 0; i < 300; ++i)
                addTask(QStringLiteral("任务%1").arg(i));
        });
        SyncEngine engine;
        engine.setCredentials(server_->user(), server_->password());
        SyncEngine::Result result;
        bool done = false;
        connect(&engine, &SyncEngine::finished, this, [&](const SyncEngine::Result& r) {
            result = r;
            done = true;
        });
        engine.start(list);
        QVERIFY(waitUntil([&] { return engine.client()->requestCount() > 30 || done; }));
        server_->stop();
        QVERIFY(waitUntil([&] { return done; }));
        QVERIFY(!result.ok);
        QVERIFY2(result.error.startsWith(QStringLiteral("无法连接服务器")), qPrintable(result.error));
        QVERIFY(SyncState::changeCount() > 0);
        QVERIFY2(server_->start(), qPrintable(server_->error()));
        SyncEngine::Result again = sync(a, list);
        QVERIFY2(again.ok, qPrintable(again.error));
        QCOMPARE(SyncState::changeCount(), 0);
        QVERIFY(sync(b, list).ok);
        QCOMPARE(Db::count(QStringLiteral("SELECT count(*) FROM renwu")), 300);
        QCOMPARE(serverCount(list), qMakePair(300, 300));
    }

    // The server's copy changed after this side last saw it (412): fetched, merged, sent again.
    void preconditionFailed()
    {
        const QUrl list = newList();
        Device a, b;
        const QString uid = sharedTask(a, b, list, QStringLiteral("交房租"));
        QVERIFY(!uid.isEmpty());
        editOn(b, uid, QStringLiteral("交房租（B）"), QStringLiteral("2030-01-01T10:00:00Z"));
        QVERIFY(sync(b, list).ok);
        // A edits later, and its sync starts from a token that already covers B's change.
        editOn(a, uid, QStringLiteral("交房租（A，较晚）"), QStringLiteral("2030-01-01T12:00:00Z"));
        // B's change lands between A's look at the list and A's upload: A's token is already past it.
        SyncState::setToken(currentToken(list));
        int requests = 0;
        SyncEngine::Result r = sync(a, list, &requests);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(requests, 4); // the report, the refused upload, the fetch, the upload
        QCOMPARE(SyncState::changeCount(), 0);
        QVERIFY(sync(b, list).ok);
        QCOMPARE(titleOfUid(uid), QStringLiteral("交房租（A，较晚）"));
        QVERIFY(Tasks::load(SyncState::taskOfUid(uid))->content.contains(QStringLiteral("名称：交房租（B）")));
    }

    // A sync killed (SIGKILL) at random moments, with changes on both sides in between, then run
    // to the end: every task once on both sides and on the server.
    void killedAtAnyMoment()
    {
        const QUrl list = newList();
        Device a, b;
        useList(a, list);
        useList(b, list);
        b.use();
        Db::transaction([] {
            for (int i = 0; i < 60; ++i)
                addTask(QStringLiteral("B 的任务%1").arg(i));
        });
        QVERIFY(sync(b, list).ok);
        a.use();
        Db::transaction([] {
            for (int i = 0; i < 150; ++i)
                addTask(QStringLiteral("A 的任务%1").arg(i));
        });
        QRandomGenerator random(20090131);
        for (int round = 0; round < 10; ++round) {
            a.use();
            if (round % 3 == 1) {
                QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT id FROM renwu ORDER BY random() LIMIT 3"));
                QList<qint64> ids;
                while (q.next())
                    ids << q.value(0).toLongLong();
                Tasks::setTitleAndContent(ids.at(0), QStringLiteral("第%1轮改").arg(round), QString());
                Tasks::remove(ids.at(1));
                addTask(QStringLiteral("第%1轮加").arg(round));
            }
            Db::closeAll();
            QProcess probe;
            probe.start(QStringLiteral(SYNCPROBE_EXE),
                        {a.path(), list.toString(), server_->user(), server_->password()});
            QVERIFY(probe.waitForStarted());
            QTest::qWait(int(random.bounded(40, 900)));
            probe.kill();
            probe.waitForFinished();
        }
        a.use();
        QProcess probe;
        Db::closeAll();
        probe.start(QStringLiteral(SYNCPROBE_EXE), {a.path(), list.toString(), server_->user(), server_->password()});
        QVERIFY(probe.waitForFinished(120000));
        QCOMPARE(probe.exitCode(), 0);
        a.use();
        QCOMPARE(SyncState::changeCount(), 0);
        const qint64 onA = Db::count(QStringLiteral("SELECT count(*) FROM renwu"));
        QCOMPARE(Db::count(QStringLiteral("SELECT count(DISTINCT uid) FROM renwu")), onA);
        QVERIFY(onA >= 200);
        const auto tasksA = snapshot();
        QVERIFY(sync(b, list).ok);
        QCOMPARE(Db::count(QStringLiteral("SELECT count(*) FROM renwu")), onA);
        QCOMPARE(snapshot().keys(), tasksA.keys());
        QCOMPARE(serverCount(list), qMakePair(int(onA), int(onA)));
    }

    // The window: the frame's button opens it; plain http to another computer is refused; the
    // lists are found, a new one is made and synced; the last result reads as it should.
    void window()
    {
        ProgramRun run;
        QVERIFY(run.login());
        auto* button = find<QToolButton>(QStringLiteral("Command5"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("同步"));
        QVERIFY(click(button));
        QVERIFY(shown(QStringLiteral("DlogSync")));
        QCOMPARE(find<QWidget>(QStringLiteral("DlogSync"))->windowTitle(), QStringLiteral("任务同步（CalDAV）"));
        auto* server = control<QLineEdit>(QStringLiteral("DlogSync"), QStringLiteral("TextServer"));
        auto* user = control<QLineEdit>(QStringLiteral("DlogSync"), QStringLiteral("TextUser"));
        auto* password = control<QLineEdit>(QStringLiteral("DlogSync"), QStringLiteral("TextPassword"));
        auto* lists = control<QComboBox>(QStringLiteral("DlogSync"), QStringLiteral("ComboList"));
        auto* insecure = control<QCheckBox>(QStringLiteral("DlogSync"), QStringLiteral("CheckInsecure"));
        auto* status = control<QLabel>(QStringLiteral("DlogSync"), QStringLiteral("LabelStatus"));
        auto* info = control<QLabel>(QStringLiteral("DlogSync"), QStringLiteral("LabelInfo"));
        QVERIFY(server && user && password && lists && insecure && status && info);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(control<QCheckBox>(QStringLiteral("DlogSync"), QStringLiteral("CheckAuto"))->text(),
                 QStringLiteral("自动同步"));
        QCOMPARE(insecure->text(), QStringLiteral("允许不加密的连接"));
        QCOMPARE(lists->itemText(lists->count() - 1), QStringLiteral("新建任务列表“Vantorel”"));

        // Plain http to another computer is refused before anything is sent.
        QTest::keyClicks(server, QStringLiteral("http://192.0.2.1:5232/"));
        QTest::keyClicks(user, server_->user());
        QTest::keyClicks(password, server_->password());
        QVERIFY(click(control<QPushButton>(QStringLiteral("DlogSync"), QStringLiteral("CommandTest"))));
        QVERIFY2(info->text().contains(QStringLiteral("允许不加密的连接")), qPrintable(info->text()));
        QVERIFY(SyncService::refusal(QUrl(QStringLiteral("http://192.0.2.1/")), true).isEmpty());
        QVERIFY(SyncService::refusal(QUrl(QStringLiteral("http://localhost:8080/")), false).isEmpty());
        QVERIFY(SyncService::refusal(QUrl(QStringLiteral("https://dav.example.org/")), false).isEmpty());

        server->clear();
        QTest::keyClicks(server, server_->url().toString());
        QVERIFY(click(control<QPushButton>(QStringLiteral("DlogSync"), QStringLiteral("CommandTest"))));
        QVERIFY(waitUntil([&] { return info->text().startsWith(QStringLiteral("连接成功")); }));
        // Without a keyring the program says so and keeps the typed password for the run.
        QVERIFY(SyncService::instance().hasPassword());
        QVERIFY(waitUntil([&] { return info->text().contains(QStringLiteral("没有可用的密钥环")); }, 10000));
        lists->setCurrentIndex(lists->count() - 1);
        emit lists->activated(lists->count() - 1);
        QVERIFY(waitUntil([&] { return lists->currentText() == QStringLiteral("Vantorel"); }));
        const qint64 tasks = run.scalar(QStringLiteral("SELECT count(*) FROM renwu")).toLongLong();
        QVERIFY(tasks > 0);
        password->clear();
        QVERIFY(click(control<QPushButton>(QStringLiteral("DlogSync"), QStringLiteral("CommandSync"))));
        QVERIFY(waitUntil([&] { return !status->text().isEmpty(); }));
        QCOMPARE(status->text(), QStringLiteral("上次同步：2009-1-31 8:00:00 成功（上传 %1，下载 0）").arg(tasks));
        QCOMPARE(run.scalar(QStringLiteral("SELECT count(*) FROM sync_item")).toLongLong(), tasks);
        // The password is in no table of the database.
        QSqlQuery q = run.query(QStringLiteral("SELECT * FROM sync_account"));
        QVERIFY(q.next());
        for (int i = 0; i < q.record().count(); ++i)
            QVERIFY(!q.value(i).toString().contains(server_->password()));
    }
};

QTEST_MAIN(TestSync)
#include "test_sync.moc"
