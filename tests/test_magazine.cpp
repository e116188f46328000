#include "testsupport.h"

#include "data/magazine.h"
#include "gui/appinfo.h"
#include "gui/forms.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "views/magazine/dlogreadnews.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTreeWidget>

using namespace TestSupport;

namespace {

const QString kNoKeyword = QStringLiteral("请输入要搜索的关键字！");

struct News
{
    qint64 id;
    const char* title;
    const char* author;
    const char* magazine;
    const char* content;
    const char* published; // null: no publication time
};

// Ids in no particular order of time; 2 and 6 were published at the same moment.
const News kNews[] = {
    {1, "小店如何在淡季稳住客流", "方振宇", "零售前哨", "淡季<BR>旺季", "2008-06-12 09:30:00"},
    {2, "老板说'不'的艺术", "贺立新", "创业者手记", "学会拒绝", "2008-09-01 10:00:00"},
    {3, "寒冬里的现金流管理", "严启明", "锐商评论", "现金流<BR>应收账款 <a href=\"/news/7.html\">下一篇</a>",
     "2008-10-30 08:30:00"},
    {4, "会员制不是打折卡", "方振宇", "零售前哨", "会员的权益", "2008-08-15 09:00:00"},
    {5, "利润提高50%的秘密", "王振华", "管理新知", "控制成本，现金流为王", "2009-01-08 16:10:00"},
    {6, "把\"目标\"拆到每一天", "钟雅南", "管理新知", "每周回顾", "2008-09-01 10:00:00"},
    {7, "没有日期的旧稿", "钟雅南", "管理新知", "存档", nullptr},
};

// Replaces the sample articles of the run's magazine database with kNews.
bool writeNews(const ProgramRun& run)
{
    const QString name = QStringLiteral("test-magazine-writer");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(run.file(AppInfo::kMagazineDatabase));
        ok = db.open();
        QSqlQuery q(db);
        ok = ok && q.exec(QStringLiteral("DELETE FROM news"));
        for (const News& n : kNews) {
            ok = ok
                 && q.prepare(QStringLiteral(
                     "INSERT INTO news (id, 标题, 作者, 杂志, 内容, 发布时间) VALUES (?, ?, ?, ?, ?, ?)"));
            q.addBindValue(n.id);
            q.addBindValue(QString::fromUtf8(n.title));
            q.addBindValue(QString::fromUtf8(n.author));
            q.addBindValue(QString::fromUtf8(n.magazine));
            q.addBindValue(QString::fromUtf8(n.content));
            q.addBindValue(n.published ? QVariant(QString::fromUtf8(n.published))
                                       : QVariant(QMetaType(QMetaType::QString)));
            ok = ok && q.exec();
        }
        if (!ok)
            qWarning("%s", qPrintable(q.lastError().text()));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

template <class T = QWidget>
T* ctl(const QString& name, const QString& window = QStringLiteral("FrmZazhi"))
{
    return control<T>(window, name);
}

// Logs in (declining the overdue question) and shows the view.
bool showView(ProgramRun& run)
{
    if (!run.login())
        return false;
    Forms::find<MDIfrm>()->showView(Views::kMagazine);
    settle();
    run.messages.clear();
    return shown(QStringLiteral("FrmZazhi"));
}

// Starts the program over kNews and shows the view.
bool openView(ProgramRun& run)
{
    return run.start() && writeNews(run) && showView(run);
}

QList<qint64> shownIds()
{
    QList<qint64> ids;
    const auto* list = ctl<QTreeWidget>(QStringLiteral("ListView1"));
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids << list->topLevelItem(i)->text(0).toLongLong();
    return ids;
}

bool search(const QString& direction, const QString& keyword)
{
    auto* box = ctl<QComboBox>(QStringLiteral("Combo1"));
    const int index = box->findText(direction);
    if (index < 0)
        return false;
    box->setCurrentIndex(index);
    ctl<QLineEdit>(QStringLiteral("Text1"))->setText(keyword);
    return click(ctl<QPushButton>(QStringLiteral("Command1")));
}

int rowOf(qint64 id)
{
    return int(shownIds().indexOf(id));
}

QByteArray fileDigest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestMagazine : public QObject
{
    Q_OBJECT

private slots:
    void loadListsEverythingNewestFirst();
    void searchByDirection_data();
    void searchByDirection();
    void emptyKeywordRefused();
    void readingWindow();
    void readableText_data();
    void readableText();
    void databaseNeverWritten();
    void missingDatabaseReported();
};

void TestMagazine::loadListsEverythingNewestFirst()
{
    ProgramRun run;
    QVERIFY(openView(run));
    QCOMPARE(ctl<QComboBox>(QStringLiteral("Combo1"))->currentText(), QStringLiteral("搜索方向"));
    QStringList directions;
    for (int i = 0; i < ctl<QComboBox>(QStringLiteral("Combo1"))->count(); ++i)
        directions << ctl<QComboBox>(QStringLiteral("Combo1"))->itemText(i);
    QCOMPARE(directions,
             (QStringList{QStringLiteral("搜索方向"), QStringLiteral("文章标题"), QStringLiteral("文章作者"),
                          QStringLiteral("杂志名称"), QStringLiteral("文章内容")}));
    // Same moment: the later id first; no publication time: last.
    QCOMPARE(shownIds(), (QList<qint64>{5, 3, 6, 2, 4, 1, 7}));
    const QTreeWidgetItem* first = ctl<QTreeWidget>(QStringLiteral("ListView1"))->topLevelItem(0);
    QCOMPARE(first->text(1), QStringLiteral("利润提高50%的秘密"));
    QCOMPARE(first->text(2), QStringLiteral("王振华"));
    QCOMPARE(first->text(3), QStringLiteral("管理新知"));
    QVERIFY(!first->icon(1).isNull());
    QVERIFY(run.messages.isEmpty());
}

void TestMagazine::searchByDirection_data()
{
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<qint64>>("ids");

    // Without a direction the keyword is looked for in titles and contents, not in authors.
    QTest::newRow("no direction: titles and contents only")
        << QStringLiteral("搜索方向") << QStringLiteral("振宇") << QList<qint64>{};
    QTest::newRow("no direction, no keyword")
        << QStringLiteral("搜索方向") << QString() << QList<qint64>{5, 3, 6, 2, 4, 1, 7};
    QTest::newRow("author, part of a name")
        << QStringLiteral("文章作者") << QStringLiteral("振宇") << QList<qint64>{4, 1};
    QTest::newRow("author, shared character")
        << QStringLiteral("文章作者") << QStringLiteral("振") << QList<qint64>{5, 4, 1};
    QTest::newRow("title") << QStringLiteral("文章标题") << QStringLiteral("卡") << QList<qint64>{4};
    QTest::newRow("magazine") << QStringLiteral("杂志名称") << QStringLiteral("管理") << QList<qint64>{5, 6, 7};
    QTest::newRow("content, not the title")
        << QStringLiteral("文章内容") << QStringLiteral("现金流") << QList<qint64>{5, 3};
    QTest::newRow("content across a line break")
        << QStringLiteral("文章内容") << QStringLiteral("淡季<BR>") << QList<qint64>{1};
    QTest::newRow("single quote") << QStringLiteral("文章标题") << QStringLiteral("'不'") << QList<qint64>{2};
    QTest::newRow("double quote") << QStringLiteral("文章标题") << QStringLiteral("\"目标\"") << QList<qint64>{6};
    QTest::newRow("percent is a character") << QStringLiteral("文章标题") << QStringLiteral("%") << QList<qint64>{5};
    QTest::newRow("underscore is a character") << QStringLiteral("文章标题") << QStringLiteral("_") << QList<qint64>{};
    QTest::newRow("nothing found") << QStringLiteral("文章作者") << QStringLiteral("无此人") << QList<qint64>{};
}

void TestMagazine::searchByDirection()
{
    QFETCH(QString, direction);
    QFETCH(QString, keyword);
    QFETCH(QList<qint64>, ids);
    ProgramRun run;
    QVERIFY(openView(run));
    // Start from another result, so a search that shows the right rows has replaced them.
    QVERIFY(search(QStringLiteral("文章标题"), QStringLiteral("寒冬")));
    QCOMPARE(shownIds(), (QList<qint64>{3}));
    QVERIFY(search(direction, keyword));
    QCOMPARE(shownIds(), ids);
    QVERIFY(run.messages.isEmpty());
    // Enter in the keyword box searches too.
    QVERIFY(search(QStringLiteral("搜索方向"), QString()));
    ctl<QComboBox>(QStringLiteral("Combo1"))
        ->setCurrentIndex(ctl<QComboBox>(QStringLiteral("Combo1"))->findText(direction));
    ctl<QLineEdit>(QStringLiteral("Text1"))->setText(keyword);
    QTest::keyClick(ctl<QLineEdit>(QStringLiteral("Text1")), Qt::Key_Return);
    QCOMPARE(shownIds(), ids);
}

void TestMagazine::emptyKeywordRefused()
{
    ProgramRun run;
    QVERIFY(openView(run));
    for (const QString& direction : {QStringLiteral("文章标题"), QStringLiteral("文章作者"), QStringLiteral("杂志名称"),
                                     QStringLiteral("文章内容")}) {
        QVERIFY(search(QStringLiteral("搜索方向"), QString()));
        QCOMPARE(shownIds().size(), 7);
        run.messages.clear();
        QVERIFY(search(direction, QString()));
        QCOMPARE(run.messages, QStringList{kNoKeyword});
        QCOMPARE(run.messageButtons.last(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY2(shownIds().isEmpty(), qPrintable(direction));
    }
}

void TestMagazine::readingWindow()
{
    ProgramRun run;
    QVERIFY(openView(run));
    auto* list = ctl<QTreeWidget>(QStringLiteral("ListView1"));
    QVERIFY(clickRow(list, rowOf(3), 1, true));
    settle();
    QVERIFY(shown(QStringLiteral("DlogReadnews")));
    auto* reading = Forms::find<DlogReadnews>();
    QCOMPARE(reading->windowTitle(), QStringLiteral("寒冬里的现金流管理"));
    auto* text = ctl<QPlainTextEdit>(QStringLiteral("RichTextBox1"), QStringLiteral("DlogReadnews"));
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->toPlainText(), QStringLiteral("现金流\n应收账款 <a href=\"%1\">下一篇</a>")
                                      .arg(AppInfo::sitePage(QStringLiteral("/news/7.html"))));
    QCOMPARE(text->document()->blockCount(), 2);

    // Another article while the window is open: the same window shows it.
    QVERIFY(clickRow(list, rowOf(1), 1, true));
    settle();
    QCOMPARE(Forms::find<DlogReadnews>(), reading);
    QVERIFY(reading->isVisible());
    QCOMPARE(reading->windowTitle(), QStringLiteral("小店如何在淡季稳住客流"));
    QCOMPARE(text->toPlainText(), QStringLiteral("淡季\n旺季"));

    // Closed and opened again, it reads the selected row afresh.
    reading->close();
    settle();
    QVERIFY(!shown(QStringLiteral("DlogReadnews")));
    QVERIFY(clickRow(list, rowOf(7), 1, true));
    settle();
    QVERIFY(shown(QStringLiteral("DlogReadnews")));
    QCOMPARE(Forms::find<DlogReadnews>()->windowTitle(), QStringLiteral("没有日期的旧稿"));
    QVERIFY(run.messages.isEmpty());
    QVERIFY(run.openedUrls.isEmpty());
}

void TestMagazine::readableText_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("shown");
    const QString site = QStringLiteral("https://example.com");

    QTest::newRow("break between two words") << QStringLiteral("第一行<BR>第二行") << QStringLiteral("第一行\n第二行");
    QTest::newRow("breaks in a row") << QStringLiteral("甲<BR><BR>乙<BR>") << QStringLiteral("甲\n\n乙\n");
    QTest::newRow("lower-case break") << QStringLiteral("甲<br>乙") << QStringLiteral("甲\n乙");
    QTest::newRow("link in an anchor") << QStringLiteral("<a href=\"/news/3.html\">三</a>")
                                       << QStringLiteral("<a href=\"%1/news/3.html\">三</a>").arg(site);
    QTest::newRow("path at the start and after text")
        << QStringLiteral("/news/1.html 见/news/2.html") << QStringLiteral("%1/news/1.html 见%1/news/2.html").arg(site);
    QTest::newRow("absolute address kept")
        << QStringLiteral("http://other.org/news/5.html") << QStringLiteral("http://other.org/news/5.html");
    QTest::newRow("plain text") << QStringLiteral("没有链接") << QStringLiteral("没有链接");
}

void TestMagazine::readableText()
{
    QFETCH(QString, content);
    QFETCH(QString, shown);
    QCOMPARE(Magazine::readable(content, QStringLiteral("https://example.com")), shown);
}

void TestMagazine::databaseNeverWritten()
{
    ProgramRun run;
    QVERIFY(run.start());
    QVERIFY(writeNews(run));
    const QString path = run.file(AppInfo::kMagazineDatabase);
    const QDateTime modified = QFileInfo(path).lastModified();
    const QByteArray digest = fileDigest(path);
    const QStringList files = QDir(run.folder()).entryList(QDir::Files);

    QVERIFY(showView(run));
    QVERIFY(search(QStringLiteral("文章内容"), QStringLiteral("现金流")));
    QVERIFY(search(QStringLiteral("文章标题"), QStringLiteral("'; DELETE FROM news; --")));
    QVERIFY(search(QStringLiteral("搜索方向"), QString()));
    QVERIFY(clickRow(ctl<QTreeWidget>(QStringLiteral("ListView1")), 0, 1, true));
    settle();
    QVERIFY(shown(QStringLiteral("DlogReadnews")));
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(QDir(run.folder()).entryList(QDir::Files).filter(QStringLiteral("magazine")),
             QStringList{AppInfo::kMagazineDatabase}); // no journal beside it

    QVERIFY(run.messages.isEmpty());

    // Leaving the view closes its connection.
    run.answerNext(QMessageBox::No); // the today view asks about the open tasks of earlier days
    Forms::find<MDIfrm>()->showView(Views::kToday);
    settle();
    QVERIFY(!shown(QStringLiteral("FrmZazhi")));
    Forms::unload(QStringLiteral("DlogReadnews"));
    settle();
    for (const QString& name : QSqlDatabase::connectionNames())
        QVERIFY2(!name.startsWith(QLatin1String("vantorel-magazine")), qPrintable(name));

    closeEverything();
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(fileDigest(path), digest);
    QCOMPARE(QDir(run.folder()).entryList(QDir::Files).filter(QStringLiteral("magazine")),
             files.filter(QStringLiteral("magazine")));
}

void TestMagazine::missingDatabaseReported()
{
    ProgramRun run;
    QVERIFY(run.start());
    const QString path = run.file(AppInfo::kMagazineDatabase);
    QVERIFY(QFile::remove(path));
    run.answerNext(QMessageBox::No);
    QVERIFY(run.login());
    run.messages.clear();
    Forms::find<MDIfrm>()->showView(Views::kMagazine);
    settle();
    QVERIFY(shown(QStringLiteral("FrmZazhi")));
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().contains(QStringLiteral("找不到数据库文件")));
    QVERIFY(shownIds().isEmpty());
    // The file is not made up: a search reports the same once more.
    QVERIFY(search(QStringLiteral("搜索方向"), QString()));
    QCOMPARE(run.messages.size(), 2);
    QVERIFY(!QFileInfo::exists(path));
}

QTEST_MAIN(TestMagazine)
#include "test_magazine.moc"
