// Runs startup_probe in fresh processes, the modes interleaved round by round, and prints the
// medians as ratios against the plain-Qt baselines measured in the same run.
// Usage: startup_bench <path to startup_probe> [data folder]
// The large database is the data folder's mylive.dc when one is given, else one built here:
// 100,000 tasks over three years ending today with about 100 on today, 1,000 diary days and 500
// mottos. BENCH_RUNS sets the runs per mode (default 15).
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

using Sample = QMap<QString, double>;

// One probe process. shown_ms is from just before the fork to the child's first painted
// window, both read from CLOCK_MONOTONIC, so it covers exec, loading and the whole start.
Sample runProbe(const QString& probe, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    const qint64 startNs = nowNs();
    p.start(probe, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished();
        qFatal("probe %s failed: %s", qPrintable(args.join(u' ')), p.readAllStandardError().constData());
    }
    Sample s;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            s.insert(QString::fromLatin1(line.left(eq)), line.mid(eq + 1).toDouble());
    }
    if (!s.contains(QStringLiteral("shown_at_ns")))
        qFatal("probe %s printed no shown_at_ns", qPrintable(args.join(u' ')));
    s.insert(QStringLiteral("shown_ms"), (s.value(QStringLiteral("shown_at_ns")) - startNs) / 1e6);
    return s;
}

void execOrDie(QSqlQuery& q, const char* what)
{
    if (!q.exec())
        qFatal("%s: %s", what, qPrintable(q.lastError().text()));
}

// Adds the generated rows to the database of `folder` (made and logged into once by the probe).
void growDatabase(const QString& folder)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("grow"));
        db.setDatabaseName(QDir(folder).filePath(QStringLiteral("mylive.dc")));
        if (!db.open())
            qFatal("cannot open the large database");
        QRandomGenerator rng(20261208);
        const QDate today = QDate::currentDate();
        db.transaction();
        QSqlQuery task(db);
        task.prepare(QStringLiteral("INSERT INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, xuhao, today,"
                                    " intime, zhuangtai) VALUES (?, '', ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < 100000; ++i) {
            // About 100 on today, the rest spread over the three years before it; most of the
            // past is done or abandoned, a few tasks were left open.
            const int back = i < 100 ? 0 : 1 + int(rng.bounded(3 * 365));
            const QDate day = today.addDays(-back);
            const int state = back == 0 ? 0 : (rng.bounded(100) < 2 ? 0 : 1 + int(rng.bounded(2)));
            task.addBindValue(QStringLiteral("生成的任务 %1").arg(i));
            task.addBindValue(1 + int(rng.bounded(10)));
            task.addBindValue(1 + int(rng.bounded(5)));
            task.addBindValue(int(rng.bounded(2)));
            task.addBindValue(int(rng.bounded(2)));
            task.addBindValue(i % 50);
            task.addBindValue(day.toString(Qt::ISODate));
            task.addBindValue(
                rng.bounded(3) ? QVariant(
                    QTime(6 + int(rng.bounded(17)), int(rng.bounded(60))).toString(QStringLiteral("HH:mm:ss")))
                               : QVariant(QMetaType(QMetaType::QString)));
            task.addBindValue(state);
            execOrDie(task, "task");
        }
        QSqlQuery diary(db);
        diary.prepare(QStringLiteral("INSERT INTO fangfa (title, content, ltype, addtime) VALUES (?, ?, '日志', ?)"));
        for (int d = 1; d <= 1000; ++d) {
            const QDate day = today.addDays(-d);
            diary.addBindValue(day.toString(QStringLiteral("yyyy-M-d")) + QStringLiteral("日志"));
            diary.addBindValue(QStringLiteral("今天的记录。").repeated(20));
            diary.addBindValue(day.toString(Qt::ISODate));
            execOrDie(diary, "diary");
        }
        QSqlQuery motto(db);
        motto.prepare(QStringLiteral("INSERT INTO mengxiang (title, drmid) VALUES (?, 1)"));
        for (int m = 0; m < 500; ++m) {
            motto.addBindValue(QStringLiteral("生成的格言 %1").arg(m));
            execOrDie(motto, "motto");
        }
        if (!db.commit())
            qFatal("cannot commit the large database");
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("grow"));
}

