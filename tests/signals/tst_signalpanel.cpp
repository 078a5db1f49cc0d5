#include "app/appstate.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "app/traymenu.h"
#include "app/trayoptions.h"
#include "signals/signalalert.h"
#include "signals/signallistmodel.h"
#include "signals/signalpanel.h"
#include "signals/signalsound.h"
#include "ui/twips.h"
#include "ui/wheelscroll.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

class TestSignalPanel final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void panelAsDesigned();
    void headerIsBuiltAtStartUp();
    void newestSignalOnTop();
    void optionBoxesAndMenuStayInStep();
    void startUpTicksTheBoxesFromTheStore();
    void focusGoesBackToTheNavigator();
    void wheelSteps_data();
    void wheelSteps();
    void wheelScrollsThreeLinesANotch_data();
    void wheelScrollsThreeLinesANotch();
    void alertsStackAndCloseThemselves();
    void soundWithoutFileBeeps();

private:
    QCheckBox *box(const char *name) const;
    void addSignals(int count);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<TrayOptions> m_options;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<QWidget> m_window;
    SignalPanel *m_panel = nullptr;
    TrayMenu *m_menu = nullptr;
};

void TestSignalPanel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
    m_options = std::make_unique<TrayOptions>(*m_settings);
    m_state = std::make_unique<AppState>();
    m_window = std::make_unique<QWidget>();
    m_window->setObjectName(QStringLiteral("Form1"));
    m_window->resize(twips::size(16245, 10740));
    m_panel = new SignalPanel(m_window.get(), *m_options, *m_state);
    m_menu = new TrayMenu(*m_options, m_window.get());
}

void TestSignalPanel::cleanup()
{
    m_window.reset();
}

QCheckBox *TestSignalPanel::box(const char *name) const
{
    return m_window->findChild<QCheckBox *>(QLatin1String(name));
}

void TestSignalPanel::addSignals(int count)
{
    for (int i = 0; i < count; ++i)
        m_panel->addSignal(QStringLiteral("10:00:%1").arg(i, 2, 10, QLatin1Char('0')),
                           {QTime(), "BUY", "EUR/USD", QString::number(i % 3 + 1)});
}

void TestSignalPanel::panelAsDesigned()
{
    auto *titleBar = m_window->findChild<QWidget *>(QStringLiteral("Picture5"));
    auto *listArea = m_window->findChild<QWidget *>(QStringLiteral("Picture8"));
    QVERIFY(titleBar && listArea);
    QCOMPARE(titleBar->parentWidget(), m_window.get());
    QCOMPARE(listArea->parentWidget(), m_window.get());
    QCOMPARE(titleBar->geometry(), twips::rect(11130, 6900, 4995, 375));
    QCOMPARE(listArea->geometry(), twips::rect(11130, 7260, 4995, 3315));
    QCOMPARE(titleBar->palette().color(QPalette::Window), QColor(0x29, 0x8F, 0xCC));

    auto *list = listArea->findChild<QTableView *>(QStringLiteral("signalgrid"));
    QVERIFY(list);
    QVERIFY(listArea->rect().contains(list->geometry()));
    QCOMPARE(titleBar->findChild<QLabel *>(QStringLiteral("Label26"))->text(),
             QStringLiteral("Signal option:"));
    auto *help = titleBar->findChild<QLabel *>(QStringLiteral("Label20_4"));
    QCOMPARE(help->text(), QStringLiteral("?"));
    QCOMPARE(help->toolTip(), QStringLiteral("Подсказка"));

    const QList<std::tuple<const char *, QString, QString>> boxes{
        {"Filter3", "1", "Слабые"}, {"Filter2", "2", "Средний"}, {"Filter1", "3", "Сильные"}};
    int left = titleBar->findChild<QLabel *>(QStringLiteral("Label26"))->geometry().right();
    for (const auto &[name, caption, tip] : boxes) {
        QCheckBox *option = box(name);
        QCOMPARE(option->parentWidget(), titleBar);
        QCOMPARE(option->text(), caption);
        QCOMPARE(option->toolTip(), tip);
        QCOMPARE(option->font().family(), QStringLiteral("Arial"));
        QVERIFY(option->isChecked());
        QVERIFY(option->geometry().left() > left); // left to right after the label
        left = option->geometry().right();
        QVERIFY(titleBar->rect().contains(option->geometry()));
    }
    QVERIFY(help->geometry().left() > left);
}

