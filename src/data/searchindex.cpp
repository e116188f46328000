#include "data/searchindex.h"

#include <QStringList>
#include <algorithm>
#include <mutex>
#include <sqlite3.h>

namespace {

// The length of the UTF-8 sequence a byte starts (1 for a stray byte, so every byte is read).
int sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF7)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

int tokenizerCreate(void*, const char**, int, Fts5Tokenizer** out)
{
    static int instance = 0; // the tokenizer keeps no state
    *out = reinterpret_cast<Fts5Tokenizer*>(&instance);
    return SQLITE_OK;
}

void tokenizerDelete(Fts5Tokenizer*)
{}

// Every pair of neighbouring characters is one token, its ASCII letters in lower case.
int tokenize(Fts5Tokenizer*, void* context, int, const char* text, int size,
             int (*token)(void*, int, const char*, int, int, int))
{
    char piece[8];
    int previous = -1;
    for (int at = 0; at < size;) {
        const int length = std::min(sequenceLength(static_cast<unsigned char>(text[at])), size - at);
        if (previous >= 0) {
            const int end = at + length;
            int n = 0;
            for (int i = previous; i < end; ++i) {
                const char c = text[i];
                piece[n++] = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
            }
            if (const int rc = token(context, 0, piece, n, previous, end); rc != SQLITE_OK)
                return rc;
        }
        previous = at;
        at += length;
    }
    return SQLITE_OK;
}

int registerOn(sqlite3* db, const char**, const sqlite3_api_routines*)
{
    fts5_api* api = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &statement, nullptr) != SQLITE_OK)
        return SQLITE_OK; // a library without FTS5: searches fall back to LIKE scans
    sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (api) {
        static fts5_tokenizer tokenizer = {tokenizerCreate, tokenizerDelete, tokenize};
        api->xCreateTokenizer(api, "vantorel_bigram", nullptr, &tokenizer, nullptr);
    }
    return SQLITE_OK;
}

} // namespace

void SearchIndex::registerTokenizer()
{
    static std::once_flag once;
    std::call_once(once, [] { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&registerOn)); });
}

bool SearchIndex::indexable(const QString& keyword)
{
    return keyword.toUcs4().size() >= 2;
}

QString SearchIndex::query(const QString& keyword)
{
    const QList<uint> chars = keyword.toUcs4();
    QStringList pieces;
    for (qsizetype i = 0; i + 2 <= chars.size(); ++i) {
        QString piece = QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData() + i), 2);
        piece.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        piece = QLatin1Char('"') + piece + QLatin1Char('"');
        if (!pieces.contains(piece))
            pieces << piece;
    }
    return pieces.join(QStringLiteral(" AND "));
}
