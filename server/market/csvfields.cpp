#include "market/csvfields.h"

#include <QDir>
#include <QFile>

#include <charconv>
#include <cmath>

QStringList csvFields(QStringView line, QChar separator)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == separator) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

QChar csvSeparator(QStringView line)
{
    if (line.contains(QLatin1Char(',')))
        return QLatin1Char(',');
    if (line.contains(QLatin1Char('\t')))
        return QLatin1Char('\t');
    return QLatin1Char(';');
}

void joinDateAndTime(QStringList &fields)
{
    const bool timeApart = fields.size() >= 2 && (fields[1].size() == 5 || fields[1].size() == 8) &&
                           fields[1][2] == QLatin1Char(':');
    if (timeApart) {
        fields[0] += QLatin1Char(' ') + fields[1];
        fields.removeAt(1);
    }
}

std::optional<double> positivePrice(QStringView field)
{
    const std::optional<double> value = decimalNumber(field);
    if (!value || *value <= 0)
        return std::nullopt;
    return value;
}

QString fileLineError(const QString &path, int lineNumber, const QString &what)
{
    return QStringLiteral("%1:%2: %3")
        .arg(QDir::toNativeSeparators(path))
        .arg(lineNumber)
        .arg(what);
}

QString parseTimedCsv(const QString &path, const QByteArray &content,
                      const std::function<QString(const QStringList &fields)> &record)
{
    int lineNumber = 0;
    for (qsizetype start = 0; start < content.size();) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        const QString line = QString::fromUtf8(content.sliced(start, end - start)).trimmed();
        start = end + 1;
        ++lineNumber;
        if (line.isEmpty() || (lineNumber == 1 && !line[0].isDigit()))
            continue;
        QStringList fields = csvFields(line, csvSeparator(line));
        joinDateAndTime(fields);
        const QString complaint = record(fields);
        if (!complaint.isEmpty())
            return fileLineError(path, lineNumber, complaint);
    }
    return QString();
}

std::optional<double> decimalNumber(QStringView text)
{
    if (text.startsWith(QLatin1Char('+')))
        text = text.mid(1);
    constexpr qsizetype kLongest = 64;
    if (text.isEmpty() || text.size() > kLongest)
        return std::nullopt;
    char bytes[kLongest];
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0x7F)
            return std::nullopt;
        bytes[i] = char(c);
    }
    double value = 0;
    const char *end = bytes + text.size();
    const std::from_chars_result read = std::from_chars(bytes, end, value);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<QByteArray> readInputFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot read the file: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}
