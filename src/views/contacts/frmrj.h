#pragma once

#include "views/contacts/contactselection.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace Contacts {
struct Contact;
struct Listed;
} // namespace Contacts

// The contacts view "我的人际关系": the contact list with category icons, filter and field
// search; the details of the selected contact; and its notes in three tabs with a note search.
class Frmrj : public QWidget, public ContactSelection
{
    Q_OBJECT

public:
    explicit Frmrj(QWidget* parent = nullptr);

    // The category choices and icons, then the contacts by name.
    void Form_Load();

    // Refills the contact list with every contact, ordered by name.
    void RjList();
    // Refills the three note lists with the selected contact's notes; with a keyword, only those
    // whose title or content contains it.
    void FillDate(const QString& keyword = QString());

    qint64 selectedContactId() const override;
    QString noteKind() const override;
    qint64 selectedNoteId() const override;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();

    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void ListView1_ItemClick(QTreeWidgetItem* item);
    void ListView1_SelectionChanged();
    void NoteList_DblClick();
    void Label11_Click();
    void Label13_Click();
    void contactsChanged(QObject* origin);

    // Shows the contacts in the list; the selected contact stays selected when it is among them,
    // otherwise its details and notes are cleared.
    void showContacts(const QList<Contacts::Listed>& contacts);
    // Shows the contact of the row in the details and its notes.
    void showContact(qint64 id);
    void clearContact();
    // The shown contact as its fields now describe it.
    Contacts::Contact contactFromFields() const;
    // Whether the details differ from the contact as it was shown.
    bool detailsEdited() const;
    // Asks "是否保存对联系人的修改？" when the details were changed: 是 saves them, 否 lets them go.
    // False when the user chose to stay with them (取消, offered when `canStay`).
    bool settleEdits(bool canStay = true);
    // Writes the details into the shown contact; false when that failed.
    bool saveDetails();
    // Selects the row of the shown contact again, quietly.
    void reselectShown();
    // The category icon (1 to 6) of a contact's category.
    int iconOf(qint64 leibie) const;
    // The note list of the current tab.
    QTreeWidget* currentNoteList() const;

    QGroupBox* Frame1;
    QTreeWidget* ListView1;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;

    QGroupBox* Frame3;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QLineEdit* Text7;
    QLineEdit* Text8;
    QLineEdit* Text9;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QComboBox* Combo3;
    QPushButton* Command11;

    QTabWidget* SSTab1;
    QTreeWidget* ListView2;
    QTreeWidget* ListView3;
    QTreeWidget* ListView4;
    QPushButton* Command8;
    QPushButton* Command9;
    QPushButton* Command10;
    QLabel* Label12;
    QLineEdit* Text10;
    QPushButton* Command5;
    QLabel* Label11;
    QLabel* Label13;
    QLabel* hint;

    // The ids of the first five categories at load: contacts of these show icons 1 to 5.
    QList<qint64> iconCategories_;
    // The contact whose details and notes are shown (0: none).
    qint64 shownContact_ = 0;
    // The details as they were shown (or last saved), to tell what the user changed.
    QStringList shownFields_;
    QStringList fieldsNow() const;
};
