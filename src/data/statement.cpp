#include "data/statement.h"

#include "data/csv.h"
#include "data/money.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cerrno>
#include <iconv.h>

namespace {

QString atLine(int line, const QString& what)
{
    return QStringLiteral("第 %1 行：%2").arg(line).arg(what);
}

// GB18030 through the C library's converter (Qt's own codecs cover only Unicode forms); bytes
// that are not GB18030 become U+FFFD.
QString fromGb18030(const QByteArray& bytes)
{
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes);
    QByteArray out;
    out.resize(bytes.size() * 2 + 16);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* to = out.data();
    size_t toLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &to, &toLeft) != size_t(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = to - out.data();
            out.resize(out.size() * 2);
            to = out.data() + used;
            toLeft = size_t(out.size() - used);
        } else { // a byte that starts no character, or a character cut at the end
            if (toLeft < 3) {
                const qsizetype used = to - out.data();
                out.resize(out.size() + 64);
                to = out.data() + used;
                toLeft = size_t(out.size() - used);
            }
            memcpy(to, "\xEF\xBF\xBD", 3);
            to += 3;
            toLeft -= 3;
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    out.truncate(to - out.data());
    return QString::fromUtf8(out);
}

QString decodeEntities(QString text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9A-Fa-f]+);"));
    QString out;
    qsizetype at = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(at, m.capturedStart() - at);
        bool ok = false;
        const uint code = m.captured(2).toUInt(&ok, m.captured(1).isEmpty() ? 10 : 16);
        out += ok ? QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1) : m.captured(0);
        at = m.capturedEnd();
    }
    out += text.mid(at);
    out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    out.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    out.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    out.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return out;
}

// OFX days: YYYYMMDD, optionally followed by the time and the zone, which are not needed.
QDate ofxDay(const QString& value)
{
    if (value.size() < 8)
        return {};
    return QDate::fromString(value.left(8), QStringLiteral("yyyyMMdd"));
}

QDate qifDay(const QString& value)
{
    static const QRegularExpression isoForm(QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})$"));
    static const QRegularExpression usForm(QStringLiteral("^(\\d{1,2})[/-](\\d{1,2})\\s*(/|'|-)\\s*(\\d{2}|\\d{4})$"));
    static const QRegularExpression europeanForm(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const QString v = value.trimmed();
    QRegularExpressionMatch m = isoForm.match(v);
    if (m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    m = usForm.match(v);
    if (m.hasMatch()) {
        int year = m.captured(4).toInt();
        if (m.captured(4).size() == 2)
            year += (m.captured(3) == QLatin1String("'") || year < 70) ? 2000 : 1900;
        return QDate(year, m.captured(1).toInt(), m.captured(2).toInt());
    }
    m = europeanForm.match(v);
    if (m.hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    return {};
}

QDate csvDay(const QString& value, const QString& format)
{
    QString v = value.trimmed();
    const qsizetype space = v.indexOf(QLatin1Char(' '));
    if (space > 0)
        v.truncate(space); // a time after the day
    return QDate::fromString(v, format);
}

QChar separatorOf(const QString& text)
{
    const QStringView firstLine =
        QStringView(text).left(text.indexOf(QLatin1Char('\n')) < 0 ? text.size() : text.indexOf(QLatin1Char('\n')));
    const qsizetype commas = firstLine.count(QLatin1Char(','));
    const qsizetype semicolons = firstLine.count(QLatin1Char(';'));
    const qsizetype tabs = firstLine.count(QLatin1Char('\t'));
    if (tabs > commas && tabs >= semicolons)
        return QLatin1Char('\t');
    if (semicolons > commas)
        return QLatin1Char(';');
    return QLatin1Char(',');
}

} // namespace

QString Statement::decode(const QByteArray& bytes, Encoding encoding)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF")) {
        data.remove(0, 3);
        if (encoding == Encoding::Auto)
            encoding = Encoding::Utf8;
    }
    if (encoding == Encoding::Gb18030)
        return fromGb18030(data);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (encoding == Encoding::Auto && utf8.hasError())
        return fromGb18030(data);
    return text;
}

