#include "signals/terminalfoldersdialog.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace {

constexpr int kClientWidth = 6255;
constexpr int kClientHeight = 5280;
constexpr int kPathTops[TerminalFoldersDialog::kFolderCount] = {1470, 2130, 2820, 3510, 4200};
constexpr int kRowHeight = 315;
constexpr int kButtonHeight = 375;

const QString kChooseFolder = QStringLiteral("Выбрать папку");
const QString kOk = QStringLiteral("OK");

struct ButtonPlace
{
    int left;
    int width;
};
constexpr ButtonPlace kOkPlace{3630, 1245};
constexpr ButtonPlace kChoosePlace{3210, 1665};
constexpr int kCommandTop = 4770;

} // namespace

TerminalFoldersDialog::TerminalFoldersDialog(SettingsStore &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Папки обмена с Bravik-PRO"));
    setFont(look::dialogFont());
    setFixedSize(twips::size(kClientWidth, kClientHeight));
    build();
    for (int folder = 1; folder <= kFolderCount; ++folder)
        m_paths[folder - 1]->setText(m_settings.terminalFolder(folder));
}

void TerminalFoldersDialog::build()
{
    auto *intro = new QLabel(QStringLiteral("Введите пути в которые программа будет сохранять "
                                            "сигналы для передачи продуктам Bravikon. Можно "
                                            "указать несколько путей."),
                             this);
    intro->setObjectName(QStringLiteral("Label1"));
    intro->setWordWrap(true);
    intro->setGeometry(twips::rect(120, 150, 6015, 435));
    auto *example = new QLabel(
        QStringLiteral("Например: C:\\Program Files (x64)\\MetaTrader 4\\MQL4\\Files"), this);
    example->setObjectName(QStringLiteral("Label3"));
    example->setGeometry(twips::rect(90, 720, 6075, 255));

    for (int i = 0; i < kFolderCount; ++i) {
        const int top = kPathTops[i];
        auto *label = new QLabel(QStringLiteral("Терминал %1:").arg(i + 1), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 4));
        label->setGeometry(twips::rect(90, top - 270, 4155, 255));

        m_paths[i] = new QLineEdit(this);
        m_paths[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        m_paths[i]->setGeometry(twips::rect(90, top, 4155, kRowHeight));

        auto *browse =
            new QPushButton(i == 0 ? QStringLiteral("Обзор") : QStringLiteral("Обзор..."), this);
        browse->setObjectName(QStringLiteral("Command%1").arg(i + 3));
        browse->setGeometry(twips::rect(4260, top, 945, kRowHeight));
        connect(browse, &QPushButton::clicked, this, [this, i] { enterBrowseMode(i + 1); });

        auto *clear = new QPushButton(QStringLiteral("Очистить"), this);
        clear->setObjectName(QStringLiteral("Command%1").arg(i + 8));
        clear->setGeometry(twips::rect(5220, top, 945, kRowHeight));
        connect(clear, &QPushButton::clicked, m_paths[i], &QLineEdit::clear);
    }

    m_okButton = new QPushButton(kOk, this);
    m_okButton->setObjectName(QStringLiteral("Command2"));
    m_okButton->setGeometry(twips::rect(kOkPlace.left, kCommandTop, kOkPlace.width, kButtonHeight));
    connect(m_okButton, &QPushButton::clicked, this, &TerminalFoldersDialog::choose);
    auto *cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("Command1"));
    cancel->setGeometry(twips::rect(4920, kCommandTop, 1245, kButtonHeight));
    connect(cancel, &QPushButton::clicked, this, &TerminalFoldersDialog::goBack);

    m_box = new QLabel(this);
    m_box->setObjectName(QStringLiteral("box"));
    m_box->hide();

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_model->setRootPath(QString());

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("Drive1"));
    m_drives->setGeometry(twips::rect(90, 1110, 6075, kRowHeight));
    for (const QFileInfo &drive : QDir::drives())
        m_drives->addItem(QDir::toNativeSeparators(drive.absolutePath()), drive.absolutePath());
    connect(m_drives, &QComboBox::activated, this,
            [this](int index) { showDrive(m_drives->itemData(index).toString()); });

    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("Dir1"));
    m_tree->setGeometry(twips::rect(90, 1410, 6075, 3240));
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    // Folders are read and sorted in the background; each may push the current folder away.
    const auto keepInSight = [this] {
        if (m_keepCurrentInSight)
            m_tree->scrollTo(m_tree->currentIndex());
    };
    connect(m_model, &QAbstractItemModel::rowsInserted, this, keepInSight);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, keepInSight);
    const auto userTakesOver = [this] { m_keepCurrentInSight = false; };
    connect(m_tree, &QTreeView::pressed, this, userTakesOver);
    connect(m_tree, &QTreeView::expanded, this, userTakesOver);
    connect(m_tree, &QTreeView::collapsed, this, userTakesOver);
    // The browser starts at the program's current folder.
    browseTo(QDir::currentPath());

    m_drives->hide();
    m_tree->hide();

    // Enter in a path box neither browses nor closes the dialog.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);
}

