#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "signals/signalconfig.h"
#include "signals/signalconfigurator.h"
#include "signals/terminalfoldersdialog.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

class TestSignalDialogs final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void listOrder_data();
    void listOrder();
    void configuratorShowsDefaults();
    void configuratorCancelStoresNothing_data();
    void configuratorCancelStoresNothing();
    void configuratorOkStoresEveryList();
    void configuratorKeepsValuesOutsideItsLists();
    void configuratorReadsNumbersAsEvaluationDoes();
    void foldersDialogAsDesigned();
    void clearThenOk();
    void browseThenCancel();
    void browseThenChooseThenCancel();
    void browseStartsAtTheTypedFolder();
    void browserShowsItsFolder();
    void closingInBrowseModeStoresNothing();

private:
    QString stored(const QString &key) const
    {
        return m_settings->read(QLatin1String(settingskeys::kSettings), key, "<missing>");
    }
    QStringList storedKeys() const;
    static QComboBox *list(QWidget *dialog, int number)
    {
        return dialog->findChild<QComboBox *>(QStringLiteral("Combo%1").arg(number));
    }
    template<typename T>
    static T *child(QWidget *dialog, const char *name)
    {
        return dialog->findChild<T *>(QLatin1String(name));
    }
    void setFolders();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
};

void TestSignalDialogs::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
}

QStringList TestSignalDialogs::storedKeys() const
{
    QSettings file(m_settings->location(), QSettings::IniFormat);
    return file.allKeys();
}

void TestSignalDialogs::listOrder_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("defaultIndex");
    // Every list in saving order: per option seven BUY lists M1-D1, seven SELL lists, then the
    // three "Calculate:" lists; the defaults of never saved keys.
    QTest::newRow("Combo1") << 1 << "v1-m1buy" << 1;
    QTest::newRow("Combo2") << 2 << "v1-m5buy" << 1;
    QTest::newRow("Combo3") << 3 << "v1-m15buy" << 1;
    QTest::newRow("Combo4") << 4 << "v1-m30buy" << 1;
    QTest::newRow("Combo5") << 5 << "v1-h1buy" << 1;
    QTest::newRow("Combo6") << 6 << "v1-h4buy" << 0;
    QTest::newRow("Combo7") << 7 << "v1-d1buy" << 0;
    QTest::newRow("Combo8") << 8 << "v1-m1sell" << 3;
    QTest::newRow("Combo9") << 9 << "v1-m5sell" << 3;
    QTest::newRow("Combo10") << 10 << "v1-m15sell" << 3;
    QTest::newRow("Combo11") << 11 << "v1-m30sell" << 3;
    QTest::newRow("Combo12") << 12 << "v1-h1sell" << 3;
    QTest::newRow("Combo13") << 13 << "v1-h4sell" << 0;
    QTest::newRow("Combo14") << 14 << "v1-d1sell" << 0;
    QTest::newRow("Combo15") << 15 << "v2-m1buy" << 1;
    QTest::newRow("Combo16") << 16 << "v2-m5buy" << 1;
    QTest::newRow("Combo17") << 17 << "v2-m15buy" << 1;
    QTest::newRow("Combo18") << 18 << "v2-m30buy" << 1;
    QTest::newRow("Combo19") << 19 << "v2-h1buy" << 1;
    QTest::newRow("Combo20") << 20 << "v2-h4buy" << 1;
    QTest::newRow("Combo21") << 21 << "v2-d1buy" << 0;
    QTest::newRow("Combo22") << 22 << "v2-m1sell" << 3;
    QTest::newRow("Combo23") << 23 << "v2-m5sell" << 3;
    QTest::newRow("Combo24") << 24 << "v2-m15sell" << 3;
    QTest::newRow("Combo25") << 25 << "v2-m30sell" << 3;
    QTest::newRow("Combo26") << 26 << "v2-h1sell" << 3;
    QTest::newRow("Combo27") << 27 << "v2-h4sell" << 3;
    QTest::newRow("Combo28") << 28 << "v2-d1sell" << 0;
    QTest::newRow("Combo29") << 29 << "v3-m1buy" << 1;
    QTest::newRow("Combo30") << 30 << "v3-m5buy" << 1;
    QTest::newRow("Combo31") << 31 << "v3-m15buy" << 1;
    QTest::newRow("Combo32") << 32 << "v3-m30buy" << 1;
    QTest::newRow("Combo33") << 33 << "v3-h1buy" << 1;
    QTest::newRow("Combo34") << 34 << "v3-h4buy" << 1;
    QTest::newRow("Combo35") << 35 << "v3-d1buy" << 1;
    QTest::newRow("Combo36") << 36 << "v3-m1sell" << 3;
    QTest::newRow("Combo37") << 37 << "v3-m5sell" << 3;
    QTest::newRow("Combo38") << 38 << "v3-m15sell" << 3;
    QTest::newRow("Combo39") << 39 << "v3-m30sell" << 3;
    QTest::newRow("Combo40") << 40 << "v3-h1sell" << 3;
    QTest::newRow("Combo41") << 41 << "v3-h4sell" << 3;
    QTest::newRow("Combo42") << 42 << "v3-d1sell" << 3;
    QTest::newRow("Combo43") << 43 << "v1" << 0;
    QTest::newRow("Combo44") << 44 << "v2" << 0;
    QTest::newRow("Combo45") << 45 << "v3" << 0;
}

