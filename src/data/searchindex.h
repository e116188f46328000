#pragma once

#include <QString>

// The full-text index of the knowledge articles splits text into overlapping two-character
// pieces ("时间管理" -> 时间, 间管, 管理), with ASCII letters folded to lower case as LIKE does, so
// that any keyword of two or more characters is answered from the index. The splitting is an
// FTS5 tokenizer of our own, "vantorel_bigram", which every SQLite connection of the process
// needs before it touches the index.
namespace SearchIndex {

// Makes the tokenizer known to every connection opened from now on (idempotent, thread-safe).
void registerTokenizer();

// Whether a keyword is long enough for the index (two characters or more).
bool indexable(const QString& keyword);

// The index query for a keyword: every two-character piece of it. The index keeps no positions
// (a third of the size), so it finds the texts holding all the pieces; a LIKE test decides.
QString query(const QString& keyword);

} // namespace SearchIndex
