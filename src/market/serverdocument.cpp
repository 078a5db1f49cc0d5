#include "market/serverdocument.h"

#include <QXmlStreamReader>

std::optional<QString> serverDocumentPayload(const QByteArray &body)
{
    QXmlStreamReader xml(body);
    QString payload;
    int dataDepth = 0; // > 0 while inside the first "data" element
    bool dataFound = false;
    bool sawRoot = false;

    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            sawRoot = true;
            if (dataDepth > 0)
                ++dataDepth;
            else if (!dataFound && xml.name() == QLatin1String("data")) {
                dataFound = true;
                dataDepth = 1;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (dataDepth > 0)
                --dataDepth;
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            if (dataDepth > 0)
                payload += xml.text();
            break;
        default:
            break;
        }
    }
    // The whole document has to be well-formed, not just the part up to "data".
    if (xml.hasError() || !sawRoot)
        return std::nullopt;
    return payload;
}