void TestSignalDialogs::listOrder()
{
    QFETCH(int, list);
    QFETCH(QString, key);
    QFETCH(int, defaultIndex);
    QCOMPARE(signalconfig::listKey(list), key);
    QCOMPARE(signalconfig::listDefault(list), defaultIndex);
}

void TestSignalDialogs::configuratorShowsDefaults()
{
    SignalConfigurator dialog(*m_settings);
    QCOMPARE(dialog.objectName(), QStringLiteral("Form7"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Signal configurator"));
    QCOMPARE(dialog.size(), twips::size(12570, 5100));
    QVERIFY(child<QLabel>(&dialog, "Label14")->text().startsWith("In this window you can"));

    QStringList shown;
    for (int number = 1; number <= 45; ++number)
        shown << list(&dialog, number)->currentText();
    const QString b = QStringLiteral("Strong Buy");
    const QString s = QStringLiteral("Strong Sell");
    const QString any = QStringLiteral("Doesn't matter");
    const QString both = QStringLiteral("Technical indicators + Moving Averages");
    QCOMPARE(shown, (QStringList{b, b, b, b, b, any, any, s, s, s, s, s, any,  any,  b,
                                 b, b, b, b, b, any, s,   s, s, s, s, s, any,  b,    b,
                                 b, b, b, b, b, s,   s,   s, s, s, s, s, both, both, both}));

    QComboBox *first = list(&dialog, 1);
    QCOMPARE(first->count(), 8);
    QCOMPARE(first->itemText(5), QStringLiteral("Buy & Strong Buy"));
    QCOMPARE(first->itemText(7), QStringLiteral("Neutral"));
    QCOMPARE(first->geometry().topLeft(), twips::point(1410, 1080));
    QCOMPARE(list(&dialog, 14)->geometry().topLeft(), twips::point(10950, 1440));
    QCOMPARE(list(&dialog, 44)->count(), 3);
    QCOMPARE(list(&dialog, 44)->geometry().topLeft(), twips::point(1410, 2970));
    QCOMPARE(list(&dialog, 44)->geometry().right(), list(&dialog, 42)->geometry().right());
    QCOMPARE(child<QPushButton>(&dialog, "Command2")->text(), QStringLiteral("OK"));
    QCOMPARE(child<QPushButton>(&dialog, "Command1")->text(), QStringLiteral("Cancel"));
}

void TestSignalDialogs::configuratorCancelStoresNothing_data()
{
    QTest::addColumn<bool>("byCloseButton");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close button") << true;
}

void TestSignalDialogs::configuratorCancelStoresNothing()
{
    QFETCH(bool, byCloseButton);
    {
        SignalConfigurator dialog(*m_settings);
        dialog.show();
        list(&dialog, 22)->setCurrentIndex(6);
        if (byCloseButton)
            dialog.close();
        else
            child<QPushButton>(&dialog, "Command1")->click();
        QVERIFY(!dialog.isVisible());
    }
    QVERIFY(storedKeys().isEmpty());
    SignalConfigurator again(*m_settings);
    QCOMPARE(list(&again, 22)->currentIndex(), 3);
}

void TestSignalDialogs::configuratorOkStoresEveryList()
{
    SignalConfigurator dialog(*m_settings);
    dialog.show();
    list(&dialog, 22)->setCurrentIndex(6); // option 2 SELL M1: "Sell & Strong Sell"
    list(&dialog, 44)->setCurrentIndex(2);
    child<QPushButton>(&dialog, "Command2")->click();
    QVERIFY(!dialog.isVisible());

    QCOMPARE(stored("v2-m1sell"), QStringLiteral("6"));
    QCOMPARE(stored("v2"), QStringLiteral("2"));
    QCOMPARE(stored("v1-h4buy"), QStringLiteral("0"));
    QCOMPARE(stored("v3-d1sell"), QStringLiteral("3"));
    QCOMPARE(storedKeys().size(), 45);
    const signalconfig::Config config = signalconfig::read(*m_settings);
    QCOMPARE(config.code(2, signalconfig::Sell, 0), int(signalconfig::SellOrStrongSell));
    QCOMPARE(config.basis[1], int(signalconfig::MovingAverages));

    SignalConfigurator again(*m_settings);
    QCOMPARE(list(&again, 22)->currentText(), QStringLiteral("Sell & Strong Sell"));
}

void TestSignalDialogs::configuratorKeepsValuesOutsideItsLists()
{
    m_settings->writeText("v1-m1buy", QStringLiteral("9"));
    m_settings->writeText("v3", QStringLiteral("abc"));
    m_settings->writeText("v2", QStringLiteral("-1"));
    SignalConfigurator dialog(*m_settings);
    QCOMPARE(list(&dialog, 1)->currentIndex(), -1);
    QCOMPARE(list(&dialog, 44)->currentIndex(), -1);
    QCOMPARE(list(&dialog, 45)->currentIndex(), -1);
    dialog.store();
    QCOMPARE(stored("v1-m1buy"), QStringLiteral("9"));
    QCOMPARE(stored("v3"), QStringLiteral("abc"));
    QCOMPARE(stored("v2"), QStringLiteral("-1"));
    QCOMPARE(stored("v1-m5buy"), QStringLiteral("1"));
}

void TestSignalDialogs::configuratorReadsNumbersAsEvaluationDoes()
{
    m_settings->writeText("v1-m5buy", QStringLiteral("2.0"));
    m_settings->writeText("v1-m15buy", QStringLiteral(" 4 "));
    m_settings->writeText("v1-m30buy", QStringLiteral("1.5"));
    SignalConfigurator dialog(*m_settings);
    QCOMPARE(list(&dialog, 2)->currentIndex(), 2);
    QCOMPARE(list(&dialog, 3)->currentIndex(), 4);
    QCOMPARE(list(&dialog, 4)->currentIndex(), -1);
    const signalconfig::Config config = signalconfig::read(*m_settings);
    QCOMPARE(config.code(1, signalconfig::Buy, 1), 2);
    QCOMPARE(config.code(1, signalconfig::Buy, 2), 4);
}

void TestSignalDialogs::setFolders()
{
    for (int folder = 1; folder <= 5; ++folder)
        m_settings->write(QLatin1String(settingskeys::kSettings),
                          SettingsStore::terminalFolderKey(folder),
                          QStringLiteral("C:\\Terminal %1\\MQL4\\Files\\").arg(folder));
}

void TestSignalDialogs::foldersDialogAsDesigned()
{
    setFolders();
    TerminalFoldersDialog dialog(*m_settings);
    QCOMPARE(dialog.objectName(), QStringLiteral("Form6"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Папки обмена с Bravik-PRO"));
    QCOMPARE(dialog.size(), twips::size(6255, 5280));
    QCOMPARE(child<QLabel>(&dialog, "Label1")->text(),
             QStringLiteral("Введите пути в которые программа будет сохранять сигналы для "
                            "передачи продуктам Bravikon. Можно указать несколько путей."));
    QCOMPARE(child<QLabel>(&dialog, "Label3")->text(),
             QStringLiteral("Например: C:\\Program Files (x64)\\MetaTrader 4\\MQL4\\Files"));
    for (int i = 1; i <= 5; ++i) {
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("Label%1").arg(i + 3))->text(),
                 QStringLiteral("Терминал %1:").arg(i));
        auto *path = dialog.findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i));
        QCOMPARE(path->text(), QStringLiteral("C:\\Terminal %1\\MQL4\\Files\\").arg(i));
        QCOMPARE(path->geometry().left(), twips::toPixels(90));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("Command%1").arg(i + 2))->text(),
                 i == 1 ? QStringLiteral("Обзор") : QStringLiteral("Обзор..."));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("Command%1").arg(i + 7))->text(),
                 QStringLiteral("Очистить"));
    }
    QCOMPARE(child<QLineEdit>(&dialog, "Text3")->geometry().top(), twips::toPixels(2820));
    QCOMPARE(child<QPushButton>(&dialog, "Command2")->text(), QStringLiteral("OK"));
    QCOMPARE(child<QPushButton>(&dialog, "Command1")->text(), QStringLiteral("Отмена"));
    dialog.show();
    QVERIFY(!child<QWidget>(&dialog, "Drive1")->isVisible());
    QVERIFY(!child<QWidget>(&dialog, "Dir1")->isVisible());
    QVERIFY(!dialog.isBrowsing());
}