void TestSignalPanel::headerIsBuiltAtStartUp()
{
    SignalListModel *model = m_panel->model();
    QVERIFY(!model->headerData(0, Qt::Horizontal, Qt::DisplayRole).isValid());
    m_panel->buildHeader();
    QStringList headers;
    for (int column = 0; column < model->columnCount(); ++column) {
        headers << model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        QVERIFY(model->headerData(column, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        QCOMPARE(
            model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
            Qt::AlignHCenter | Qt::AlignTop);
    }
    QCOMPARE(headers, (QStringList{"Time", "Signal", "Signal option"}));
    QHeaderView *header = m_panel->list()->horizontalHeader();
    QCOMPARE(header->sectionSize(1), twips::toPixels(2200));
    QCOMPARE(header->sectionSize(2), twips::toPixels(1400));
    // The header holds the empty band under the titles, so both stay while the list scrolls.
    QCOMPARE(header->height(), 2 * m_panel->list()->verticalHeader()->defaultSectionSize());
    QCOMPARE(model->rowCount(), 0);
}

void TestSignalPanel::newestSignalOnTop()
{
    m_panel->buildHeader();
    m_panel->addSignal("14:05:09", {QTime(), "BUY", "EUR/USD", "1"});
    m_panel->addSignal("14:05:09", {QTime(), "BUY", "EUR/USD", "2"});
    m_panel->addSignal("14:05:10", {QTime(), "SELL", "Gold", "3"});

    SignalListModel *model = m_panel->model();
    QCOMPARE(model->rowCount(), 3);
    auto cell = [model](int row, int column, int role = Qt::DisplayRole) {
        return model->data(model->index(row, column), role);
    };
    QCOMPARE(cell(0, 0).toString(), QStringLiteral("14:05:10"));
    QCOMPARE(cell(0, 1).toString(), QStringLiteral("SELL Gold"));
    QCOMPARE(cell(0, 2).toString(), QStringLiteral("3"));
    QCOMPARE(cell(1, 2).toString(), QStringLiteral("2"));
    QCOMPARE(cell(2, 1).toString(), QStringLiteral("BUY EUR/USD"));
    QCOMPARE(cell(2, 2).toString(), QStringLiteral("1"));
    QCOMPARE(cell(0, 1, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QCOMPARE(cell(2, 1, Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    QCOMPARE(cell(0, 2, Qt::ForegroundRole).value<QColor>(), QColor(0, 103, 196));
    QVERIFY(!cell(0, 0, Qt::ForegroundRole).isValid());
    for (int column = 0; column < 3; ++column)
        QCOMPARE(cell(1, column, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignHCenter | Qt::AlignTop);
    QCOMPARE(model->signalText(0), QStringLiteral("SELL Gold"));
    QCOMPARE(m_panel->list()->currentIndex().row(), 0);
    QVERIFY(m_panel->list()->selectionModel()->selectedIndexes().isEmpty());
}

void TestSignalPanel::optionBoxesAndMenuStayInStep()
{
    auto *menuOption2 = m_menu->findChild<QAction *>(QStringLiteral("mnuFilter2"));
    auto *menuOption3 = m_menu->findChild<QAction *>(QStringLiteral("mnuFilter1"));
    m_window->show();
    QTest::mouseClick(box("Filter2"), Qt::LeftButton);
    QVERIFY(!box("Filter2")->isChecked());
    QVERIFY(!menuOption2->isChecked());
    QCOMPARE(m_settings->readText(settingskeys::kFilter2), QStringLiteral("False"));
    QTest::mouseClick(box("Filter2"), Qt::LeftButton);
    QVERIFY(menuOption2->isChecked());
    QCOMPARE(m_settings->readText(settingskeys::kFilter2), QStringLiteral("True"));

    menuOption3->trigger();
    QVERIFY(!box("Filter1")->isChecked());
    QCOMPARE(m_settings->readText(settingskeys::kFilter1), QStringLiteral("False"));
    QVERIFY(!m_options->isTicked(TrayOptions::Filter1));
}

void TestSignalPanel::startUpTicksTheBoxesFromTheStore()
{
    m_settings->writeText(settingskeys::kFilter3, QStringLiteral("0"));
    m_settings->writeText(settingskeys::kFilter1, QStringLiteral("True"));
    m_panel->loadFilters(*m_settings);
    QVERIFY(!box("Filter3")->isChecked());
    QVERIFY(box("Filter2")->isChecked());
    QVERIFY(box("Filter1")->isChecked());
    QVERIFY(!m_menu->findChild<QAction *>(QStringLiteral("mnuFilter3"))->isChecked());
    // The box that changed stored its value in its own form; the others were left alone.
    QCOMPARE(m_settings->readText(settingskeys::kFilter3), QStringLiteral("False"));
    QCOMPARE(m_settings->readText(settingskeys::kFilter2, "<missing>"),
             QStringLiteral("<missing>"));
}

void TestSignalPanel::focusGoesBackToTheNavigator()
{
    auto *entry = new QWidget(m_window.get());
    entry->setObjectName(QStringLiteral("el_5"));
    entry->setFocusPolicy(Qt::StrongFocus);
    entry->setGeometry(10, 10, 100, 17);
    m_state->setSelectedIndex(5);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));

    QTest::mouseClick(box("Filter3"), Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), entry);
    QVERIFY(!box("Filter3")->isChecked()); // the click itself still counted

    m_state->setSelectedIndex(7); // no such entry
    QTest::mouseClick(box("Filter3"), Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), m_panel->titleBar());
    QVERIFY(box("Filter3")->isChecked());
}

void TestSignalPanel::wheelSteps_data()
{
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QList<int>>("lines");
    QTest::newRow("one notch down") << QList<int>{-120} << QList<int>{3};
    QTest::newRow("one notch up") << QList<int>{120} << QList<int>{-3};
    QTest::newRow("three notches at once") << QList<int>{-360} << QList<int>{9};
    QTest::newRow("fine wheel adds up") << QList<int>{-40, -40, -40, -40} << QList<int>{0, 0, 3, 0};
    QTest::newRow("turning back starts afresh") << QList<int>{-60, 120, 60} << QList<int>{0, -3, 0};
}

void TestSignalPanel::wheelSteps()
{
    QFETCH(QList<int>, deltas);
    QFETCH(QList<int>, lines);
    int remainder = 0;
    QList<int> result;
    for (int delta : deltas)
        result << WheelScroll::linesFor(delta, remainder);
    QCOMPARE(result, lines);
}

void TestSignalPanel::wheelScrollsThreeLinesANotch_data()
{
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("moved");
    QTest::newRow("down") << -120 << int(Qt::NoModifier) << 3;
    QTest::newRow("down with Shift") << -120 << int(Qt::ShiftModifier) << 3;
    QTest::newRow("down with Control") << -120 << int(Qt::ControlModifier) << 3;
    QTest::newRow("up") << 120 << int(Qt::NoModifier) << -3;
    QTest::newRow("fine wheel, less than a notch") << -60 << int(Qt::NoModifier) << 0;
}

void TestSignalPanel::wheelScrollsThreeLinesANotch()
{
    QFETCH(int, delta);
    QFETCH(int, modifiers);
    QFETCH(int, moved);
    m_panel->buildHeader();
    addSignals(60);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QScrollBar *bar = m_panel->list()->verticalScrollBar();
    bar->setValue(10);
    QWidget *viewport = m_panel->list()->viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::KeyboardModifiers(modifiers), Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QCOMPARE(bar->value(), 10 + moved);
    QCOMPARE(m_panel->list()->horizontalScrollBar()->value(), 0);
}

void TestSignalPanel::alertsStackAndCloseThemselves()
{
    QWidget *focused = m_window.get();
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    focused = QApplication::focusWidget();

    SignalAlert alert(std::chrono::milliseconds(300));
    alert.show(QStringLiteral("BUY EUR/USD"), "1");
    alert.show(QStringLiteral("BUY EUR/USD"), "2");
    alert.show(QStringLiteral("SELL Gold"), "3");
    const QList<AlertPopup *> popups = alert.popups();
    QCOMPARE(popups.size(), 3);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (int i = 0; i < popups.size(); ++i) {
        AlertPopup *popup = popups.at(i);
        QVERIFY(popup->isVisible());
        QVERIFY(popup->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(popup->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(popup->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(area.contains(popup->frameGeometry()));
        QVERIFY(area.right() - popup->geometry().right() < 40);
        if (i == 0)
            QVERIFY(area.bottom() - popup->geometry().bottom() < 40);
        else // each newer alert above the one before, none covering another
            QVERIFY(popup->geometry().bottom() < popups.at(i - 1)->geometry().top());
    }
    QCOMPARE(popups.at(2)->toolTip(), QStringLiteral("SELL Gold"));
    QCOMPARE(QApplication::activeWindow(), m_window.get());
    QCOMPARE(QApplication::focusWidget(), focused);

    QTRY_VERIFY(alert.popups().isEmpty());
}

void TestSignalPanel::soundWithoutFileBeeps()
{
    int beeps = 0;
    SignalSound missing(m_dir->path(), [&beeps] { ++beeps; });
    missing.play();
    missing.play();
    QCOMPARE(beeps, 2);

    QVERIFY(QFile::copy(QStringLiteral(QUENTARA_SOUND), m_dir->filePath("sound.wav")));
    missing.play();
    QCOMPARE(beeps, 2);
}

QTEST_MAIN(TestSignalPanel)
#include "tst_signalpanel.moc"
