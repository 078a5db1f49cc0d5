#include "market/instrumentrecord.h"

InstrumentRecord::InstrumentRecord(const QString &text)
{
    // An empty text has no lines at all, not one empty line.
    if (!text.isEmpty())
        m_lines = QStringView(text).split(u'\n');
}

std::optional<QStringView> InstrumentRecord::line(int line) const
{
    if (line < 0 || line >= lineCount())
        return std::nullopt;
    return m_lines.at(line);
}

std::optional<QStringView> InstrumentRecord::field(int line, int field) const
{
    const std::optional<QStringView> text = this->line(line);
    if (!text)
        return std::nullopt;
    qsizetype start = 0;
    for (int skipped = 0; skipped < field; ++skipped) {
        const qsizetype separator = text->indexOf(u';', start);
        if (separator < 0)
            return std::nullopt;
        start = separator + 1;
    }
    const qsizetype end = text->indexOf(u';', start);
    return text->sliced(start, (end < 0 ? text->size() : end) - start);
}
