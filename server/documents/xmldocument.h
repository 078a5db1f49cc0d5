#pragma once

#include <QByteArray>
#include <QString>

// Text made safe for XML content and attributes: &, <, >, " and ' escaped, a carriage return
// written as a character reference so that readers keep it, and the characters XML 1.0 cannot
// carry at all (controls other than tab, line feed and carriage return, U+FFFE and U+FFFF)
// dropped.
QString xmlEscaped(const QString &text);

// A server document: an XML document whose "data" element holds the payload, line feeds kept.
QByteArray dataDocument(const QString &payload);