void TestSignalDialogs::clearThenOk()
{
    setFolders();
    TerminalFoldersDialog dialog(*m_settings);
    dialog.show();
    child<QPushButton>(&dialog, "Command10")->click(); // clear path 3
    QCOMPARE(child<QLineEdit>(&dialog, "Text3")->text(), QString());
    QCOMPARE(stored("LogPath3"), QStringLiteral("C:\\Terminal 3\\MQL4\\Files\\"));
    child<QLineEdit>(&dialog, "Text5")->setText(QStringLiteral("  relative\\path "));
    child<QPushButton>(&dialog, "Command2")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(stored("LogPath3"), QString());
    QCOMPARE(stored("LogPath"), QStringLiteral("C:\\Terminal 1\\MQL4\\Files\\"));
    QCOMPARE(stored("LogPath4"), QStringLiteral("C:\\Terminal 4\\MQL4\\Files\\"));
    QCOMPARE(stored("LogPath5"), QStringLiteral("  relative\\path "));
}

void TestSignalDialogs::browseThenCancel()
{
    setFolders();
    TerminalFoldersDialog dialog(*m_settings);
    dialog.show();
    child<QPushButton>(&dialog, "Command4")->click(); // browse path 2
    QVERIFY(dialog.isBrowsing());
    QCOMPARE(child<QLabel>(&dialog, "box")->text(), QStringLiteral("2"));
    QVERIFY(child<QWidget>(&dialog, "Drive1")->isVisible());
    QVERIFY(child<QWidget>(&dialog, "Dir1")->isVisible());
    auto *choose = child<QPushButton>(&dialog, "Command2");
    QCOMPARE(choose->text(), QStringLiteral("Выбрать папку"));
    QCOMPARE(choose->geometry(), twips::rect(3210, 4770, 1665, 375));

    dialog.browseTo(m_dir->path());
    QCOMPARE(dialog.browsedFolder(), QDir::toNativeSeparators(m_dir->path()));
    child<QPushButton>(&dialog, "Command1")->click();
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.isBrowsing());
    QCOMPARE(choose->text(), QStringLiteral("OK"));
    QCOMPARE(choose->geometry(), twips::rect(3630, 4770, 1245, 375));
    QVERIFY(!child<QWidget>(&dialog, "Dir1")->isVisible());
    QCOMPARE(child<QLineEdit>(&dialog, "Text2")->text(),
             QStringLiteral("C:\\Terminal 2\\MQL4\\Files\\"));

    // Escape acts as "Отмена" too: out of the browser first, then out of the dialog.
    child<QPushButton>(&dialog, "Command4")->click();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.isBrowsing());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(storedKeys().size(), 5);
}

