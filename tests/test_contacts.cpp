#include "testsupport.h"

#include "gui/forms.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "views/contacts/dlogaddrjxx.h"
#include "views/contacts/dlogmodrjxx.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace TestSupport;

namespace {
const QString kView = QStringLiteral("Frmrj");
const QString kChoose = QStringLiteral("请先在联系人列表中选择一个联系人！");
const QString kQuoted = QStringLiteral("O'Neil \"老王\" 100%_");

template <class T = QTreeWidget>
T* ctl(const QString& name, const QString& window = kView)
{
    return control<T>(window, name);
}

[[nodiscard]] bool press(const QString& name, const QString& window = kView)
{
    return click(ctl<QPushButton>(name, window));
}

void type(const QString& name, const QString& text, const QString& window = kView)
{
    ctl<QLineEdit>(name, window)->setText(text);
}

// Logs in on the sample data and opens the contacts view; the messages of the login are dropped.
void openView(ProgramRun& run)
{
    QVERIFY(run.login());
    find<MDIfrm>("MDIfrm")->showView(Views::kContacts);
    settle();
    QVERIFY(shown(kView));
    run.messages.clear();
}

QTreeWidget* contacts()
{
    return ctl("ListView1");
}

QList<qint64> idsOf(const QTreeWidget* list)
{
    QList<qint64> ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids << list->topLevelItem(i)->text(0).toLongLong();
    return ids;
}

int rowOf(const QTreeWidget* list, qint64 id)
{
    return int(idsOf(list).indexOf(id));
}

void selectContact(qint64 id)
{
    const int row = rowOf(contacts(), id);
    QVERIFY2(row >= 0, "contact not listed");
    QVERIFY(clickRow(contacts(), row));
}

void showTab(const QString& caption)
{
    auto* tabs = ctl<QTabWidget>("SSTab1");
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == caption)
            tabs->setCurrentIndex(i);
    }
}

void choose(QComboBox* combo, const QString& text)
{
    const int i = combo->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

QList<qint64> ids(const ProgramRun& run, const QString& sql, const QVariantList& values = {})
{
    QList<qint64> list;
    QSqlQuery q = run.query(sql, values);
    while (q.next())
        list << q.value(0).toLongLong();
    return list;
}

qint64 lastId(const ProgramRun& run, const QString& table)
{
    return run.scalar(QStringLiteral("SELECT max(id) FROM %1").arg(table)).toLongLong();
}
} // namespace

class ContactsTest : public QObject
{
    Q_OBJECT

private slots:
    void listsIconsAndOrder();
    void fieldSearch_data();
    void fieldSearch();
    void addContact_data();
    void addContact();
    void deletedContactKeepsItsNotes();
    void contactActionsNeedASelection_data();
    void contactActionsNeedASelection();
    void modifyContact();
    void notesByKind();
    void noteSearch_data();
    void noteSearch();
    void addNote_data();
    void addNote();
    void editNote();
    void noteDialogsNeedTheirSelection();
    void editChecksTheCurrentTab();
    void deleteNote();
    void categories();
    void helpLinks();
};