Statement::Format Statement::detect(const QString& text, const QString& fileName)
{
    const QString suffix = fileName.section(QLatin1Char('.'), -1).toLower();
    const QStringView head = QStringView(text).left(4096);
    if (head.contains(QLatin1String("OFXHEADER"), Qt::CaseInsensitive)
        || head.contains(QLatin1String("<OFX>"), Qt::CaseInsensitive) || suffix == QLatin1String("ofx")
        || suffix == QLatin1String("qfx"))
        return Format::Ofx;
    if (head.trimmed().startsWith(QLatin1String("!Type"), Qt::CaseInsensitive)
        || head.trimmed().startsWith(QLatin1String("!Account"), Qt::CaseInsensitive)
        || head.trimmed().startsWith(QLatin1String("!Option"), Qt::CaseInsensitive) || suffix == QLatin1String("qif"))
        return Format::Qif;
    return Format::Csv;
}

std::optional<qint64> Statement::parseAmount(const QString& text, QChar decimal)
{
    QString s;
    s.reserve(text.size());
    bool negative = false;
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.endsWith(QLatin1Char('-'))) {
        negative = !negative;
        t.chop(1);
    }
    const QChar grouping = decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    bool sign = false;
    for (QChar c : std::as_const(t)) {
        if (c.isDigit() && c.unicode() < 128) {
            s += c;
        } else if (c == decimal) {
            s += QLatin1Char('.');
        } else if (c == grouping || c == QLatin1Char(' ') || c == QLatin1Char('\'') || c == QChar(0x00A0)) {
            if (s.contains(QLatin1Char('.')))
                return std::nullopt; // a grouping mark after the decimal separator
        } else if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && s.isEmpty() && !sign) {
            sign = true;
            if (c == QLatin1Char('-'))
                negative = !negative;
        } else if (c == QChar(0x00A5) || c == QChar(0xFFE5) || c == QLatin1Char('$') || c == QChar(0x20AC)
                   || c == QChar(0x5143)) {
            continue; // ¥ ￥ $ € 元
        } else {
            return std::nullopt;
        }
    }
    if (s.isEmpty())
        return std::nullopt;
    const std::optional<qint64> value = Money::parse(s);
    if (!value)
        return std::nullopt;
    return negative ? -*value : *value;
}

Statement::Parsed Statement::parseOfx(const QString& text)
{
    Parsed result;
    std::optional<Entry> current;
    bool hasAmount = false;
    bool sawOfx = false;
    bool closedOfx = false;
    QString pending; // the element whose value comes next
    int line = 1;
    qsizetype at = 0;
    const qsizetype n = text.size();
    auto fail = [&](int where, const QString& what) {
        result.entries.clear();
        result.error = atLine(where, what);
        return result;
    };
    while (at < n) {
        const qsizetype open = text.indexOf(QLatin1Char('<'), at);
        const qsizetype textEnd = open < 0 ? n : open;
        const int valueLine = line;
        for (qsizetype i = at; i < textEnd; ++i)
            line += text[i] == QLatin1Char('\n') ? 1 : 0;
        if (!pending.isEmpty()) {
            const QString value = decodeEntities(text.mid(at, textEnd - at).trimmed());
            if (!value.isEmpty()) {
                if (current) {
                    if (pending == QLatin1String("DTPOSTED")) {
                        current->day = ofxDay(value);
                        if (!current->day.isValid())
                            return fail(valueLine, QStringLiteral("无法识别的日期“%1”").arg(value.left(40)));
                    } else if (pending == QLatin1String("TRNAMT")) {
                        const QChar decimal = value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('.'))
                                                  ? QLatin1Char(',')
                                                  : QLatin1Char('.');
                        const std::optional<qint64> amount = parseAmount(value, decimal);
                        if (!amount)
                            return fail(valueLine, QStringLiteral("金额“%1”不是数字").arg(value.left(40)));
                        current->amount = *amount;
                        hasAmount = true;
                    } else if (pending == QLatin1String("FITID")) {
                        current->fitid = value;
                    } else if (pending == QLatin1String("NAME")) {
                        current->payee = value;
                    } else if (pending == QLatin1String("MEMO")) {
                        current->memo = value;
                    }
                } else if (pending == QLatin1String("ACCTID") && result.accountNumber.isEmpty()) {
                    result.accountNumber = value;
                }
            }
            pending.clear();
        }
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QLatin1Char('>'), open);
        if (close < 0)
            return fail(line, QStringLiteral("文件不完整，标记没有结束"));
        const QString tag = text.mid(open + 1, close - open - 1).trimmed();
        for (qsizetype i = open; i < close; ++i)
            line += text[i] == QLatin1Char('\n') ? 1 : 0;
        at = close + 1;
        if (tag.startsWith(QLatin1Char('?')) || tag.startsWith(QLatin1Char('!')))
            continue;
        if (tag.startsWith(QLatin1Char('/'))) {
            const QString name = tag.mid(1).trimmed().toUpper();
            if (name == QLatin1String("STMTTRN")) {
                if (!current)
                    return fail(line, QStringLiteral("多余的 </STMTTRN>"));
                if (!current->day.isValid())
                    return fail(current->line, QStringLiteral("交易缺少日期（DTPOSTED）"));
                if (!hasAmount)
                    return fail(current->line, QStringLiteral("交易缺少金额（TRNAMT）"));
                result.entries << *current;
                current.reset();
            } else if (name == QLatin1String("OFX")) {
                closedOfx = true;
            }
            continue;
        }
        const QString name = tag.section(QLatin1Char(' '), 0, 0).toUpper();
        if (name == QLatin1String("OFX")) {
            sawOfx = true;
        } else if (name == QLatin1String("STMTTRN")) {
            if (current)
                return fail(current->line, QStringLiteral("交易没有结束（缺少 </STMTTRN>）"));
            current = Entry{};
            current->line = line;
            hasAmount = false;
        }
        pending = tag.endsWith(QLatin1Char('/')) ? QString() : name;
    }
    if (!sawOfx)
        return fail(1, QStringLiteral("不是 OFX 文件（没有 <OFX>）"));
    if (current)
        return fail(current->line, QStringLiteral("文件不完整，交易没有结束"));
    if (!closedOfx)
        return fail(line, QStringLiteral("文件不完整（缺少 </OFX>）"));
    return result;
}

