#include "views/sync/caldavclient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUuid>
#include <QXmlStreamReader>

namespace {
const char* const kDav = "DAV:";
const char* const kCalDav = "urn:ietf:params:xml:ns:caldav";

QByteArray propfindBody(const QByteArray& props)
{
    return R"(<?xml version="1.0" encoding="utf-8"?><d:propfind xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav" xmlns:cs="http://calendarserver.org/ns/"><d:prop>)"
           + props + "</d:prop></d:propfind>";
}

QString xmlEscape(const QString& text)
{
    return text.toHtmlEscaped();
}

// The path of an href, percent-decoded, resolved against the request's address.
QString pathOf(const QUrl& base, const QString& href)
{
    const QUrl url = base.resolved(QUrl(href.trimmed()));
    return url.path(QUrl::FullyDecoded);
}
} // namespace

CalDavClient::CalDavClient(QObject* parent) : QObject(parent), net_(new QNetworkAccessManager(this))
{
    net_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

CalDavClient::~CalDavClient()
{
    abortAll();
}

void CalDavClient::setCredentials(const QString& user, const QString& password)
{
    authorization_ = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

void CalDavClient::abortAll()
{
    const QList<QNetworkReply*> replies = inFlight_;
    inFlight_.clear();
    for (QNetworkReply* r : replies) {
        r->disconnect(this);
        r->abort();
        r->deleteLater();
    }
}

QUrl CalDavClient::urlOf(const QUrl& base, const QString& path)
{
    QUrl url = base;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

void CalDavClient::send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                        const QMap<QByteArray, QByteArray>& headers, Callback done)
{
    sendTo(verb, url, body, headers, std::move(done), 0);
}

void CalDavClient::sendTo(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                          const QMap<QByteArray, QByteArray>& headers, Callback done, int redirects)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(60000);
    if (!authorization_.isEmpty())
        request.setRawHeader("Authorization", authorization_);
    for (auto it = headers.begin(); it != headers.end(); ++it)
        request.setRawHeader(it.key(), it.value());
    if (!body.isEmpty() && !headers.contains("Content-Type"))
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml; charset=utf-8"));
    ++requests_;
    QNetworkReply* reply = net_->sendCustomRequest(request, verb, body);
    inFlight_.append(reply);
    connect(reply, &QNetworkReply::finished, this, [=, this, done = std::move(done)] {
        inFlight_.removeOne(reply);
        reply->deleteLater();
        Reply r;
        r.url = url;
        r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        r.body = reply->readAll();
        r.etag = reply->rawHeader("ETag");
        if (r.status == 0)
            r.networkError = reply->errorString().isEmpty() ? QStringLiteral("no answer") : reply->errorString();
        if ((r.status == 301 || r.status == 302 || r.status == 307 || r.status == 308) && redirects < 5) {
            const QUrl target = url.resolved(reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
            // Credentials go only to the same server.
            if (target.isValid() && target.host() == url.host() && target.port() == url.port()
                && (target.scheme() == url.scheme() || target.scheme() == QLatin1String("https"))) {
                sendTo(verb, target, body, headers, done, redirects + 1);
                return;
            }
        }
        done(r);
    });
}

CalDavClient::Multistatus CalDavClient::parseMultistatus(const QByteArray& xml, const QUrl& base)
{
    Multistatus ms;
    QXmlStreamReader x(xml);
    Resource current;
    bool inResponse = false;
    int propstatStatus = 0;
    Resource props;   // the properties of the propstat being read
    QStringList path; // element names from the response down
    auto statusOf = [](const QString& line) {
        const QStringList parts = line.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        return parts.size() >= 2 ? parts.at(1).toInt() : 0;
    };
    // Reads the first href inside the current element.
    auto readHref = [&x]() {
        QString href;
        int depth = 1;
        while (depth > 0 && !x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                ++depth;
                if (x.name() == QLatin1String("href") && href.isEmpty()) {
                    href = x.readElementText(QXmlStreamReader::SkipChildElements);
                    --depth;
                }
            } else if (x.isEndElement()) {
                --depth;
            }
        }
        return href;
    };
    auto childNames = [&x]() {
        QStringList names;
        int depth = 1;
        while (depth > 0 && !x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                ++depth;
                if (depth == 2)
                    names << x.name().toString();
                if (x.name() == QLatin1String("comp"))
                    names << x.attributes().value(QLatin1String("name")).toString().toUpper();
            } else if (x.isEndElement()) {
                --depth;
            }
        }
        return names;
    };
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            const QStringView name = x.name();
            const QStringView ns = x.namespaceUri();
            if (ns == QLatin1String(kDav) && name == QLatin1String("response")) {
                inResponse = true;
                current = Resource();
                continue;
            }
            if (!inResponse) {
                if (ns == QLatin1String(kDav) && name == QLatin1String("sync-token"))
                    ms.syncToken = x.readElementText().trimmed();
                continue;
            }
            if (name == QLatin1String("href") && current.href.isEmpty() && !path.contains(QStringLiteral("propstat"))) {
                current.href = pathOf(base, x.readElementText());
                continue;
            }
            if (name == QLatin1String("propstat")) {
                path << QStringLiteral("propstat");
                props = Resource();
                propstatStatus = 0;
                continue;
            }
            if (name == QLatin1String("status")) {
                const int s = statusOf(x.readElementText());
                if (path.contains(QStringLiteral("propstat")))
                    propstatStatus = s;
                else
                    current.status = s;
                continue;
            }
            if (name == QLatin1String("getetag"))
                props.etag = x.readElementText().trimmed();
            else if (name == QLatin1String("calendar-data") && ns == QLatin1String(kCalDav))
                props.calendarData = x.readElementText().toUtf8();
            else if (name == QLatin1String("displayname"))
                props.displayName = x.readElementText().trimmed();
            else if (name == QLatin1String("resourcetype"))
                props.resourceTypes = childNames();
            else if (name == QLatin1String("supported-calendar-component-set"))
                props.components = childNames();
            else if (name == QLatin1String("current-user-principal"))
                props.principal = pathOf(base, readHref());
            else if (name == QLatin1String("calendar-home-set"))
                props.calendarHome = pathOf(base, readHref());
            else if (name == QLatin1String("sync-token"))
                props.syncToken = x.readElementText().trimmed();
            else if (name == QLatin1String("supported-report-set"))
                props.reports = childNames();
        } else if (x.isEndElement()) {
            const QStringView name = x.name();
            if (name == QLatin1String("propstat") && !path.isEmpty()) {
                path.removeLast();
                if (propstatStatus == 0 || (propstatStatus >= 200 && propstatStatus < 300)) {
                    if (!props.etag.isEmpty())
                        current.etag = props.etag;
                    if (!props.calendarData.isEmpty())
                        current.calendarData = props.calendarData;
                    if (!props.displayName.isEmpty())
                        current.displayName = props.displayName;
                    current.resourceTypes += props.resourceTypes;
                    current.components += props.components;
                    if (!props.principal.isEmpty())
                        current.principal = props.principal;
                    if (!props.calendarHome.isEmpty())
                        current.calendarHome = props.calendarHome;
                    if (!props.syncToken.isEmpty())
                        current.syncToken = props.syncToken;
                    current.reports += props.reports;
                }
            } else if (name == QLatin1String("response") && x.namespaceUri() == QLatin1String(kDav)) {
                inResponse = false;
                ms.resources.append(current);
            }
        }
    }
    return ms;
}

