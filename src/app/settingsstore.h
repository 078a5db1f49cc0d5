#pragma once

#include <QString>

#include <memory>
#include <optional>

class QSettings;

// The per-user store of every persistent choice: application "Quentara 1.5", sections
// "Settings" and "InstrumentsChecked", every value text. A write is on disk when write()
// returns; a missing key reads as the caller's default and no read writes a default back.
class SettingsStore final
{
public:
    // The platform's store: the registry key earlier installations used on Windows, the INI
    // file "$XDG_CONFIG_HOME/Quentara/Quentara 1.5.ini" elsewhere.
    SettingsStore();
    // An INI file of the caller's choosing (--settings, tests).
    explicit SettingsStore(const QString &iniFile);
    ~SettingsStore();
    Q_DISABLE_COPY_MOVE(SettingsStore)

    QString read(const QString &section, const QString &key,
                 const QString &defaultValue = {}) const;
    void write(const QString &section, const QString &key, const QString &value);

    // Holds back the disk writes of a run of write() calls (shutdown stores 63 flags) until
    // the outermost batch ends; the file is still replaced in one piece.
    class Batch final
    {
    public:
        explicit Batch(SettingsStore &store);
        ~Batch();
        Q_DISABLE_COPY_MOVE(Batch)

    private:
        SettingsStore &m_store;
    };

    // Where the values live, for messages and documentation.
    QString location() const;

    // Typed access to section "Settings" in the stored forms. A stored value that cannot be
    // used (not a boolean, not a number, out of range) reads as the default.
    bool readBool(const char *key, bool defaultValue) const;
    void writeBool(const char *key, bool value);
    int readNumber(const char *key, int defaultValue, int min, int max) const;
    // The same, but nullopt for a stored value that cannot be used (a missing key still reads
    // as the default), for readers that leave things as they are then.
    std::optional<int> readUsableNumber(const char *key, int defaultValue, int min, int max) const;
    void writeNumber(const char *key, int value);
    QString readText(const char *key, const QString &defaultValue = {}) const;
    void writeText(const char *key, const QString &value);
    // Flags are "1" / "0" and read as the number 1.
    bool readFlag(const char *key) const;
    void writeFlag(const char *key, bool value);

    // Terminal folders 1-5 for signal export ("LogPath", "LogPath2" .. "LogPath5").
    static QString terminalFolderKey(int folder);
    QString terminalFolder(int folder) const;

    // Section "InstrumentsChecked": one key per navigator index 0-62.
    bool isFirstRun() const; // key "1" missing or empty
    bool readEnabled(int index) const;
    void writeEnabled(int index, bool enabled);
    void writeFirstRunEnabled(int index);

private:
    void sync();

    std::unique_ptr<QSettings> m_settings;
    int m_batchDepth = 0;
};