// Makes the database of `folder` (made and logged into once by the probe) about `megabytes` large
// with long task texts, in one statement.
void inflateDatabase(const QString& folder, int megabytes)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("inflate"));
        db.setDatabaseName(QDir(folder).filePath(QStringLiteral("mylive.dc")));
        if (!db.open())
            qFatal("cannot open the huge database");
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?)"
            " INSERT INTO renwu (title, content, today, zhuangtai)"
            " SELECT '长任务 ' || i, hex(randomblob(5000)), date('now', '-' || (1 + i % 3000) || ' days'), 1"
            " FROM n"));
        q.addBindValue(megabytes * 100);
        execOrDie(q, "inflate");
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("inflate"));
}

struct Stats
{
    double median, min, max;
};

Stats stats(QList<double> v)
{
    std::sort(v.begin(), v.end());
    const qsizetype n = v.size();
    return {n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v.front(), v.back()};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_bench <startup_probe> [data folder]\n");
        return 2;
    }
    const QString probe = QString::fromLocal8Bit(argv[1]);
    const int runs =
        std::max(1, qEnvironmentVariableIntValue("BENCH_RUNS") ? qEnvironmentVariableIntValue("BENCH_RUNS") : 15);
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("program"));
    const QString large = tmp.filePath(QStringLiteral("large"));
    const QString huge = tmp.filePath(QStringLiteral("huge"));
    QDir().mkpath(folder);
    QDir().mkpath(large);
    QDir().mkpath(huge);
    // BENCH_HUGE_MB sets the size of the huge database (default 500; 0 leaves that case out).
    const int hugeMb = qEnvironmentVariableIsSet("BENCH_HUGE_MB") ? qEnvironmentVariableIntValue("BENCH_HUGE_MB") : 500;
    if (argc > 2) {
        const QString given = QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("mylive.dc"));
        if (!QFile::copy(given, QDir(large).filePath(QStringLiteral("mylive.dc"))))
            qFatal("cannot copy %s", qPrintable(given));
    } else {
        runProbe(probe, {QStringLiteral("login"), large}); // the sample data, shifted to today
        growDatabase(large);
    }
    if (hugeMb > 0) {
        runProbe(probe, {QStringLiteral("login"), huge});
        inflateDatabase(huge, hugeMb);
        std::printf("huge database: %.0f MB\n",
                    QFileInfo(QDir(huge).filePath(QStringLiteral("mylive.dc"))).size() / 1e6);
    }

    // Each case: its label and probe arguments; "first start" gets a new empty folder each time.
    QStringList names = {u"minimal"_s, u"login"_s, u"large"_s, u"minimal-frame"_s, u"first-start"_s};
    if (hugeMb > 0)
        names.append(QStringLiteral("huge"));
    auto argsFor = [&](const QString& name, int round) {
        if (name == QLatin1String("login"))
            return QStringList{u"login"_s, folder};
        if (name == QLatin1String("large"))
            return QStringList{u"login"_s, large};
        if (name == QLatin1String("huge"))
            return QStringList{u"login"_s, huge};
        if (name == QLatin1String("first-start")) {
            const QString fresh = tmp.filePath(QStringLiteral("fresh%1").arg(round));
            QDir().mkpath(fresh);
            return QStringList{u"login"_s, fresh};
        }
        return QStringList{name};
    };

    // Warm-up: creates the database in `folder` (and its first-run date shift) and warms the
    // file cache for every mode; not counted.
    for (const QString& name : names)
        runProbe(probe, argsFor(name, -1));

    QMap<QString, QList<Sample>> samples;
    for (int round = 0; round < runs; ++round) {
        // Rotate the order each round so drifting machine load falls on every mode alike.
        for (int i = 0; i < names.size(); ++i) {
            const QString& name = names[(i + round) % names.size()];
            samples[name].append(runProbe(probe, argsFor(name, round)));
        }
    }

    auto pick = [&](const QString& name, const char* key) {
        QList<double> v;
        for (const Sample& s : samples[name])
            v.append(s.value(QString::fromLatin1(key)));
        return stats(v);
    };
    auto row = [](const char* label, Stats s, const char* unit, const char* ratioText, double base) {
        const int digits = qstrcmp(unit, "ms") == 0 ? 1 : 0;
        std::printf("%-34s %9.*f %9.*f %9.*f %-3s", label, digits, s.median, digits, s.min, digits, s.max, unit);
        if (ratioText)
            std::printf("  %5.2fx %s", s.median / base, ratioText);
        std::printf("\n");
    };

    const Stats minimal = pick(u"minimal"_s, "shown_ms"), login = pick(u"login"_s, "shown_ms"),
                first = pick(u"first-start"_s, "shown_ms"), minFrame = pick(u"minimal-frame"_s, "frame_ms"),
                frame = pick(u"login"_s, "frame_ms"), minPeak = pick(u"minimal-frame"_s, "peak_kib"),
                peak = pick(u"login"_s, "peak_kib"), rss = pick(u"login"_s, "rss_kib"),
                largeLogin = pick(u"large"_s, "shown_ms"), largeFrame = pick(u"large"_s, "frame_ms"),
                password = pick(u"login"_s, "password_ms"), today = pick(u"login"_s, "today_ms"),
                largeToday = pick(u"large"_s, "today_ms");

    std::printf("Vantorel start-up, %d runs per mode, QPA %s\n", runs,
                qEnvironmentVariableIsSet("DISPLAY") ? "from DISPLAY" : "offscreen");
    std::printf("Window shown = first expose and paint done; start-up times run from the parent's\n"
                "QProcess::start to that moment (CLOCK_MONOTONIC), the minimal frame from the click, the\n"
                "main frame and its today view from the verified password (the password check is its own\n"
                "line).\n\n");
    std::printf("%-34s %9s %9s %9s %-3s  %s\n", "", "median", "min", "max", "", "ratio of medians");
    row("minimal window shown", minimal, "ms", nullptr, 0);
    row("login window shown", login, "ms", "of minimal window", minimal.median);
    row("first start (creates data files)", first, "ms", "of minimal window", minimal.median);
    row("minimal frame after click", minFrame, "ms", nullptr, 0);
    row("password check (slow hash)", password, "ms", nullptr, 0);
    row("main frame after password", frame, "ms", "of minimal frame", minFrame.median);
    row("today view after password", today, "ms", "of minimal frame", minFrame.median);
    row("large: login window shown", largeLogin, "ms", "of sample login window", login.median);
    row("large: main frame after password", largeFrame, "ms", "of minimal frame", minFrame.median);
    row("large: main frame after password", largeFrame, "ms", "of sample main frame", frame.median);
    row("large: today view after password", largeToday, "ms", "of sample today view", today.median);
    if (hugeMb > 0) {
        // A start after a clean end: the file is trusted as recorded and read whole after login.
        const Stats hugeLogin = pick(u"huge"_s, "shown_ms"), hugeFrame = pick(u"huge"_s, "frame_ms"),
                    hugeToday = pick(u"huge"_s, "today_ms");
        row("huge: login window shown", hugeLogin, "ms", "of sample login window", login.median);
        row("huge: main frame after password", hugeFrame, "ms", "of sample main frame", frame.median);
        row("huge: today view after password", hugeToday, "ms", "of sample today view", today.median);
    }
    row("peak memory, minimal frame", minPeak, "KiB", nullptr, 0);
    row("peak memory after login", peak, "KiB", "of minimal frame", minPeak.median);
    row("resident memory after login", rss, "KiB", nullptr, 0);
    std::printf("\npeak memory after login: %.0f KiB = %.1f MiB\n"
                "first start minus a start with the data files present: %+.1f ms (medians)\n",
                peak.median, peak.median / 1024, first.median - login.median);
    return 0;
}
