#include "testsupport.h"

#include "data/db.h"
#include "data/knowledge.h"
#include "gui/forms.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "views/knowledge/indexbuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <random>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QString kAll = QStringLiteral("全部类别");
const QString kDelete = QStringLiteral("删除知识类别就会删除其下所有文章，您确定删除吗？");

template <class T = QTreeWidget>
T* ctl(const QString& name, const QString& window = QStringLiteral("Frmff"))
{
    return control<T>(window, name);
}

// Logs in (declining the overdue question) and shows the knowledge view.
void openView(ProgramRun& run)
{
    QVERIFY(run.login());
    Forms::find<MDIfrm>()->showView(Views::kKnowledge);
    settle();
    QVERIFY(shown(u"Frmff"_s));
    run.messages.clear();
}

QStringList names(const QTreeWidget* list, int column)
{
    QStringList shown;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        shown << list->topLevelItem(i)->text(column);
    return shown;
}

QList<qint64> articleIds()
{
    QList<qint64> ids;
    for (const QString& id : names(ctl(u"ListView2"_s), 0))
        ids << id.toLongLong();
    return ids;
}

int rowNamed(QTreeWidget* list, const QString& name)
{
    return int(names(list, 0).indexOf(name));
}

void pickCategory(const QString& name, const QString& window = QStringLiteral("Frmff"))
{
    QTreeWidget* list = ctl(u"ListView1"_s, window);
    QVERIFY(clickRow(list, rowNamed(list, name), 0));
}

void pickArticle(qint64 id, bool doubleClick = false)
{
    QVERIFY(clickRow(ctl(u"ListView2"_s), int(articleIds().indexOf(id)), 1, doubleClick));
}

void runSearch(const QString& keyword, const QString& category, bool withContent)
{
    ctl<QLineEdit>(u"Text1"_s)->setText(keyword);
    ctl<QComboBox>(u"Combo1"_s)->setEditText(category);
    ctl<QCheckBox>(u"Check1"_s)->setChecked(withContent);
    QVERIFY(click(ctl<QPushButton>(u"Command4"_s)));
}

// The ids a plain scan finds, in table order: the answer every search must give.
QList<qint64> scan(const ProgramRun& run, const QString& keyword, const QString& category, bool withContent)
{
    QString sql = withContent ? u"SELECT id FROM fangfa WHERE (instr(title, ?) > 0 OR instr(content, ?) > 0)"_s
                              : u"SELECT id FROM fangfa WHERE instr(title, ?) > 0"_s;
    QVariantList values{keyword};
    if (withContent)
        values << keyword;
    if (category != kAll) {
        sql += u" AND ltype = ?"_s;
        values << category;
    }
    QSqlQuery q = run.query(sql + u" ORDER BY id"_s, values);
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    return ids;
}

QWidget* openManager()
{
    if (!click(ctl<QPushButton>(u"Command5"_s)))
        return nullptr;
    return find<QWidget>(u"Dlogfflb"_s);
}

void manage(const QString& button, const QString& name, const QString& select = QString())
{
    if (!select.isEmpty())
        pickCategory(select, u"Dlogfflb"_s);
    ctl<QLineEdit>(u"Text1"_s, u"Dlogfflb"_s)->setText(name);
    QVERIFY(click(ctl<QPushButton>(button, u"Dlogfflb"_s)));
    settle();
}

QString categoryOf(const ProgramRun& run, qint64 id)
{
    return run.scalar(u"SELECT ltype FROM fangfa WHERE id = ?"_s, {id}).toString();
}
} // namespace

class KnowledgeTest : public QObject
{
    Q_OBJECT

private slots:
    void loadShowsCategories();
    void diaryNewestFirst();
    void search_data();
    void search();
    void searchFindsTextAsTyped();
    void categoryRules_data();
    void categoryRules();
    void renameMovesArticles();
    void deleteCategory_data();
    void deleteCategory();
    void categoryChangeIsWholeOrNothing_data();
    void categoryChangeIsWholeOrNothing();
    void addArticle();
    void addChecks_data();
    void addChecks();
    void editArticle();
    void articleActionsNeedARow();
    void deleteArticle();
    void helpLink();
    void indexAnswersAsAScan();
    void indexOfAnOlderFileIsBuiltInTheBackground();
};

