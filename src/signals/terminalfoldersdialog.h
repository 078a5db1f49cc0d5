#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class SettingsStore;

// "Папки обмена с Bravik-PRO" ("Form6"): the five terminal folders signals are exported to.
// Each can be typed, picked in the built-in folder browser or cleared; OK stores all five as
// they stand, Cancel and the close button store nothing.
class TerminalFoldersDialog final : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kFolderCount = 5;

    explicit TerminalFoldersDialog(SettingsStore &settings, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TerminalFoldersDialog)

    bool isBrowsing() const;
    // The browser's current folder.
    QString browsedFolder() const;
    // Points the browser at a folder, as a click in its tree would.
    void browseTo(const QString &folder);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void build();
    void enterBrowseMode(int folder);
    void leaveBrowseMode();
    void choose(); // "OK" or "Выбрать папку"
    void goBack(); // "Отмена"
    void showDrive(const QString &drive);
    static QString driveOf(const QString &folder);

    SettingsStore &m_settings;
    std::array<QLineEdit *, kFolderCount> m_paths{};
    QPushButton *m_okButton = nullptr;
    QLabel *m_box = nullptr; // number of the folder being browsed
    QComboBox *m_drives = nullptr;
    QTreeView *m_tree = nullptr;
    QFileSystemModel *m_model = nullptr;
    // The browser keeps the folder it was pointed at in sight while the folders around it are
    // still being read, until the user takes over.
    bool m_keepCurrentInSight = false;
};