Statement::Parsed Statement::parseQif(const QString& text, QChar decimal)
{
    Parsed result;
    const QStringList lines = text.split(QLatin1Char('\n'));
    std::optional<Entry> current;
    bool hasAmount = false;
    bool skipping = false; // inside a list that is not transactions (categories, accounts)
    bool sawType = false;
    auto fail = [&](int where, const QString& what) {
        result.entries.clear();
        result.error = atLine(where, what);
        return result;
    };
    auto finish = [&]() -> bool {
        if (!current)
            return true;
        if (!current->day.isValid() || !hasAmount)
            return false;
        result.entries << *current;
        current.reset();
        hasAmount = false;
        return true;
    };
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        QString l = lines[i];
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
        if (l.trimmed().isEmpty())
            continue;
        const QChar code = l[0];
        const QString value = l.mid(1).trimmed();
        if (code == QLatin1Char('!')) {
            if (!finish())
                return fail(current->line, QStringLiteral("交易缺少日期或金额"));
            const QString kind = value.section(QLatin1Char(':'), 1).trimmed().toLower();
            if (value.startsWith(QLatin1String("Type"), Qt::CaseInsensitive)) {
                sawType = true;
                skipping =
                    !(kind == QLatin1String("bank") || kind == QLatin1String("cash") || kind == QLatin1String("ccard")
                      || kind == QLatin1String("oth a") || kind == QLatin1String("oth l"));
            } else if (value.startsWith(QLatin1String("Account"), Qt::CaseInsensitive)) {
                skipping = true;
            } else if (value.startsWith(QLatin1String("Option"), Qt::CaseInsensitive)
                       || value.startsWith(QLatin1String("Clear"), Qt::CaseInsensitive)) {
                continue;
            } else {
                return fail(lineNo, QStringLiteral("无法识别的一行“%1”").arg(l.left(40)));
            }
            continue;
        }
        if (!sawType)
            return fail(lineNo, QStringLiteral("不是 QIF 文件（缺少 !Type 行）"));
        if (code == QLatin1Char('^')) {
            if (skipping) {
                // An account header ends at its "^"; the transactions of a "!Type" line follow.
                continue;
            }
            if (!finish())
                return fail(current->line, QStringLiteral("交易缺少日期或金额"));
            continue;
        }
        if (skipping)
            continue;
        if (!current) {
            current = Entry{};
            current->line = lineNo;
        }
        switch (code.unicode()) {
        case 'D':
            current->day = qifDay(value);
            if (!current->day.isValid())
                return fail(lineNo, QStringLiteral("无法识别的日期“%1”").arg(value.left(40)));
            break;
        case 'T':
        case 'U': {
            if (code == QLatin1Char('U') && hasAmount)
                break;
            const std::optional<qint64> amount = parseAmount(value, decimal);
            if (!amount)
                return fail(lineNo, QStringLiteral("金额“%1”不是数字").arg(value.left(40)));
            current->amount = *amount;
            hasAmount = true;
            break;
        }
        case 'P':
            current->payee = value;
            break;
        case 'M':
            current->memo = value;
            break;
        default:
            break; // number, category, cleared mark, address, splits: not needed
        }
    }
    if (!finish())
        return fail(current->line, QStringLiteral("文件不完整，交易缺少日期或金额"));
    if (!sawType)
        return fail(1, QStringLiteral("不是 QIF 文件（缺少 !Type 行）"));
    return result;
}