void TestSignalDialogs::browseThenChooseThenCancel()
{
    TerminalFoldersDialog dialog(*m_settings);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    child<QPushButton>(&dialog, "Command4")->click(); // an empty box: the browser stays put
    QCOMPARE(dialog.browsedFolder(), QDir::toNativeSeparators(QDir::currentPath()));
    const QString chosen = m_dir->filePath(QStringLiteral("MQL4 Files"));
    QVERIFY(QDir().mkpath(chosen));
    dialog.browseTo(chosen);
    child<QPushButton>(&dialog, "Command2")->click();
    QVERIFY(!dialog.isBrowsing());
    QVERIFY(dialog.isVisible());
    QCOMPARE(child<QLineEdit>(&dialog, "Text2")->text(), QDir::toNativeSeparators(chosen));
    QCOMPARE(child<QLineEdit>(&dialog, "Text1")->text(), QString());

    child<QPushButton>(&dialog, "Command1")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(finished.size(), 1);
    QVERIFY(storedKeys().isEmpty());
}

void TestSignalDialogs::browseStartsAtTheTypedFolder()
{
    const QString typed = m_dir->filePath(QStringLiteral("terminal"));
    QVERIFY(QDir().mkpath(typed));
    TerminalFoldersDialog dialog(*m_settings);
    dialog.show();
    child<QLineEdit>(&dialog, "Text4")->setText(typed);
    child<QLineEdit>(&dialog, "Text5")->setText(QStringLiteral("no such folder"));
    child<QPushButton>(&dialog, "Command6")->click();
    QCOMPARE(child<QLabel>(&dialog, "box")->text(), QStringLiteral("4"));
    QCOMPARE(dialog.browsedFolder(), QDir::toNativeSeparators(typed));
    QCOMPARE(child<QTreeView>(&dialog, "Dir1")->currentIndex().data().toString(),
             QStringLiteral("terminal"));
    // Another browse button while browsing switches to its path; a bad path moves nothing.
    child<QPushButton>(&dialog, "Command7")->click();
    QCOMPARE(child<QLabel>(&dialog, "box")->text(), QStringLiteral("5"));
    QCOMPARE(dialog.browsedFolder(), QDir::toNativeSeparators(typed));
}

