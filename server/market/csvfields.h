#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

// Fields of one line of a CSV file: separated by `separator`; a field in double quotes may hold
// the separator, and "" inside it stands for one quote. Fields are trimmed.
QStringList csvFields(QStringView line, QChar separator = QLatin1Char(','));

// The separator a line uses: "," when it holds one, else a tab when it holds one, else ";".
QChar csvSeparator(QStringView line);

// Joins a date and a time given as two fields ("2024.05.14", "10:06") into the first field, as
// terminals export them; other fields stay as they are.
void joinDateAndTime(QStringList &fields);

// A price field: a positive number with "." as decimal point; nothing for any other text.
std::optional<double> positivePrice(QStringView field);

// A finite number written with "." as the decimal point ("62000.01", "-1.5", "1e-5"); nothing for
// any other text. Quick, as cache files hold hundreds of thousands of them.
std::optional<double> decimalNumber(QStringView text);

// "<file>:<line>: <what>", the form of every complaint about an input file.
QString fileLineError(const QString &path, int lineNumber, const QString &what);

// Reads the content of a CSV file of records that start with a GMT time: blank lines are skipped,
// a first line that does not start with a digit is a header, and a date and a time given as two
// fields ("2024.05.14,10:06") are joined into the first field. `record` gets each line's fields and
// returns an empty text or what is wrong with them. Returns an empty text when every line was
// taken, otherwise the first complaint, naming the file (`path`) and the line.
QString parseTimedCsv(const QString &path, const QByteArray &content,
                      const std::function<QString(const QStringList &fields)> &record);

// The whole content of a file, or nothing with the complaint in `error`.
std::optional<QByteArray> readInputFile(const QString &path, QString *error);