void KnowledgeTest::loadShowsCategories()
{
    ProgramRun run;
    openView(run);
    const QStringList sample{u"日志"_s, u"时间管理"_s, u"读书笔记"_s, u"工作方法"_s, u"健康生活"_s, u"理财知识"_s};
    QCOMPARE(names(ctl(u"ListView1"_s), 0), sample);
    auto* box = ctl<QComboBox>(u"Combo1"_s);
    QCOMPARE(box->currentText(), kAll);
    QCOMPARE(box->count(), sample.size());
    QVERIFY(!ctl<QCheckBox>(u"Check1"_s)->isChecked());
    QVERIFY(articleIds().isEmpty());
}

void KnowledgeTest::diaryNewestFirst()
{
    ProgramRun run;
    QVERIFY(run.start());
    run.exec(
        u"INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (50, '旧日志', 'x', '日志', '2008-06-01')"_s);
    openView(run);
    pickCategory(u"日志"_s);
    QCOMPARE(articleIds(), (QList<qint64>{13, 12, 11, 50}));
    QCOMPARE(ctl(u"ListView2"_s)->topLevelItem(0)->text(1), QStringLiteral("2009-1-31日志"));
    QCOMPARE(ctl(u"ListView2"_s)->topLevelItem(0)->text(2), QStringLiteral("2009-1-31"));
}

void KnowledgeTest::search_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("category");
    QTest::addColumn<bool>("withContent");
    QTest::addColumn<QList<qint64>>("ids");
    // Titles in every category, the diary included; bodies only when asked.
    QTest::newRow("titles everywhere") << "日志" << kAll << false << QList<qint64>{11, 12, 13};
    QTest::newRow("title of a category") << "笔记"
                                         << "读书笔记" << false << QList<qint64>{3, 4};
    QTest::newRow("body not searched") << "晨跑" << kAll << false << QList<qint64>{7};
    QTest::newRow("one-character body") << "跑" << kAll << true << QList<qint64>{3, 7, 11, 13};
    QTest::newRow("three-character body") << "项目经理" << kAll << true << QList<qint64>{4};
    // A title match of another category stays out of a category's search.
    QTest::newRow("category with bodies") << "笔记"
                                          << "时间管理" << true << QList<qint64>{};
    QTest::newRow("category with bodies, index") << "习惯养成"
                                                 << "时间管理" << true << QList<qint64>{};
    QTest::newRow("unknown category") << "日志"
                                      << "没有" << false << QList<qint64>{};
}

void KnowledgeTest::search()
{
    QFETCH(QString, keyword);
    QFETCH(QString, category);
    QFETCH(bool, withContent);
    QFETCH(QList<qint64>, ids);
    ProgramRun run;
    openView(run);
    runSearch(keyword, category, withContent);
    QCOMPARE(articleIds(), ids);
    QCOMPARE(articleIds(), scan(run, keyword, category, withContent));

    runSearch(QString(), category, withContent);
    QCOMPARE(run.messages, QStringList{u"请输入要搜索的关键字"_s});
    QCOMPARE(articleIds(), ids); // the list stays
}