void ContactsTest::listsIconsAndOrder()
{
    ProgramRun run;
    QVERIFY(run.start());
    // Categories 6 and 7 come after the five of the sample; contacts of the sixth, the seventh,
    // none and a deleted category show icon 6.
    run.exec("INSERT INTO gxlb (id, gxlb) VALUES (6, '邻居'), (7, '网友')");
    run.exec("INSERT INTO renji (id, name, title, leibie) VALUES (20, '阿六', 'x', 6), (21, '阿七', 'y', 7),"
             " (22, '阿零', 'z', 0), (23, '阿九', 'w', 99)");
    openView(run);

    const QList<qint64> byName = ids(run, "SELECT id FROM renji ORDER BY name, id");
    QCOMPARE(idsOf(contacts()), byName);
    const QList<QPair<qint64, int>> icons = {{1, 1},  {3, 2},  {8, 3},  {7, 4}, {5, 5},
                                             {20, 6}, {21, 6}, {22, 6}, {23, 6}};
    for (const auto& [id, icon] : icons)
        QCOMPARE(contacts()->topLevelItem(rowOf(contacts(), id))->data(1, Qt::UserRole).toInt(), icon);

    // "全部" lists in table order, a category its contacts.
    auto* filter = ctl<QComboBox>("Combo1");
    QCOMPARE(filter->count(), 8);
    choose(filter, "同学");
    QCOMPARE(idsOf(contacts()), (QList<qint64>{5, 6}));
    choose(filter, "全部");
    QCOMPARE(idsOf(contacts()), ids(run, "SELECT id FROM renji ORDER BY id"));
    QVERIFY(idsOf(contacts()) != byName);

    // Adding a contact lists everyone by name again.
    QVERIFY(press("Command2"));
    QVERIFY(shown("Dlogaddrj"));
    type("Text2", "艾新", "Dlogaddrj");
    QVERIFY(press("Command1", "Dlogaddrj"));
    settle();
    QVERIFY(!shown("Dlogaddrj"));
    QCOMPARE(idsOf(contacts()), ids(run, "SELECT id FROM renji ORDER BY name, id"));
}

void ContactsTest::fieldSearch_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<qint64>>("found");
    QTest::newRow("relation 同") << "关系名称"
                                 << "同" << QList<qint64>{2, 6};
    QTest::newRow("name") << "姓    名"
                          << "晓" << QList<qint64>{2};
    QTest::newRow("address") << "联系地址"
                             << "云杉路" << QList<qint64>{3, 4};
    QTest::newRow("mobile") << "手    机"
                            << "1380" << QList<qint64>{1};
    QTest::newRow("email") << "email"
                           << "HEJF" << QList<qint64>{5};
    QTest::newRow("messenger") << "即时通讯"
                               << "sun" << QList<qint64>{4};
    QTest::newRow("phone") << "联系电话"
                           << "021-" << QList<qint64>{3, 4};
    QTest::newRow("quote") << "姓    名"
                           << "'" << QList<qint64>{30};
    QTest::newRow("percent is no wildcard") << "姓    名"
                                            << "%_" << QList<qint64>{30};
    QTest::newRow("underscore is no wildcard") << "关系名称"
                                               << "_" << QList<qint64>{};
    QTest::newRow("nothing") << "姓    名"
                             << "不存在" << QList<qint64>{};
}

void ContactsTest::fieldSearch()
{
    QFETCH(QString, field);
    QFETCH(QString, keyword);
    QFETCH(QList<qint64>, found);
    ProgramRun run;
    QVERIFY(run.start());
    run.exec("INSERT INTO renji (id, name, title) VALUES (30, ?, '')", {kQuoted});
    openView(run);
    choose(ctl<QComboBox>("Combo2"), field);
    type("Text1", keyword);
    QVERIFY(press("Command1"));
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(idsOf(contacts()), found);

    // An empty keyword is refused and leaves the list alone.
    type("Text1", "");
    QVERIFY(press("Command1"));
    QCOMPARE(run.messages, QStringList{"请输入要搜索的关键字！"});
    QCOMPARE(idsOf(contacts()), found);
}

void ContactsTest::addContact_data()
{
    QTest::addColumn<QString>("relation");
    QTest::addColumn<QString>("category");
    QTest::addColumn<bool>("female");
    QTest::addColumn<QString>("storedRelation");
    QTest::addColumn<qint64>("storedCategory");
    QTest::addColumn<int>("icon");
    QTest::newRow("no relation, no category") << ""
                                              << "无类别" << false << "无关系名称" << qint64(0) << 6;
    QTest::newRow("quotes, friend") << kQuoted << "朋友" << true << kQuoted << qint64(3) << 3;
}

