#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The payload of a server document: the text of the first element named "data" in document
// order, wherever it sits, with the text of all its descendants concatenated and line feeds
// kept. nullopt when the body is not a well-formed XML document; an empty text when it is
// well-formed but has no "data" element.
std::optional<QString> serverDocumentPayload(const QByteArray &body);