// Quotes and wildcards are plain characters, in the index and in the scan, and the index follows
// every change made through the dialogs.
void KnowledgeTest::searchFindsTextAsTyped()
{
    ProgramRun run;
    QVERIFY(run.start());
    run.exec(u"INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES"
             " (60, '他说\"好\"的''例子''', '完成100%_了', '工作方法', '2009-01-31'),"
             " (61, '别的', '完成1000了', '工作方法', '2009-01-31'),"
             " (62, '片段', '甲乙丙，乙丙丁。Vantorel Ärger', '工作方法', '2009-01-31')"_s);
    openView(run);
    const QList<std::pair<QString, bool>> keywords = {{u"\"好\"的'例"_s, false}, {u"'"_s, false}, {u"\""_s, true},
                                                      {u"100%_"_s, true},        {u"%"_s, true},  {u"_"_s, true}};
    for (const auto& [keyword, withContent] : keywords) {
        runSearch(keyword, kAll, withContent);
        QCOMPARE(articleIds(), QList<qint64>{60});
    }
    // The index knows the two-character pieces, not their order; case is folded as LIKE does
    // (ASCII only).
    const QList<std::pair<QString, QList<qint64>>> pieces = {
        {u"乙丙丁"_s, {62}}, {u"甲乙丙丁"_s, {}}, {u"VANTOREL"_s, {62}}, {u"ärger"_s, {}}, {u"Ärg"_s, {62}}};
    for (const auto& [keyword, ids] : pieces) {
        runSearch(keyword, kAll, true);
        QCOMPARE(articleIds(), ids);
    }

    // Added, changed and deleted articles are found, or no longer found, at once.
    runSearch(u"周报的五个"_s, kAll, true);
    QCOMPARE(articleIds(), QList<qint64>{5});
    pickArticle(5);
    QVERIFY(click(ctl<QPushButton>(u"Command2"_s)));
    ctl<QPlainTextEdit>(u"RichTextBox1"_s, u"Dlogmodff"_s)->setPlainText(u"改写后的正文"_s);
    QVERIFY(click(ctl<QPushButton>(u"Command1"_s, u"Dlogmodff"_s)));
    settle();
    runSearch(u"周报的五个"_s, kAll, true);
    QCOMPARE(articleIds(), QList<qint64>{5}); // still by its title
    runSearch(u"写好工作"_s, kAll, true);
    QCOMPARE(articleIds(), QList<qint64>{5});
    runSearch(u"改写后"_s, kAll, true);
    QCOMPARE(articleIds(), QList<qint64>{5});
    pickArticle(5);
    QVERIFY(click(ctl<QPushButton>(u"Command3"_s)));
    runSearch(u"改写后"_s, kAll, true);
    QVERIFY(articleIds().isEmpty());
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa_grams WHERE fangfa_grams MATCH '\"改写\"'"_s).toInt(), 0);
}

void KnowledgeTest::categoryRules_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("add empty") << "Command1"
                               << ""
                               << " "
                               << "请输入知识类别名称！";
    QTest::newRow("add existing") << "Command1"
                                  << ""
                                  << "时间管理"
                                  << "该知识类别已存在！";
    QTest::newRow("add diary") << "Command1"
                               << ""
                               << "日志"
                               << "该知识类别已存在！";
    QTest::newRow("rename empty") << "Command2"
                                  << "时间管理"
                                  << ""
                                  << "请输入修改后的名称！";
    QTest::newRow("rename to existing") << "Command2"
                                        << "时间管理"
                                        << "读书笔记"
                                        << "该知识类别已经存在！";
    QTest::newRow("rename to diary") << "Command2"
                                     << "时间管理"
                                     << "日志"
                                     << "该知识类别已经存在！";
    QTest::newRow("rename diary") << "Command2"
                                  << "日志"
                                  << "随笔"
                                  << "日志是系统类别，不能更改！";
    QTest::newRow("rename nothing") << "Command2"
                                    << ""
                                    << "随笔"
                                    << "请先选择要修改的知识类别！";
    QTest::newRow("delete diary") << "Command3"
                                  << "日志"
                                  << ""
                                  << "日志是系统类别，不能删除！";
    QTest::newRow("delete nothing") << "Command3"
                                    << ""
                                    << ""
                                    << "请先选择要删除的知识类别！";
}