void ContactsTest::addContact()
{
    QFETCH(QString, relation);
    QFETCH(QString, category);
    QFETCH(bool, female);
    QFETCH(QString, storedRelation);
    QFETCH(qint64, storedCategory);
    QFETCH(int, icon);
    ProgramRun run;
    openView(run);
    QVERIFY(press("Command2"));
    const QString d = "Dlogaddrj";
    QVERIFY(ctl<QRadioButton>("Option1", d)->isChecked());
    QCOMPARE(ctl<QComboBox>("Combo1", d)->currentText(), QStringLiteral("无类别"));
    const QStringList boxes = {"Text2", "Text3", "Text4", "Text5", "Text6", "Text8", "Text9"};
    for (const QString& box : boxes)
        type(box, kQuoted + box, d);
    type("Text7", relation, d);
    choose(ctl<QComboBox>("Combo1", d), category);
    if (female)
        ctl<QRadioButton>("Option2", d)->setChecked(true);
    QVERIFY(press("Command1", d));
    settle();

    const qint64 id = lastId(run, "renji");
    QSqlQuery q =
        run.query("SELECT name, tel, mob, \"add\", zip, email, msn, title, leibie, sex FROM renji WHERE id = ?", {id});
    QVERIFY(q.next());
    for (int i = 0; i < boxes.size(); ++i)
        QCOMPARE(q.value(i).toString(), kQuoted + boxes[i]);
    QCOMPARE(q.value(7).toString(), storedRelation);
    QCOMPARE(q.value(8).toLongLong(), storedCategory);
    QCOMPARE(q.value(9).toInt(), female ? 1 : 0);

    const int row = rowOf(contacts(), id);
    QVERIFY(row >= 0);
    QCOMPARE(contacts()->topLevelItem(row)->data(1, Qt::UserRole).toInt(), icon);
    QCOMPARE(contacts()->topLevelItem(row)->text(2), storedRelation);
    // The details show every field as stored.
    selectContact(id);
    QCOMPARE(ctl<QLineEdit>("Text5")->text(), kQuoted + "Text5");
    QCOMPARE(ctl<QRadioButton>("Option2")->isChecked(), female);
}

void ContactsTest::deletedContactKeepsItsNotes()
{
    ProgramRun run;
    openView(run);
    const QList<qint64> notes = ids(run, "SELECT id FROM rjxx WHERE renji = 1 ORDER BY id");
    QVERIFY(!notes.isEmpty());
    const QString name = run.scalar("SELECT name FROM renji WHERE id = 1").toString();
    selectContact(1);
    QVERIFY(press("Command3"));
    // The question names the notes that are no longer shown.
    QCOMPARE(run.messages,
             QStringList{QStringLiteral("删除联系人“%1”？其 %2 条资料将随之不再显示。").arg(name).arg(notes.size())});
    QCOMPARE(run.scalar("SELECT count(*) FROM renji WHERE id = 1").toInt(), 0);
    QCOMPARE(ids(run, "SELECT id FROM rjxx WHERE renji = 1 ORDER BY id"), notes);
    QCOMPARE(rowOf(contacts(), 1), -1);
    QVERIFY(ctl<QLineEdit>("Text2")->text().isEmpty());
    QCOMPARE(ctl("ListView2")->topLevelItemCount() + ctl("ListView3")->topLevelItemCount(), 0);

    // New contacts never take the deleted one's id, so its notes show for nobody.
    for (int i = 0; i < 2; ++i) {
        QVERIFY(press("Command2"));
        type("Text2", QStringLiteral("新人%1").arg(i), "Dlogaddrj");
        QVERIFY(press("Command1", "Dlogaddrj"));
        settle();
        const qint64 id = lastId(run, "renji");
        QVERIFY(id > 9);
        selectContact(id);
        for (const char* list : {"ListView2", "ListView3", "ListView4"})
            QCOMPARE(ctl(list)->topLevelItemCount(), 0);
    }
}

