#include "documents/documentset.h"

bool DocumentSet::insert(const QString &path, const Document &document)
{
    const auto found = m_documents.constFind(path);
    if (found != m_documents.constEnd() && *found == document)
        return false;
    m_documents.insert(path, document);
    return true;
}

const Document *DocumentSet::find(const QString &path) const
{
    const auto found = m_documents.constFind(path);
    return found == m_documents.constEnd() ? nullptr : &*found;
}

QStringList DocumentSet::paths() const
{
    QStringList paths = m_documents.keys();
    paths.sort();
    return paths;
}

namespace documentpaths {

QString articlePage(const char *listPath, int number)
{
    const QString list = QLatin1String(listPath);
    return list.left(list.lastIndexOf(QLatin1Char('/')) + 1) + QString::number(number) +
           QStringLiteral(".html");
}

} // namespace documentpaths
