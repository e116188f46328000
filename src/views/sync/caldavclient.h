#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// A CalDAV client on QNetworkAccessManager. Every call returns at once and answers through its
// callback on the calling thread's event loop; nothing waits on the network. The password is
// sent as HTTP basic authentication and kept nowhere but in memory.
class CalDavClient : public QObject
{
    Q_OBJECT

public:
    explicit CalDavClient(QObject* parent = nullptr);
    ~CalDavClient() override;

    void setCredentials(const QString& user, const QString& password);
    // Requests sent since the client was made (for the benchmark and the tests).
    int requestCount() const { return requests_; }
    // Stops every request in flight; their callbacks are not called.
    void abortAll();

    struct Reply
    {
        int status = 0;       // HTTP status, 0 when no answer came
        QString networkError; // why no answer came, empty when one did
        QByteArray body;
        QByteArray etag; // the ETag header
        QUrl url;        // after redirects
        bool ok() const { return status >= 200 && status < 300; }
    };
    using Callback = std::function<void(const Reply&)>;

    // One request; redirects are followed with the same method and body (PROPFIND and REPORT
    // must stay what they are).
    void send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
              const QMap<QByteArray, QByteArray>& headers, Callback done);

    // One response of a multistatus answer, with the properties the client reads.
    struct Resource
    {
        QString href;   // the path, percent-decoded
        int status = 0; // the response's own status (sync-collection: 404 for a deletion)
        QString etag;
        QByteArray calendarData;
        QString displayName;
        QStringList resourceTypes; // local names: collection, calendar, ...
        QStringList components;    // supported-calendar-component-set: VTODO, VEVENT...
        QString principal;         // current-user-principal href
        QString calendarHome;      // calendar-home-set href
        QString syncToken;
        QStringList reports; // supported-report-set local names
    };
    struct Multistatus
    {
        QList<Resource> resources;
        QString syncToken; // the sync-collection answer's new token
    };
    static Multistatus parseMultistatus(const QByteArray& xml, const QUrl& base);
    // The server's path as a URL on the same host as `base`.
    static QUrl urlOf(const QUrl& base, const QString& path);

    struct Calendar
    {
        QUrl url;
        QString name;
        bool syncCollection = false;
    };
    struct Discovery
    {
        bool ok = false;
        int status = 0;
        QString error;
        QUrl home;
        QList<Calendar> calendars; // those that hold tasks
    };
    // RFC 6764 well-known address, the principal, its calendar-home-set, and the task lists in it.
    void discover(const QUrl& server, std::function<void(const Discovery&)> done);
    // Makes a new task list in the calendar home; answers with its URL (empty on failure).
    void makeCalendar(const QUrl& home, const QString& name, std::function<void(const Reply&, const QUrl&)> done);

    // sync-collection REPORT (RFC 6578) from `token` (empty: everything), with ETags.
    void syncCollection(const QUrl& calendar, const QString& token, Callback done);
    // PROPFIND depth 1 for every resource's ETag (the fallback without sync-collection).
    void listEtags(const QUrl& calendar, Callback done);
    // calendar-multiget REPORT of the given paths, with their data and ETags.
    void multiget(const QUrl& calendar, const QStringList& hrefs, Callback done);
    void get(const QUrl& url, Callback done);
    // PUT of an iCalendar object: If-Match `etag`, or If-None-Match: * when `etag` is empty.
    void put(const QUrl& url, const QByteArray& ics, const QString& etag, Callback done);
    // DELETE, with If-Match when `etag` is given.
    void remove(const QUrl& url, const QString& etag, Callback done);

    // A short Chinese reason for a failed reply.
    static QString reason(const Reply& reply);

private:
    void sendTo(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                const QMap<QByteArray, QByteArray>& headers, Callback done, int redirects);
    void findPrincipal(const QList<QUrl>& candidates, int index, std::function<void(const Discovery&)> done,
                       Discovery failure);
    void listCalendars(const QUrl& home, std::function<void(const Discovery&)> done);

    QNetworkAccessManager* net_;
    QByteArray authorization_;
    int requests_ = 0;
    QList<QNetworkReply*> inFlight_;
};