void ContactsTest::contactActionsNeedASelection_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("emptyList");
    QTest::addColumn<QString>("message");
    QTest::newRow("modify, empty") << "Command11" << true << "还没有可供修改的联系人信息！";
    QTest::newRow("modify, none chosen") << "Command11" << false << kChoose;
    QTest::newRow("delete, empty") << "Command3" << true << "没有可删除的人际关系！";
    QTest::newRow("delete, none chosen") << "Command3" << false << kChoose;
    QTest::newRow("add note, none chosen") << "Command8" << false << kChoose;
    QTest::newRow("note search, none chosen") << "Command5" << false << kChoose;
}

void ContactsTest::contactActionsNeedASelection()
{
    QFETCH(QString, button);
    QFETCH(bool, emptyList);
    QFETCH(QString, message);
    ProgramRun run;
    openView(run);
    if (emptyList) {
        type("Text1", "没有这个人");
        QVERIFY(press("Command1"));
        QCOMPARE(contacts()->topLevelItemCount(), 0);
    }
    const QString before = run.scalar("SELECT group_concat(name || title || leibie, '|') FROM renji").toString();
    type("Text2", "改名");
    QVERIFY(press(button));
    settle();
    QCOMPARE(run.messages, QStringList{message});
    QCOMPARE(run.scalar("SELECT count(*) FROM renji").toInt(), 9);
    QCOMPARE(run.scalar("SELECT group_concat(name || title || leibie, '|') FROM renji").toString(), before);
    QVERIFY(!shown("Dlogaddrjxx"));
}

void ContactsTest::modifyContact()
{
    ProgramRun run;
    QVERIFY(run.start());
    // Contact 9 belongs to a category deleted since: changing its phone keeps that category.
    run.exec("UPDATE renji SET leibie = 42 WHERE id = 9");
    openView(run);
    selectContact(3);
    QCOMPARE(ctl<QComboBox>("Combo3")->currentText(), QStringLiteral("客户"));
    selectContact(9);
    type("Text3", "010-1");
    QVERIFY(press("Command11"));
    QCOMPARE(run.messages, QStringList{"修改完成！"});
    QCOMPARE(run.scalar("SELECT leibie FROM renji WHERE id = 9").toLongLong(), 42);
    QCOMPARE(run.scalar("SELECT tel FROM renji WHERE id = 9").toString(), QStringLiteral("010-1"));

    // Every field is written; the list keeps its text until it is refilled.
    selectContact(1);
    type("Text2", kQuoted);
    type("Text7", "老领导");
    type("Text9", "msn'");
    ctl<QRadioButton>("Option2")->setChecked(true);
    choose(ctl<QComboBox>("Combo3"), "未选择");
    QVERIFY(press("Command11"));
    QSqlQuery q = run.query("SELECT name, title, msn, sex, leibie FROM renji WHERE id = 1");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), kQuoted);
    QCOMPARE(q.value(1).toString(), QStringLiteral("老领导"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("msn'"));
    QCOMPARE(q.value(3).toInt(), 1);
    QCOMPARE(q.value(4).toInt(), 0);
    QCOMPARE(contacts()->topLevelItem(rowOf(contacts(), 1))->text(1), QStringLiteral("周海涛"));
}

void ContactsTest::notesByKind()
{
    ProgramRun run;
    QVERIFY(run.start());
    // Older kinds read as the first and third tab; an unknown kind shows nowhere.
    run.exec("INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES"
             " (50, 2, '旧资料', '', '资料', '2008-05-01'), (51, 2, '旧行动', '', '行动', '2008-05-02'),"
             " (52, 2, '其他', '', '备忘', '2008-05-03')");
    openView(run);
    selectContact(2);
    QCOMPARE(idsOf(ctl("ListView2")), (QList<qint64>{50}));
    QCOMPARE(idsOf(ctl("ListView3")), (QList<qint64>{4}));
    QCOMPARE(idsOf(ctl("ListView4")), (QList<qint64>{51}));
    QCOMPARE(ctl("ListView4")->topLevelItem(0)->text(1), QStringLiteral("旧行动"));
    QCOMPARE(ctl("ListView4")->topLevelItem(0)->text(2), QStringLiteral("2008-5-2"));
}