void KnowledgeTest::categoryRules()
{
    QFETCH(QString, button);
    QFETCH(QString, select);
    QFETCH(QString, name);
    QFETCH(QString, message);
    ProgramRun run;
    openView(run);
    QVERIFY(openManager());
    const QStringList before = names(ctl(u"ListView1"_s, u"Dlogfflb"_s), 0);
    manage(button, name, select);
    QCOMPARE(run.messages, QStringList{message});
    QCOMPARE(names(ctl(u"ListView1"_s, u"Dlogfflb"_s), 0), before);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa"_s).toInt(), 13);
    QVERIFY(shown(u"Dlogfflb"_s));

    // A name with quotes is added and shown in the view's lists as typed.
    manage(u"Command1"_s, u"读者'说\"的"_s);
    QCOMPARE(names(ctl(u"ListView1"_s), 0).last(), QStringLiteral("读者'说\"的"));
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s)->itemText(6), QStringLiteral("读者'说\"的"));
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s)->currentText(), kAll);
}

void KnowledgeTest::renameMovesArticles()
{
    ProgramRun run;
    openView(run);
    pickCategory(u"工作方法"_s);
    QCOMPARE(articleIds(), (QList<qint64>{6, 5}));
    QVERIFY(openManager());
    manage(u"Command2"_s, u"工作'心得"_s, u"工作方法"_s);
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(categoryOf(run, 5), QStringLiteral("工作'心得"));
    QCOMPARE(categoryOf(run, 6), QStringLiteral("工作'心得"));
    QVERIFY(!names(ctl(u"ListView1"_s), 0).contains(u"工作方法"_s));
    pickCategory(u"工作'心得"_s);
    QCOMPARE(articleIds(), (QList<qint64>{6, 5}));
}

void KnowledgeTest::deleteCategory_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void KnowledgeTest::deleteCategory()
{
    QFETCH(bool, yes);
    ProgramRun run;
    openView(run);
    pickCategory(u"健康生活"_s);
    QCOMPARE(articleIds(), (QList<qint64>{8, 7}));
    QVERIFY(openManager());
    run.answerNext(yes ? QMessageBox::Yes : QMessageBox::No);
    manage(u"Command3"_s, QString(), u"健康生活"_s);
    QCOMPARE(run.messages, QStringList{kDelete});
    QCOMPARE(run.messageButtons.last(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa WHERE ltype = '健康生活'"_s).toInt(), yes ? 0 : 2);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fftype WHERE fftype = '健康生活'"_s).toInt(), yes ? 0 : 1);
    QCOMPARE(names(ctl(u"ListView1"_s), 0).contains(u"健康生活"_s), !yes);
    QCOMPARE(names(ctl(u"ListView1"_s, u"Dlogfflb"_s), 0).contains(u"健康生活"_s), !yes);
    QCOMPARE(articleIds().isEmpty(), yes);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa"_s).toInt(), yes ? 11 : 13);
}

void KnowledgeTest::categoryChangeIsWholeOrNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("trigger");
    QTest::newRow("rename") << "Command2"
                            << "BEFORE UPDATE OF ltype ON fangfa";
    QTest::newRow("delete") << "Command3"
                            << "BEFORE DELETE ON fangfa";
}

void KnowledgeTest::categoryChangeIsWholeOrNothing()
{
    QFETCH(QString, button);
    QFETCH(QString, trigger);
    ProgramRun run;
    openView(run);
    // The second statement of the change fails.
    run.exec(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(trigger));
    QVERIFY(openManager());
    run.answerNext(QMessageBox::Yes);
    manage(button, u"理财"_s, u"理财知识"_s);
    QCOMPARE(run.messages.size(), button == "Command3"_L1 ? 2 : 1);
    QVERIFY(run.messages.last().contains(u"refused"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fftype WHERE fftype = '理财知识'"_s).toInt(), 1);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa WHERE ltype = '理财知识'"_s).toInt(), 2);
    QVERIFY(names(ctl(u"ListView1"_s, u"Dlogfflb"_s), 0).contains(u"理财知识"_s));
}