bool TerminalFoldersDialog::isBrowsing() const
{
    return m_okButton->text() == kChooseFolder;
}

QString TerminalFoldersDialog::browsedFolder() const
{
    return QDir::toNativeSeparators(m_model->filePath(m_tree->currentIndex()));
}

void TerminalFoldersDialog::browseTo(const QString &folder)
{
    const QModelIndex index = m_model->index(QDir::cleanPath(folder));
    if (!index.isValid())
        return;
    const int drive = m_drives->findData(driveOf(folder));
    if (drive >= 0)
        m_drives->setCurrentIndex(drive);
    m_tree->setRootIndex(m_model->index(driveOf(folder)));
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    m_keepCurrentInSight = true;
}

QString TerminalFoldersDialog::driveOf(const QString &folder)
{
    const QString absolute = QDir(QDir::cleanPath(folder)).absolutePath();
    for (const QFileInfo &drive : QDir::drives()) {
        if (absolute.startsWith(drive.absolutePath(), Qt::CaseInsensitive))
            return drive.absolutePath();
    }
    return QDir::rootPath();
}

void TerminalFoldersDialog::showDrive(const QString &drive)
{
    // The drive's current folder is the program's own when it lies there, else its root.
    const QString current = QDir::currentPath();
    browseTo(driveOf(current) == drive ? current : drive);
}

void TerminalFoldersDialog::enterBrowseMode(int folder)
{
    m_box->setText(QString::number(folder));
    const QString typed = m_paths[folder - 1]->text();
    // A typed path that is not a folder leaves the browser where it was.
    if (!typed.isEmpty() && QFileInfo(typed).isDir())
        browseTo(typed);
    m_drives->show();
    m_tree->show();
    m_drives->raise();
    m_tree->raise();
    m_okButton->setGeometry(
        twips::rect(kChoosePlace.left, kCommandTop, kChoosePlace.width, kButtonHeight));
    m_okButton->setText(kChooseFolder);
}

void TerminalFoldersDialog::leaveBrowseMode()
{
    m_okButton->setGeometry(twips::rect(kOkPlace.left, kCommandTop, kOkPlace.width, kButtonHeight));
    m_okButton->setText(kOk);
    m_tree->hide();
    m_drives->hide();
}

void TerminalFoldersDialog::choose()
{
    if (isBrowsing()) {
        leaveBrowseMode();
        const int folder = m_box->text().toInt();
        if (folder >= 1 && folder <= kFolderCount)
            m_paths[folder - 1]->setText(browsedFolder());
        return;
    }
    {
        const SettingsStore::Batch batch(m_settings);
        for (int folder = 1; folder <= kFolderCount; ++folder)
            m_settings.write(QLatin1String(settingskeys::kSettings),
                             SettingsStore::terminalFolderKey(folder), m_paths[folder - 1]->text());
    }
    accept();
}

void TerminalFoldersDialog::goBack()
{
    if (isBrowsing())
        leaveBrowseMode();
    else
        reject();
}

// Escape acts as "Отмена": in the browser it only leaves the browser.
void TerminalFoldersDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        goBack();
        return;
    }
    QDialog::keyPressEvent(event);
}