QString Statement::CsvMapping::toText() const
{
    return QStringLiteral("day=%1;amount=%2;debit=%3;credit=%4;payee=%5;memo=%6;header=%7;decimal=%8;format=%9")
        .arg(day)
        .arg(amount)
        .arg(debit)
        .arg(credit)
        .arg(payee)
        .arg(memo)
        .arg(header ? 1 : 0)
        .arg(decimal)
        .arg(dayFormat);
}

Statement::CsvMapping Statement::CsvMapping::fromText(const QString& text)
{
    CsvMapping m;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const QString key = part.section(QLatin1Char('='), 0, 0);
        const QString value = part.section(QLatin1Char('='), 1);
        const int number = value.toInt();
        if (key == QLatin1String("day"))
            m.day = number;
        else if (key == QLatin1String("amount"))
            m.amount = number;
        else if (key == QLatin1String("debit"))
            m.debit = number;
        else if (key == QLatin1String("credit"))
            m.credit = number;
        else if (key == QLatin1String("payee"))
            m.payee = number;
        else if (key == QLatin1String("memo"))
            m.memo = number;
        else if (key == QLatin1String("header"))
            m.header = number != 0;
        else if (key == QLatin1String("decimal") && value.size() == 1)
            m.decimal = value[0];
        else if (key == QLatin1String("format") && dayFormats().contains(value))
            m.dayFormat = value;
    }
    return m;
}

QStringList Statement::dayFormats()
{
    return {QStringLiteral("yyyy-M-d"), QStringLiteral("yyyy/M/d"), QStringLiteral("yyyyMMdd"),
            QStringLiteral("yyyy.M.d"), QStringLiteral("M/d/yyyy"), QStringLiteral("d/M/yyyy"),
            QStringLiteral("d.M.yyyy")};
}

Statement::CsvMapping Statement::guessMapping(const QStringList& header, const QStringList& firstRow)
{
    CsvMapping m;
    auto has = [](const QString& name, std::initializer_list<const char*> words) {
        for (const char* w : words) {
            if (name.contains(QString::fromUtf8(w), Qt::CaseInsensitive))
                return true;
        }
        return false;
    };
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        if (m.day < 0 && has(name, {"日期", "date", "交易日", "记账日"}))
            m.day = i;
        else if (m.debit < 0 && has(name, {"支出", "借方", "debit", "withdrawal"}))
            m.debit = i;
        else if (m.credit < 0 && has(name, {"收入", "存入", "贷方", "credit", "deposit"}))
            m.credit = i;
        else if (m.amount < 0 && has(name, {"金额", "amount", "发生额"}))
            m.amount = i;
        else if (m.payee < 0 && has(name, {"对方", "户名", "商户", "payee", "name", "摘要", "description"}))
            m.payee = i;
        else if (m.memo < 0 && has(name, {"备注", "用途", "附言", "memo", "note"}))
            m.memo = i;
    }
    if (m.amount >= 0 && (m.debit >= 0 || m.credit >= 0)) {
        m.debit = -1;
        m.credit = -1;
    }
    if (m.day >= 0 && m.day < firstRow.size()) {
        for (const QString& f : dayFormats()) {
            if (csvDay(firstRow[m.day], f).isValid()) {
                m.dayFormat = f;
                break;
            }
        }
    }
    const int amountColumn = m.amount >= 0 ? m.amount : m.debit >= 0 ? m.debit : m.credit;
    if (amountColumn >= 0 && amountColumn < firstRow.size()) {
        const QString a = firstRow[amountColumn];
        const qsizetype comma = a.lastIndexOf(QLatin1Char(','));
        const qsizetype dot = a.lastIndexOf(QLatin1Char('.'));
        if (comma > dot && a.size() - comma == 3)
            m.decimal = QLatin1Char(',');
    }
    return m;
}