void KnowledgeTest::addArticle()
{
    ProgramRun run;
    openView(run);
    pickCategory(u"时间管理"_s);
    QCOMPARE(articleIds(), (QList<qint64>{2, 1}));
    QVERIFY(click(ctl<QPushButton>(u"Command1"_s)));
    auto* box = ctl<QComboBox>(u"Combo3"_s, u"Dlogaddff"_s);
    QVERIFY(box);
    // The view's category first, then every category once.
    QCOMPARE(box->currentText(), QStringLiteral("时间管理"));
    QCOMPARE(box->count(), 6);
    ctl<QLineEdit>(u"Text1"_s, u"Dlogaddff"_s)->setText(u"读'书\"法"_s);
    box->setEditText(u"读书笔记"_s);
    ctl<QPlainTextEdit>(u"RichTextBox1"_s, u"Dlogaddff"_s)->setPlainText(u"正文'一\"二\n第二行"_s);
    QVERIFY(click(ctl<QPushButton>(u"Command1"_s, u"Dlogaddff"_s)));
    settle();
    QVERIFY(!shown(u"Dlogaddff"_s));

    QSqlQuery q = run.query(u"SELECT id, title, content, ltype, addtime FROM fangfa ORDER BY id DESC LIMIT 1"_s);
    QVERIFY(q.next());
    const qint64 id = q.value(0).toLongLong();
    QCOMPARE(q.value(1).toString(), QStringLiteral("读'书\"法"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("正文'一\"二\n第二行"));
    QCOMPARE(q.value(3).toString(), QStringLiteral("读书笔记"));
    QCOMPARE(q.value(4).toString(), QStringLiteral("2009-01-31"));

    // Shown in the other category's list until the user lists again.
    QCOMPARE(articleIds(), (QList<qint64>{2, 1, id}));
    QCOMPARE(ctl(u"ListView2"_s)->topLevelItem(2)->text(1), QStringLiteral("读'书\"法"));
    QCOMPARE(ctl(u"ListView2"_s)->topLevelItem(2)->text(2), QStringLiteral("2009-1-31"));
    pickCategory(u"读书笔记"_s);
    pickCategory(u"时间管理"_s);
    QCOMPARE(articleIds(), (QList<qint64>{2, 1}));
}

void KnowledgeTest::addChecks_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("title") << " "
                           << "日志"
                           << "x"
                           << "请输入知识的标题！"
                           << "Text1";
    QTest::newRow("category") << "t"
                              << ""
                              << "x"
                              << "请选择或输入知识类别！"
                              << "Combo3";
    QTest::newRow("body") << "t"
                          << "日志"
                          << ""
                          << "请输入方法内容！"
                          << "RichTextBox1";
}

void KnowledgeTest::addChecks()
{
    QFETCH(QString, title);
    QFETCH(QString, category);
    QFETCH(QString, body);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    ProgramRun run;
    openView(run);
    QVERIFY(click(ctl<QPushButton>(u"Command1"_s)));
    QWidget* dialog = find<QWidget>(u"Dlogaddff"_s);
    QVERIFY(dialog);
    QApplication::setActiveWindow(dialog);
    ctl<QLineEdit>(u"Text1"_s, u"Dlogaddff"_s)->setText(title);
    ctl<QComboBox>(u"Combo3"_s, u"Dlogaddff"_s)->setEditText(category);
    ctl<QPlainTextEdit>(u"RichTextBox1"_s, u"Dlogaddff"_s)->setPlainText(body);
    QVERIFY(click(ctl<QPushButton>(u"Command1"_s, u"Dlogaddff"_s)));
    QCOMPARE(run.messages, QStringList{message});
    QVERIFY(shown(u"Dlogaddff"_s));
    QTRY_COMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa"_s).toInt(), 13);
}

