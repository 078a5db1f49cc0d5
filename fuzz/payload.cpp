// The payload extraction of every server document. Any body at all must be read without harm;
// and whatever text the server publishes, the program must read back exactly, but for the
// characters XML cannot carry, which the server drops.
#include "fuzzinput.h"

#include "documents/xmldocument.h"
#include "market/serverdocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray body = fuzzinput::bytes(data, size);
    serverDocumentPayload(body);

    const QString text = QString::fromUtf8(body);
    const std::optional<QString> readBack = serverDocumentPayload(dataDocument(text));
    FUZZ_CHECK(readBack.has_value());
    FUZZ_CHECK(*readBack == fuzzinput::carriedByXml(text));
    return 0;
}