void ContactsTest::noteSearch_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<qint64>>("shown");
    QTest::newRow("title") << "汇报" << QList<qint64>{2};
    QTest::newRow("content") << "邮件" << QList<qint64>{1};
    QTest::newRow("only in another contact's note") << "郑主管" << QList<qint64>{};
    QTest::newRow("or does not leak") << "拜年" << QList<qint64>{};
    QTest::newRow("quote") << "'s" << QList<qint64>{60};
    QTest::newRow("empty lists all") << "" << QList<qint64>{1, 60, 2, 3};
}

void ContactsTest::noteSearch()
{
    QFETCH(QString, keyword);
    QFETCH(QList<qint64>, shown);
    ProgramRun run;
    QVERIFY(run.start());
    run.exec("INSERT INTO rjxx (id, renji, title, content, type1) VALUES (60, 1, 'Tom''s note', '', '补充资料')");
    openView(run);
    selectContact(1);
    type("Text10", keyword);
    QVERIFY(press("Command5"));
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(idsOf(ctl("ListView2")) + idsOf(ctl("ListView3")) + idsOf(ctl("ListView4")), shown);
}

void ContactsTest::addNote_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("storedContent");
    QTest::addColumn<QString>("list");
    QTest::newRow("contact record") << "联系记录"
                                    << "电话"
                                    << "谈了合同"
                                    << "谈了合同"
                                    << "ListView3";
    QTest::newRow("empty text") << "补充资料"
                                << "生日"
                                << ""
                                << "暂无内容"
                                << "ListView2";
    QTest::newRow("quotes") << "行动计划" << kQuoted << kQuoted << kQuoted << "ListView4";
}

void ContactsTest::addNote()
{
    QFETCH(QString, tab);
    QFETCH(QString, title);
    QFETCH(QString, content);
    QFETCH(QString, storedContent);
    QFETCH(QString, list);
    ProgramRun run;
    openView(run);
    selectContact(8);
    showTab(tab);
    QVERIFY(press("Command8"));
    const QString d = "Dlogaddrjxx";
    QVERIFY(shown(d));
    QCOMPARE(ctl<QComboBox>("Combo1", d)->currentText(), tab);
    const int before = run.scalar("SELECT count(*) FROM rjxx").toInt();

    // A title is required.
    ctl<QPlainTextEdit>("RichTextBox1", d)->setPlainText(content);
    QVERIFY(press("Command1", d));
    QCOMPARE(run.messages, QStringList{"必须输入标题！"});
    QCOMPARE(run.scalar("SELECT count(*) FROM rjxx").toInt(), before);

    type("Text1", title, d);
    QVERIFY(press("Command1", d));
    settle();
    QVERIFY(!shown(d));
    const qint64 id = lastId(run, "rjxx");
    QSqlQuery q = run.query("SELECT renji, title, content, type1, addtime FROM rjxx WHERE id = ?", {id});
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toLongLong(), 8);
    QCOMPARE(q.value(1).toString(), title);
    QCOMPARE(q.value(2).toString(), storedContent);
    QCOMPARE(q.value(3).toString(), tab);
    QCOMPARE(q.value(4).toString(), QStringLiteral("2009-01-31"));
    QVERIFY(rowOf(ctl(list), id) >= 0);
}