void KnowledgeTest::editArticle()
{
    ProgramRun run;
    openView(run);
    pickCategory(u"理财知识"_s);
    QCOMPARE(articleIds(), (QList<qint64>{10, 9}));
    pickArticle(9, true);
    QVERIFY(shown(u"Dlogmodff"_s));
    QCOMPARE(ctl<QLineEdit>(u"Text1"_s, u"Dlogmodff"_s)->text(), QStringLiteral("家庭记账的分类怎么定"));
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s, u"Dlogmodff"_s)->currentText(), QStringLiteral("理财知识"));
    // Another pick in the view does not change the article being edited.
    pickArticle(10);
    ctl<QLineEdit>(u"Text1"_s, u"Dlogmodff"_s)->clear();
    ctl<QPlainTextEdit>(u"RichTextBox1"_s, u"Dlogmodff"_s)->setPlainText(u"it's \"new\""_s);
    QVERIFY(click(ctl<QPushButton>(u"Command1"_s, u"Dlogmodff"_s)));
    settle();
    QVERIFY(run.messages.isEmpty());
    QVERIFY(!shown(u"Dlogmodff"_s));
    QCOMPARE(run.scalar(u"SELECT title FROM fangfa WHERE id = 9"_s).toString(), QString());
    QCOMPARE(run.scalar(u"SELECT content FROM fangfa WHERE id = 9"_s).toString(), QStringLiteral("it's \"new\""));
    QCOMPARE(run.scalar(u"SELECT title FROM fangfa WHERE id = 10"_s).toString(), QStringLiteral("应急资金该留多少"));
    QCOMPARE(ctl(u"ListView2"_s)->topLevelItem(1)->text(1), QString());

    // Moved to another category, it leaves this list.
    pickArticle(10);
    QVERIFY(click(ctl<QPushButton>(u"Command2"_s)));
    ctl<QComboBox>(u"Combo1"_s, u"Dlogmodff"_s)->setEditText(u"日志"_s);
    QVERIFY(click(ctl<QPushButton>(u"Command1"_s, u"Dlogmodff"_s)));
    settle();
    QCOMPARE(categoryOf(run, 10), QStringLiteral("日志"));
    QCOMPARE(articleIds(), QList<qint64>{9});
}

void KnowledgeTest::articleActionsNeedARow()
{
    ProgramRun run;
    openView(run);
    QVERIFY(click(ctl<QPushButton>(u"Command2"_s)));
    QVERIFY(click(ctl<QPushButton>(u"Command3"_s)));
    QCOMPARE(run.messages, (QStringList{u"没有可以编辑的知识！"_s, u"没有可删除的知识！"_s}));
    QVERIFY(!shown(u"Dlogmodff"_s));

    // An article deleted while its editor is open is not written back.
    pickCategory(u"日志"_s);
    pickArticle(12);
    QVERIFY(click(ctl<QPushButton>(u"Command2"_s)));
    QVERIFY(shown(u"Dlogmodff"_s));
    run.exec(u"DELETE FROM fangfa WHERE id = 12"_s);
    QVERIFY(click(ctl<QPushButton>(u"Command1"_s, u"Dlogmodff"_s)));
    settle();
    QCOMPARE(run.messages.last(), QStringLiteral("没有可以编辑的知识！"));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa WHERE id = 12"_s).toInt(), 0);
}

void KnowledgeTest::deleteArticle()
{
    ProgramRun run;
    openView(run);
    pickCategory(u"日志"_s);
    pickArticle(12);
    QVERIFY(click(ctl<QPushButton>(u"Command3"_s)));
    QVERIFY(run.messages.isEmpty()); // no question asked
    QCOMPARE(articleIds(), (QList<qint64>{13, 11}));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa WHERE id = 12"_s).toInt(), 0);
}

void KnowledgeTest::helpLink()
{
    ProgramRun run;
    openView(run);
    auto* label = ctl<QLabel>(u"Label2"_s);
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    QCOMPARE(run.openedUrls.size(), 1);
    QVERIFY(run.openedUrls.first().toString().endsWith(u"/shuoming/11.asp"_s));
}