QList<QStringList> Statement::csvRows(const QString& text)
{
    const Csv::Parsed parsed = Csv::parse(text, separatorOf(text));
    if (parsed.errorLine > 0)
        return {};
    QList<QStringList> rows;
    rows.reserve(parsed.rows.size());
    for (const Csv::Row& r : parsed.rows)
        rows << r.fields;
    return rows;
}

Statement::Parsed Statement::parseCsv(const QString& text, const CsvMapping& m)
{
    Parsed result;
    const Csv::Parsed parsed = Csv::parse(text, separatorOf(text));
    if (parsed.errorLine > 0) {
        result.error = atLine(parsed.errorLine, QStringLiteral("引号没有结束"));
        return result;
    }
    if (m.day < 0 || (m.amount < 0 && m.debit < 0 && m.credit < 0)) {
        result.error = atLine(1, QStringLiteral("找不到日期列和金额列，请选择各列的内容"));
        return result;
    }
    const int needed = std::max({m.day, m.amount, m.debit, m.credit, m.payee, m.memo}) + 1;
    auto fail = [&](int where, const QString& what) {
        result.entries.clear();
        result.error = atLine(where, what);
        return result;
    };
    for (qsizetype i = m.header ? 1 : 0; i < parsed.rows.size(); ++i) {
        const Csv::Row& row = parsed.rows[i];
        bool blank = true;
        for (const QString& f : row.fields)
            blank = blank && f.trimmed().isEmpty();
        if (blank)
            continue;
        if (row.fields.size() < needed)
            return fail(row.line, QStringLiteral("只有 %1 列，缺少第 %2 列").arg(row.fields.size()).arg(needed));
        Entry e;
        e.line = row.line;
        e.day = csvDay(row.fields[m.day], m.dayFormat);
        if (!e.day.isValid())
            return fail(row.line,
                        QStringLiteral("日期“%1”不是 %2 的格式").arg(row.fields[m.day].left(40), m.dayFormat));
        auto amountOf = [&](int column, std::optional<qint64>* out) {
            const QString t = row.fields[column].trimmed();
            if (t.isEmpty()) {
                *out = std::nullopt;
                return true;
            }
            *out = parseAmount(t, m.decimal);
            return out->has_value();
        };
        if (m.amount >= 0) {
            std::optional<qint64> a;
            if (!amountOf(m.amount, &a) || !a)
                return fail(row.line, QStringLiteral("金额“%1”不是数字").arg(row.fields[m.amount].left(40)));
            e.amount = *a;
        } else {
            std::optional<qint64> debit;
            std::optional<qint64> credit;
            if (m.debit >= 0 && !amountOf(m.debit, &debit))
                return fail(row.line, QStringLiteral("金额“%1”不是数字").arg(row.fields[m.debit].left(40)));
            if (m.credit >= 0 && !amountOf(m.credit, &credit))
                return fail(row.line, QStringLiteral("金额“%1”不是数字").arg(row.fields[m.credit].left(40)));
            if (!debit && !credit)
                return fail(row.line, QStringLiteral("没有金额"));
            e.amount = credit.value_or(0) - (debit ? (*debit < 0 ? -*debit : *debit) : 0);
        }
        if (m.payee >= 0)
            e.payee = row.fields[m.payee].trimmed();
        if (m.memo >= 0)
            e.memo = row.fields[m.memo].trimmed();
        result.entries << e;
    }
    return result;
}

Statement::Parsed Statement::parse(const QString& text, Format format, const CsvMapping& mapping)
{
    switch (format) {
    case Format::Ofx:
        return parseOfx(text);
    case Format::Qif:
        return parseQif(text, mapping.decimal);
    case Format::Csv:
        break;
    }
    return parseCsv(text, mapping);
}