void CalDavClient::discover(const QUrl& server, std::function<void(const Discovery&)> done)
{
    // The typed address itself may be the principal, the home or a calendar; the well-known
    // address comes first, then the address as typed.
    QList<QUrl> candidates;
    QUrl wellKnown = server;
    wellKnown.setPath(QStringLiteral("/.well-known/caldav"));
    candidates << wellKnown;
    if (server.path().isEmpty() || server.path() == QLatin1String("/")) {
        QUrl root = server;
        root.setPath(QStringLiteral("/"));
        candidates << root;
    } else {
        candidates << server;
    }
    findPrincipal(candidates, 0, std::move(done), Discovery());
}

void CalDavClient::findPrincipal(const QList<QUrl>& candidates, int index, std::function<void(const Discovery&)> done,
                                 Discovery failure)
{
    if (index >= candidates.size()) {
        if (failure.error.isEmpty())
            failure.error = QStringLiteral("服务器上找不到 CalDAV 服务");
        done(failure);
        return;
    }
    const QUrl url = candidates.at(index);
    send("PROPFIND", url, propfindBody("<d:current-user-principal/><c:calendar-home-set/><d:resourcetype/>"),
         {{"Depth", "0"}}, [=, this](const Reply& r) {
             Discovery fail = failure;
             if (r.status == 401 || r.status == 403 || r.status == 0) {
                 // Wrong credentials or no server: asking elsewhere would not help.
                 fail.status = r.status;
                 fail.error = reason(r);
                 done(fail);
                 return;
             }
             if (r.status != 207) {
                 fail.status = r.status;
                 fail.error = reason(r);
                 findPrincipal(candidates, index + 1, done, fail);
                 return;
             }
             const Multistatus ms = parseMultistatus(r.body, r.url);
             QString principal, home;
             for (const Resource& res : ms.resources) {
                 if (!res.principal.isEmpty())
                     principal = res.principal;
                 if (!res.calendarHome.isEmpty())
                     home = res.calendarHome;
             }
             if (!home.isEmpty()) {
                 listCalendars(urlOf(r.url, home), done);
                 return;
             }
             if (principal.isEmpty()) {
                 findPrincipal(candidates, index + 1, done, fail);
                 return;
             }
             const QUrl principalUrl = urlOf(r.url, principal);
             send("PROPFIND", principalUrl, propfindBody("<c:calendar-home-set/>"), {{"Depth", "0"}},
                  [=, this](const Reply& pr) {
                      QString homePath;
                      if (pr.status == 207) {
                          for (const Resource& res : parseMultistatus(pr.body, pr.url).resources)
                              if (!res.calendarHome.isEmpty())
                                  homePath = res.calendarHome;
                      }
                      if (homePath.isEmpty()) {
                          Discovery d;
                          d.status = pr.status;
                          d.error = pr.ok() || pr.status == 207 ? QStringLiteral("服务器没有提供日历目录") : reason(pr);
                          done(d);
                          return;
                      }
                      listCalendars(urlOf(pr.url, homePath), done);
                  });
         });
}