void ContactsTest::editNote()
{
    ProgramRun run;
    openView(run);
    selectContact(3);
    showTab("行动计划");
    QVERIFY(clickRow(ctl("ListView4"), 0, 1, true)); // note 7
    const QString d = "Dlogmodrjxx";
    QVERIFY(shown(d));
    QCOMPARE(ctl<QLineEdit>("Text1", d)->text(), QStringLiteral("节后上门拜访"));
    QCOMPARE(ctl<QComboBox>("Combo1", d)->currentText(), QStringLiteral("行动计划"));

    // Choosing another note meanwhile does not redirect the save.
    showTab("补充资料");
    QVERIFY(clickRow(ctl("ListView2"), 0)); // note 5
    type("Text1", kQuoted, d);
    ctl<QPlainTextEdit>("RichTextBox1", d)->clear();
    QVERIFY(press("Command1", d));
    settle();
    QVERIFY(!shown(d));
    QSqlQuery q = run.query("SELECT title, content, type1 FROM rjxx WHERE id = 7");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), kQuoted);
    QCOMPARE(q.value(1).toString(), QStringLiteral("暂无内容"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("行动计划"));
    QCOMPARE(run.scalar("SELECT title FROM rjxx WHERE id = 5").toString(), QStringLiteral("郑主管的采购周期"));
    QCOMPARE(ctl("ListView4")->topLevelItem(0)->text(1), kQuoted);
}

void ContactsTest::noteDialogsNeedTheirSelection()
{
    ProgramRun run;
    openView(run);
    selectContact(8);
    QVERIFY(press("Command8"));
    const QString d = "Dlogaddrjxx";
    QVERIFY(shown(d));
    const int before = run.scalar("SELECT count(*) FROM rjxx").toInt();

    // The contact is deleted while the dialog is open (its notes' question answered Yes): the note
    // has nobody to go to.
    QVERIFY(press("Command3"));
    run.messages.clear();
    type("Text1", "约饭", d);
    QVERIFY(press("Command1", d));
    settle();
    QCOMPARE(run.messages, QStringList{kChoose});
    QCOMPARE(run.scalar("SELECT count(*) FROM rjxx").toInt(), before);
    QVERIFY(shown(d));
    find<QWidget>(d)->close();
    settle();

    // Without the contacts view neither dialog opens.
    find<MDIfrm>("MDIfrm")->showView(Views::kToday);
    settle();
    run.messages.clear();
    QVERIFY(!Forms::show<Dlogaddrjxx>());
    QVERIFY(!Forms::show<Dlogmodrjxx>());
    settle();
    QCOMPARE(run.messages, (QStringList{kChoose, "请先在列表中选择要编辑的信息！"}));
    QVERIFY(!shown(d));
    QCOMPARE(run.scalar("SELECT count(*) FROM rjxx").toInt(), before);
}

void ContactsTest::editChecksTheCurrentTab()
{
    ProgramRun run;
    openView(run);
    // Contact 6 has an action plan only; contact 7 supplementary information and a record.
    selectContact(6);
    showTab("行动计划");
    QVERIFY(press("Command9"));
    settle();
    QCOMPARE(run.messages, QStringList{"请先在列表中选择要编辑的信息！"});
    QVERIFY(!shown("Dlogmodrjxx"));
    QVERIFY(clickRow(ctl("ListView4"), 0));
    QVERIFY(press("Command9"));
    QVERIFY(shown("Dlogmodrjxx"));
    find<QWidget>("Dlogmodrjxx")->close();
    settle();

    selectContact(7);
    showTab("行动计划");
    run.messages.clear();
    QVERIFY(press("Command9"));
    QCOMPARE(run.messages, QStringList{"没有可以删除的信息！"});
    QVERIFY(!shown("Dlogmodrjxx"));
}

void ContactsTest::deleteNote()
{
    ProgramRun run;
    openView(run);
    selectContact(7);
    showTab("行动计划");
    QVERIFY(press("Command10"));
    QCOMPARE(run.messages, QStringList{"没有可删除的行动计划！"});
    showTab("联系记录");
    run.messages.clear();
    QVERIFY(press("Command10"));
    QCOMPARE(run.messages, QStringList{"请先选择要删除的联系记录！"});
    QCOMPARE(run.scalar("SELECT count(*) FROM rjxx WHERE renji = 7").toInt(), 2);
    run.messages.clear();
    QVERIFY(clickRow(ctl("ListView3"), 0));
    QVERIFY(press("Command10"));
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(ids(run, "SELECT id FROM rjxx WHERE renji = 7"), (QList<qint64>{12}));
    QCOMPARE(ctl("ListView3")->topLevelItemCount(), 0);
    QCOMPARE(ctl("ListView2")->topLevelItemCount(), 1);
}

