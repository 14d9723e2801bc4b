// A small reader of rich text (RTF) into a QTextDocument, for the help text.
//
// It understands groups, paragraphs (\par, \pard, alignment, indents, spacing, tab stops), line
// breaks and tabs, bold, italic, underline, strike-through, capitals and small capitals, super- and
// subscript, hidden text, font sizes, the font table (family names, kinds and character sets), the
// colour table with \cf and \highlight / \cb, \'hh characters in the current font's code page
// (its \fcharset or \cpg, else the document's \ansicpg, \mac, \pc or \pca; characters of several
// bytes are put together across escapes), \uN characters with their \ucN fallbacks, \bin data,
// and the common special characters (\bullet, quotes, dashes, spaces). Bullets and numbers of
// lists appear as the plain text that the file carries for them (\pntext, \listtext). Tables come
// out as tab-separated lines. Fields show their result; a SYMBOL field without one shows the
// character it names. Footnote marks show the footnote's number; footnotes themselves are not
// shown. Destinations it does not show (\*, style sheet, information, pictures, headers and
// footers, list tables, field instructions, nested-table fallbacks, TextEdit attachments ...) are
// skipped; unknown control words are ignored. Malformed or truncated input never fails: the reader
// shows what it could read. The document is built in one edit block, so loading takes time in
// proportion to the text.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace tally {

// True when the bytes start, after a UTF-8 byte-order mark and blanks, with "{\rtf".
bool looksLikeRtf(const QByteArray& data);

// Replaces the document's content with the rich text read from `data`.
void readRtf(const QByteArray& data, QTextDocument* document);

// Replaces the document's content with `data` as plain text (UTF-8 when the bytes are valid UTF-8,
// else Windows-1252; a leading UTF-8 byte-order mark is dropped).
void readPlainText(const QByteArray& data, QTextDocument* document);

} // namespace tally