void CalDavClient::listCalendars(const QUrl& home, std::function<void(const Discovery&)> done)
{
    send("PROPFIND", home,
         propfindBody("<d:resourcetype/><d:displayname/><c:supported-calendar-component-set/><d:sync-token/>"
                      "<d:supported-report-set/>"),
         {{"Depth", "1"}}, [=](const Reply& r) {
             Discovery d;
             d.home = home;
             d.status = r.status;
             if (r.status != 207) {
                 d.error = reason(r);
                 done(d);
                 return;
             }
             for (const Resource& res : parseMultistatus(r.body, r.url).resources) {
                 if (!res.resourceTypes.contains(QStringLiteral("calendar")))
                     continue;
                 // No component set means every kind of component.
                 if (!res.components.isEmpty() && !res.components.contains(QStringLiteral("VTODO")))
                     continue;
                 Calendar c;
                 c.url = urlOf(r.url, res.href.endsWith(QLatin1Char('/')) ? res.href : res.href + QLatin1Char('/'));
                 c.name = res.displayName.isEmpty() ? res.href.section(QLatin1Char('/'), -2, -2) : res.displayName;
                 c.syncCollection = !res.syncToken.isEmpty() || res.reports.contains(QStringLiteral("sync-collection"));
                 d.calendars.append(c);
             }
             d.ok = true;
             done(d);
         });
}

void CalDavClient::makeCalendar(const QUrl& home, const QString& name,
                                std::function<void(const Reply&, const QUrl&)> done)
{
    QString path = home.path(QUrl::FullyDecoded);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('/');
    const QUrl url = urlOf(home, path);
    const QByteArray body =
        R"(<?xml version="1.0" encoding="utf-8"?>
<c:mkcalendar xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:set><d:prop><d:displayname>)"
        + xmlEscape(name).toUtf8()
        + R"(</d:displayname><c:supported-calendar-component-set><c:comp name="VTODO"/></c:supported-calendar-component-set></d:prop></d:set></c:mkcalendar>)";
    send("MKCALENDAR", url, body, {}, [=](const Reply& r) { done(r, r.ok() ? url : QUrl()); });
}

void CalDavClient::syncCollection(const QUrl& calendar, const QString& token, Callback done)
{
    const QByteArray body =
        R"(<?xml version="1.0" encoding="utf-8"?><d:sync-collection xmlns:d="DAV:"><d:sync-token>)"
        + xmlEscape(token).toUtf8()
        + "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>";
    send("REPORT", calendar, body, {{"Depth", "1"}}, std::move(done));
}

void CalDavClient::listEtags(const QUrl& calendar, Callback done)
{
    send("PROPFIND", calendar, propfindBody("<d:getetag/><d:resourcetype/>"), {{"Depth", "1"}}, std::move(done));
}

void CalDavClient::multiget(const QUrl& calendar, const QStringList& hrefs, Callback done)
{
    QByteArray body =
        R"(<?xml version="1.0" encoding="utf-8"?><c:calendar-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:prop><d:getetag/><c:calendar-data/></d:prop>)";
    for (const QString& href : hrefs)
        body += "<d:href>"
                + xmlEscape(QString::fromLatin1(urlOf(calendar, href).path(QUrl::FullyEncoded).toLatin1())).toUtf8()
                + "</d:href>";
    body += "</c:calendar-multiget>";
    send("REPORT", calendar, body, {{"Depth", "1"}}, std::move(done));
}

void CalDavClient::get(const QUrl& url, Callback done)
{
    send("GET", url, {}, {}, std::move(done));
}

void CalDavClient::put(const QUrl& url, const QByteArray& ics, const QString& etag, Callback done)
{
    QMap<QByteArray, QByteArray> headers{{"Content-Type", "text/calendar; charset=utf-8"}};
    if (etag.isEmpty())
        headers.insert("If-None-Match", "*");
    else
        headers.insert("If-Match", etag.toUtf8());
    send("PUT", url, ics, headers, std::move(done));
}

void CalDavClient::remove(const QUrl& url, const QString& etag, Callback done)
{
    QMap<QByteArray, QByteArray> headers;
    if (!etag.isEmpty())
        headers.insert("If-Match", etag.toUtf8());
    send("DELETE", url, {}, headers, std::move(done));
}

QString CalDavClient::reason(const Reply& r)
{
    switch (r.status) {
    case 0:
        return QStringLiteral("无法连接服务器（%1）").arg(r.networkError);
    case 401:
        return QStringLiteral("用户名或密码不正确");
    case 403:
        return QStringLiteral("服务器拒绝访问");
    case 404:
        return QStringLiteral("服务器上找不到这个地址");
    case 412:
        return QStringLiteral("任务已在别处修改");
    case 507:
        return QStringLiteral("服务器空间不足");
    default:
        return QStringLiteral("服务器回答 %1").arg(r.status);
    }
}