void ContactsTest::categories()
{
    ProgramRun run;
    openView(run);
    const QString contactsBefore = run.scalar("SELECT group_concat(id || leibie, '|') FROM renji").toString();
    QVERIFY(press("Command4"));
    const QString d = "Dlogaddgxlb";
    QVERIFY(shown(d));
    QTreeWidget* list = ctl("ListView1", d);
    QCOMPARE(list->topLevelItemCount(), 5);

    // Rename and delete need a chosen row; an add needs a name.
    QVERIFY(press("Command2", d));
    QVERIFY(press("Command3", d));
    QVERIFY(press("Command1", d));
    QCOMPARE(run.messages,
             (QStringList{"请先选择要修改的关系类别！", "请先选择要删除的关系类别！", "请输入关系类别名称！"}));
    QCOMPARE(run.scalar("SELECT count(*) FROM gxlb").toInt(), 5);

    QVERIFY(clickRow(list, 0));
    QCOMPARE(ctl<QLineEdit>("Text1", d)->text(), QStringLiteral("同事"));
    // A category keeps a name: renaming to nothing is refused like adding nothing.
    run.messages.clear();
    type("Text1", "", d);
    QVERIFY(press("Command2", d));
    QCOMPARE(run.messages, QStringList{"请输入关系类别名称！"});
    QCOMPARE(run.scalar("SELECT gxlb FROM gxlb WHERE id = 1").toString(), QStringLiteral("同事"));
    type("Text1", kQuoted, d);
    QVERIFY(press("Command2", d));
    QCOMPARE(run.scalar("SELECT gxlb FROM gxlb WHERE id = 1").toString(), kQuoted);
    QCOMPARE(list->topLevelItem(0)->text(1), kQuoted);
    type("Text1", "邻居", d);
    QVERIFY(press("Command1", d));
    QCOMPARE(list->topLevelItemCount(), 6);
    QVERIFY(ctl<QLineEdit>("Text1", d)->text().isEmpty());
    QVERIFY(clickRow(list, 1));
    QVERIFY(press("Command3", d));
    QCOMPARE(ids(run, "SELECT id FROM gxlb ORDER BY id"), (QList<qint64>{1, 3, 4, 5, 6}));
    QCOMPARE(run.scalar("SELECT group_concat(id || leibie, '|') FROM renji").toString(), contactsBefore);

    // The view's choices change only when it is loaded again.
    QCOMPARE(ctl<QComboBox>("Combo1")->itemText(1), QStringLiteral("同事"));
    QCOMPARE(ctl<QComboBox>("Combo3")->count(), 6);
    find<MDIfrm>("MDIfrm")->showView(Views::kContacts);
    settle();
    QCOMPARE(ctl<QComboBox>("Combo1")->itemText(1), kQuoted);
    QCOMPARE(ctl<QComboBox>("Combo3")->findText("邻居"), 5);
    QCOMPARE(ctl<QComboBox>("Combo3")->findText("客户"), -1);
}

void ContactsTest::helpLinks()
{
    ProgramRun run;
    openView(run);
    QTest::mouseClick(ctl<QLabel>("Label11"), Qt::LeftButton);
    QTest::mouseClick(ctl<QLabel>("Label13"), Qt::LeftButton);
    QCOMPARE(run.openedUrls.size(), 2);
    QVERIFY(run.openedUrls[0].toString().endsWith("/shuoming/12.asp"));
    QVERIFY(run.openedUrls[1].toString().endsWith("/shuoming/10.asp"));
}

QTEST_MAIN(ContactsTest)
#include "test_contacts.moc"
