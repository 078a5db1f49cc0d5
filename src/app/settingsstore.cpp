#include "app/settingsstore.h"

#include "app/settingskeys.h"
#include "app/storedforms.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {

std::unique_ptr<QSettings> platformSettings()
{
#ifdef Q_OS_WIN
    // The key the program has always used, so stores of earlier installations stay readable.
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
            QLatin1String(settingskeys::kApplication),
        QSettings::NativeFormat);
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/Quentara");
    return std::make_unique<QSettings>(folder + QLatin1Char('/') +
                                           QLatin1String(settingskeys::kApplication) +
                                           QStringLiteral(".ini"),
                                       QSettings::IniFormat);
#endif
}

QString keyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(platformSettings())
{}

SettingsStore::SettingsStore(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    const QVariant value = m_settings->value(keyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited INI value with an unquoted comma reads back as a list; it is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void SettingsStore::write(const QString &section, const QString &key, const QString &value)
{
    m_settings->setValue(keyPath(section, key), value);
    if (m_batchDepth == 0)
        sync();
}

void SettingsStore::sync()
{
    // QSettings replaces the file through a temporary file and a rename, so a crash mid-write
    // leaves the previous file intact.
    m_settings->sync();
}

SettingsStore::Batch::Batch(SettingsStore &store)
    : m_store(store)
{
    ++m_store.m_batchDepth;
}

SettingsStore::Batch::~Batch()
{
    if (--m_store.m_batchDepth == 0)
        m_store.sync();
}

QString SettingsStore::location() const
{
    return m_settings->fileName();
}

bool SettingsStore::readBool(const char *key, bool defaultValue) const
{
    return storedforms::parseBool(readText(key)).value_or(defaultValue);
}

void SettingsStore::writeBool(const char *key, bool value)
{
    writeText(key, storedforms::boolText(value));
}

int SettingsStore::readNumber(const char *key, int defaultValue, int min, int max) const
{
    return readUsableNumber(key, defaultValue, min, max).value_or(defaultValue);
}

std::optional<int> SettingsStore::readUsableNumber(const char *key, int defaultValue, int min,
                                                   int max) const
{
    const std::optional<int> number =
        storedforms::parseNumber(readText(key, storedforms::numberText(defaultValue)));
    if (!number || *number < min || *number > max)
        return std::nullopt;
    return number;
}

void SettingsStore::writeNumber(const char *key, int value)
{
    writeText(key, storedforms::numberText(value));
}

QString SettingsStore::readText(const char *key, const QString &defaultValue) const
{
    return read(QLatin1String(settingskeys::kSettings), QLatin1String(key), defaultValue);
}

void SettingsStore::writeText(const char *key, const QString &value)
{
    write(QLatin1String(settingskeys::kSettings), QLatin1String(key), value);
}

bool SettingsStore::readFlag(const char *key) const
{
    return storedforms::parseNumber(readText(key)) == 1;
}

void SettingsStore::writeFlag(const char *key, bool value)
{
    writeText(key, storedforms::flagText(value));
}

QString SettingsStore::terminalFolderKey(int folder)
{
    const QString base = QLatin1String(settingskeys::kLogPath);
    return folder == 1 ? base : base + QString::number(folder);
}

QString SettingsStore::terminalFolder(int folder) const
{
    return read(QLatin1String(settingskeys::kSettings), terminalFolderKey(folder));
}

bool SettingsStore::isFirstRun() const
{
    return read(QLatin1String(settingskeys::kInstrumentsChecked), QStringLiteral("1")).isEmpty();
}

bool SettingsStore::readEnabled(int index) const
{
    return storedforms::isEnabled(read(QLatin1String(settingskeys::kInstrumentsChecked),
                                       QString::number(index), QStringLiteral("0")));
}

void SettingsStore::writeEnabled(int index, bool enabled)
{
    write(QLatin1String(settingskeys::kInstrumentsChecked), QString::number(index),
          storedforms::enabledText(enabled));
}

void SettingsStore::writeFirstRunEnabled(int index)
{
    write(QLatin1String(settingskeys::kInstrumentsChecked), QString::number(index),
          QLatin1String(storedforms::kEnabledFirstRun));
}
