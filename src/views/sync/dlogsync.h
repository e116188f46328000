#pragma once

#include "gui/formdialog.h"
#include "views/sync/syncengine.h"

#include <QUrl>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The task sync's settings: the server, user and password, the task list on the server (or a
// new one made there), the automatic sync, and the result of the last sync.
class DlogSync : public FormDialog
{
    Q_OBJECT

public:
    explicit DlogSync(QWidget* parent = nullptr);
    void Form_Load();

private:
    void CommandTest_Click();
    void CommandSync_Click();
    void ComboList_Activated(int index);
    void CheckAuto_Click();
    // The server address typed, or null after saying why it cannot be used.
    QUrl checkedServer();
    // Finds the task lists for the typed server and user, then runs `then(ok)`.
    void discover(std::function<void(bool)> then);
    void fillLists(const QList<CalDavClient::Calendar>& lists, const QString& select);
    // Makes the list "Vantorel" on the server, chooses it, then runs `then`.
    void createList(std::function<void()> then);
    // Stores what the window shows (not the password).
    void saveAccount();
    // Runs `then(password)` with the typed password or the kept one; says so when there is none.
    void withPassword(std::function<void(const QString&)> then);
    void showResult(const SyncEngine::Result& result);
    void setBusy(bool busy, const QString& text = {});
    // The line under the settings, with the keyring's note when there is one.
    void showInfo(const QString& text);

    QLineEdit* TextServer;
    QLineEdit* TextUser;
    QLineEdit* TextPassword;
    QComboBox* ComboList;
    QCheckBox* CheckAuto;
    QCheckBox* CheckInsecure;
    QPushButton* CommandTest;
    QPushButton* CommandSync;
    QPushButton* CommandClose;
    QLabel* LabelStatus;
    QLabel* LabelInfo;
    CalDavClient* client_;
    QUrl home_; // the calendar home found by the last discovery
    QString info_;
    QString keyringNote_;
};
