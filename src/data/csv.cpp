#include "data/csv.h"

#include "data/privatefile.h"

QString Csv::field(const QString& text, QChar separator)
{
    bool quote = false;
    for (QChar c : text) {
        if (c == separator || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            quote = true;
            break;
        }
    }
    if (!quote)
        return text;
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            out += QLatin1Char('"');
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

QString Csv::row(const QStringList& fields, QChar separator)
{
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += separator;
        out += field(fields[i], separator);
    }
    out += QStringLiteral("\r\n");
    return out;
}

QByteArray Csv::encode(const QList<QStringList>& rows, QChar separator)
{
    QString text;
    for (const QStringList& r : rows)
        text += row(r, separator);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void Csv::write(const QString& path, const QList<QStringList>& rows)
{
    PrivateFile::write(path, encode(rows));
}

Csv::Parsed Csv::parse(QStringView text, QChar separator)
{
    Parsed result;
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        Row current;
        current.line = line;
        QString value;
        bool rowEnded = false;
        while (!rowEnded) {
            value.clear();
            if (i < n && text[i] == QLatin1Char('"')) {
                const int opened = line;
                ++i;
                bool closed = false;
                while (i < n) {
                    const QChar c = text[i];
                    if (c == QLatin1Char('"')) {
                        if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                            value += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == QLatin1Char('\n')
                        || (c == QLatin1Char('\r') && !(i + 1 < n && text[i + 1] == QLatin1Char('\n'))))
                        ++line;
                    value += c;
                    ++i;
                }
                if (!closed) {
                    result.errorLine = opened;
                    return result;
                }
                // Text after the closing quote up to the separator is kept as written.
                while (i < n && text[i] != separator && text[i] != QLatin1Char('\n') && text[i] != QLatin1Char('\r'))
                    value += text[i++];
            } else {
                while (i < n && text[i] != separator && text[i] != QLatin1Char('\n') && text[i] != QLatin1Char('\r'))
                    value += text[i++];
            }
            current.fields << value;
            if (i >= n) {
                rowEnded = true;
            } else if (text[i] == separator) {
                ++i;
            } else {
                if (text[i] == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                    ++i;
                ++i;
                ++line;
                rowEnded = true;
            }
        }
        const bool blank = current.fields.size() == 1 && current.fields.first().isEmpty();
        if (!blank)
            result.rows << current;
    }
    return result;
}