void TestSignalDialogs::browserShowsItsFolder()
{
    // Far down a long list of folders that the browser reads while it opens.
    for (int i = 0; i < 80; ++i)
        QVERIFY(
            QDir().mkpath(m_dir->filePath(QStringLiteral("folder %1").arg(i, 2, 10, QChar('0')))));
    const QString typed = m_dir->filePath(QStringLiteral("folder 79"));
    TerminalFoldersDialog dialog(*m_settings);
    dialog.show();
    child<QLineEdit>(&dialog, "Text1")->setText(typed);
    child<QPushButton>(&dialog, "Command3")->click();
    auto *tree = child<QTreeView>(&dialog, "Dir1");
    QTRY_COMPARE(tree->currentIndex().data().toString(), QStringLiteral("folder 79"));
    QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())));
    QTest::qWait(200); // later reads of the folder must not move it out of sight
    QVERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())));
}

void TestSignalDialogs::closingInBrowseModeStoresNothing()
{
    setFolders();
    TerminalFoldersDialog dialog(*m_settings);
    dialog.show();
    child<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("D:\\elsewhere"));
    child<QPushButton>(&dialog, "Command3")->click();
    dialog.close();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(stored("LogPath"), QStringLiteral("C:\\Terminal 1\\MQL4\\Files\\"));
}

QTEST_MAIN(TestSignalDialogs)
#include "tst_signaldialogs.moc"
