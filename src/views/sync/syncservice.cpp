#include "views/sync/syncservice.h"

#include "data/db.h"
#include "data/syncstate.h"
#include "gui/changes.h"
#include "gui/clock.h"

#include <QPointer>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace {
const char* const kKeyringService = "Vantorel";
constexpr int kAutoInterval = 5 * 60 * 1000;
constexpr int kAfterChange = 15 * 1000;

SyncService*& current()
{
    static SyncService* s = nullptr;
    return s;
}

QString keyOf(const QString& server, const QString& user)
{
    return user + QLatin1Char('@') + server;
}

QString noKeyring(const QString& why)
{
    Q_UNUSED(why);
    return QStringLiteral("没有可用的密钥环：密码只在本次运行中保留，下次启动需重新输入。");
}
} // namespace

SyncService& SyncService::instance()
{
    if (!current())
        current() = new SyncService;
    return *current();
}

void SyncService::reset()
{
    delete current();
    current() = nullptr;
}

SyncService::SyncService() : engine_(new SyncEngine(this)), autoTimer_(new QTimer(this)), changeTimer_(new QTimer(this))
{
    autoTimer_->setObjectName(QStringLiteral("SyncAutoTimer"));
    autoTimer_->setInterval(kAutoInterval);
    changeTimer_->setObjectName(QStringLiteral("SyncChangeTimer"));
    changeTimer_->setSingleShot(true);
    changeTimer_->setInterval(kAfterChange);
    connect(autoTimer_, &QTimer::timeout, this, &SyncService::syncNow);
    connect(changeTimer_, &QTimer::timeout, this, &SyncService::syncNow);
    connect(engine_, &SyncEngine::finished, this, &SyncService::onFinished);
    connect(&Changes::instance(), &Changes::tasksChanged, this, &SyncService::onTasksChanged);
}

QUrl SyncService::serverUrl(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QUrl();
    QUrl url = QUrl::fromUserInput(t.contains(QStringLiteral("://")) ? t : QStringLiteral("https://") + t);
    return url;
}

QString SyncService::refusal(const QUrl& url, bool insecure)
{
    if (!url.isValid() || url.host().isEmpty())
        return QStringLiteral("服务器地址不正确");
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return {};
    if (scheme != QLatin1String("http"))
        return QStringLiteral("服务器地址须以 https:// 开头");
    const QString host = url.host().toLower();
    if (insecure || host == QLatin1String("localhost") || host == QLatin1String("127.0.0.1"))
        return {};
    return QStringLiteral("不加密的连接（http）会泄露密码，只允许用于本机；确需使用请勾选“允许不加密的连接”");
}

void SyncService::password(const QString& server, const QString& user,
                           std::function<void(const QString&, const QString&)> done)
{
    const QString key = keyOf(server, user);
    if (!memoryPassword_.isEmpty() && memoryKey_ == key) {
        done(memoryPassword_, QString());
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(QLatin1String(kKeyringService), this);
    job->setAutoDelete(true);
    job->setKey(key);
    QPointer<SyncService> self(this);
    connect(job, &QKeychain::Job::finished, this, [self, key, done](QKeychain::Job* j) {
        auto* read = static_cast<QKeychain::ReadPasswordJob*>(j);
        if (read->error() == QKeychain::NoError) {
            if (self) {
                self->memoryPassword_ = read->textData();
                self->memoryKey_ = key;
            }
            done(read->textData(), QString());
        } else if (read->error() == QKeychain::EntryNotFound) {
            done(QString(), QString());
        } else {
            done(QString(), noKeyring(read->errorString()));
        }
    });
    job->start();
}

void SyncService::setPassword(const QString& server, const QString& user, const QString& password,
                              std::function<void(const QString&)> done)
{
    const QString key = keyOf(server, user);
    if (memoryKey_ != key || memoryPassword_ != password)
        authBlocked_ = false; // new credentials may be tried
    memoryPassword_ = password;
    memoryKey_ = key;
    auto* job = new QKeychain::WritePasswordJob(QLatin1String(kKeyringService), this);
    job->setAutoDelete(true);
    job->setKey(key);
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this, [done](QKeychain::Job* j) {
        if (done)
            done(j->error() == QKeychain::NoError ? QString() : noKeyring(j->errorString()));
    });
    job->start();
}

void SyncService::syncNow()
{
    if (engine_->busy())
        return;
    std::optional<SyncState::Account> account = Db::get([] { return SyncState::account(); });
    if (!account || account->calendar.isEmpty())
        return;
    const QUrl calendar(account->calendar);
    if (const QString why = refusal(calendar, account->insecure); !why.isEmpty()) {
        onFinished(SyncEngine::Result{false, false, why, 0, 0});
        return;
    }
    emit started();
    QPointer<SyncService> self(this);
    password(account->server, account->user, [self, account, calendar](const QString& pw, const QString&) {
        if (!self || self->engine_->busy())
            return;
        if (pw.isEmpty()) {
            self->onFinished(SyncEngine::Result{false, true, QStringLiteral("请输入密码"), 0, 0});
            return;
        }
        self->engine_->setCredentials(account->user, pw);
        self->engine_->start(calendar);
    });
}

void SyncService::onFinished(const SyncEngine::Result& result)
{
    if (result.authFailed)
        authBlocked_ = true;
    SyncState::LastResult last;
    last.time = Clock::now().toString(QStringLiteral("yyyy-M-d H:mm:ss"));
    last.ok = result.ok;
    last.text =
        result.ok ? QStringLiteral("上传 %1，下载 %2").arg(result.uploaded).arg(result.downloaded) : result.error;
    Db::run([&] { SyncState::setLastResult(last); });
    applyAutoSetting();
    emit finished(result);
    // Changes made while this sync ran go up shortly.
    if (result.ok && autoTimer_->isActive()) {
        std::optional<int> pending = Db::get([] { return SyncState::changeCount(); });
        if (pending && *pending > 0)
            changeTimer_->start();
    }
}

QString SyncService::statusText()
{
    std::optional<SyncState::LastResult> last = Db::get([] { return SyncState::lastResult(); });
    if (!last || last->time.isEmpty())
        return {};
    if (last->ok)
        return QStringLiteral("上次同步：%1 成功（%2）").arg(last->time, last->text);
    return QStringLiteral("上次同步：%1 失败：%2").arg(last->time, last->text);
}

void SyncService::applyAutoSetting()
{
    std::optional<SyncState::Account> account = Db::get([] { return SyncState::account(); });
    const bool on = account && account->autoSync && !account->calendar.isEmpty() && !authBlocked_;
    if (on && !autoTimer_->isActive())
        autoTimer_->start();
    if (!on) {
        autoTimer_->stop();
        changeTimer_->stop();
    }
}

void SyncService::onTasksChanged()
{
    // The sync's own downloads announce changes too; those need no upload.
    if (engine_->busy() || !autoTimer_->isActive())
        return;
    changeTimer_->start();
}