// On a generated corpus of Chinese, Latin letters in both cases, digits and punctuation, every
// keyword of one to five characters finds through the index exactly what a LIKE scan finds.
void KnowledgeTest::indexAnswersAsAScan()
{
    ProgramRun run;
    QVERIFY(run.start());
    const QString alphabet = QStringLiteral("时间管理目标计划aAbB12，. %_\"");
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    auto text = [&](int length) {
        QString t;
        for (int i = 0; i < length; ++i)
            t += alphabet.at(pick(gen));
        return t;
    };
    QVERIFY(Db::run([&] {
        Db::transaction([&] {
            for (int i = 0; i < 150; ++i)
                Knowledge::add(text(4), text(40), QStringLiteral("工作方法"), QDate(2009, 1, 31));
        });
    }));
    // Half of them in the index and half waiting for it, then all in it.
    for (int round = 0; round < 2; ++round) {
        QVERIFY(Db::run([&] {
            if (round == 0)
                QCOMPARE(Knowledge::buildSearchIndexStep(Db::main(), 75), 75);
            else
                QCOMPARE(Knowledge::buildSearchIndexStep(Db::main(), 1000), 0);
        }));
        QCOMPARE(Knowledge::searchIndexReady(), round == 1);
        int found = 0;
        for (int i = 0; i < 300; ++i) {
            const QString keyword = text(1 + i % 5);
            const QList<Knowledge::Heading> rows = Knowledge::search(keyword, std::nullopt, true);
            QList<qint64> ids;
            for (const Knowledge::Heading& h : rows)
                ids << h.id;
            // LIKE folds ASCII case; instr() does not, so the scan here is LIKE itself.
            QString pattern = keyword;
            pattern.replace(u"\\"_s, u"\\\\"_s).replace(u"%"_s, u"\\%"_s).replace(u"_"_s, u"\\_"_s);
            pattern = u"%"_s + pattern + u"%"_s;
            QSqlQuery q =
                run.query(u"SELECT id FROM fangfa WHERE title LIKE ? ESCAPE '\\' OR content LIKE ? ESCAPE '\\'"
                          " ORDER BY id"_s,
                          {pattern, pattern});
            QList<qint64> like;
            while (q.next())
                like << q.value(0).toLongLong();
            QVERIFY2(ids == like, qPrintable(keyword));
            found += like.isEmpty() ? 0 : 1;
        }
        QVERIFY(found > 100); // the keywords are not all misses
    }
}

// An older file gets its index after start-up, in the background: the view says so, searches
// scan meanwhile, and a build cut off by the end of the program goes on at the next start.
void KnowledgeTest::indexOfAnOlderFileIsBuiltInTheBackground()
{
    IndexBuilder::setBatchForTests(2);
    ProgramRun run;
    QVERIFY(run.start());
    // As the migration leaves a file with articles: an empty index and all of them to add.
    run.exec(u"INSERT INTO fangfa_grams (fangfa_grams) VALUES ('delete-all')"_s);
    run.exec(u"INSERT OR IGNORE INTO fangfa_grams_todo (id) SELECT id FROM fangfa"_s);
    const int articles = run.scalar(u"SELECT count(*) FROM fangfa"_s).toInt();
    QVERIFY(articles > 4);
    // A first run added one batch, then ended.
    QCOMPARE(Knowledge::buildSearchIndexStep(Db::main(), 2), articles - 2);
    closeEverything();

    IndexBuilder::holdForTests(true);
    openView(run);
    auto* label = ctl<QLabel>(u"LabelIndex"_s);
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), QStringLiteral("正在建立搜索索引…（0/%1）").arg(articles - 2));
    QVERIFY(!Knowledge::searchIndexReady());
    runSearch(u"时间"_s, kAll, true); // scanned meanwhile
    const QList<qint64> found = articleIds();
    QVERIFY(!found.isEmpty());
    QCOMPARE(found, scan(run, u"时间"_s, kAll, true));

    IndexBuilder::holdForTests(false);
    QTRY_VERIFY(!label->isVisible());
    QVERIFY(Knowledge::searchIndexReady());
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa_grams_todo"_s).toInt(), 0);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa_grams WHERE fangfa_grams MATCH '\"时间\"'"_s).toInt(),
             int(found.size()));
    runSearch(u"时间"_s, kAll, true);
    QCOMPARE(articleIds(), found);
    IndexBuilder::setBatchForTests(50);
}

QTEST_MAIN(KnowledgeTest)
#include "test_knowledge.moc"
