#include "ui/glyphlabel.h"
#include "ui/navigator.h"
#include "ui/navigatorwidgets.h"
#include "ui/twips.h"
#include "windowfixture.h"

#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

namespace {

QString name(const char *prefix, int index)
{
    return QLatin1String(prefix) + QString::number(index);
}

} // namespace

class TestNavigator final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startsCollapsedWithTheCatalogue();
    void groupMarkersAreBlack();
    void headerClickOpensOneGroupAtATime_data();
    void headerClickOpensOneGroupAtATime();
    void clickOnTheOpenHeaderClosesEverything();
    void rowClickSelectsAndHighlights();
    void squareClickAndSpaceSwitchInstruments();
    void keysFollowTheDisplayOrder();
    void signalListDoubleClickOpensTheInstrument_data();
    void signalListDoubleClickOpensTheInstrument();

private:
    void expectOpen(int group);
    void showActive();

    std::unique_ptr<WindowFixture> m_fixture;
};

void TestNavigator::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->window->navigator().fillFromCatalogue();
}

void TestNavigator::cleanup()
{
    m_fixture.reset();
}

void TestNavigator::showActive()
{
    m_fixture->window->show();
    m_fixture->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_fixture->window.get()));
}

// Group `group` open (kNoGroup: none): markers, header tops and which rows show where.
void TestNavigator::expectOpen(int group)
{
    const auto tops = navigatorrules::headerTops(group);
    for (int g = 0; g < catalogue::kGroupCount; ++g) {
        QCOMPARE(m_fixture->find<GlyphLabel>(name("gr_slide_", g))->text(),
                 g == group ? QStringLiteral("6") : QStringLiteral("4"));
        QCOMPARE(m_fixture->find(name("gr_header_", g))->y(), twips::toPixels(tops[g]));
    }
    for (int i = 0; i < catalogue::kSlotCount; ++i) {
        QWidget *row = m_fixture->find(name("el_", i));
        const bool member = group != navigatorrules::kNoGroup && catalogue::groupOf(i) == group;
        QVERIFY2(row->isVisibleTo(m_fixture->window.get()) == member,
                 qPrintable(row->objectName()));
        if (member)
            QCOMPARE(row->y(), twips::toPixels(navigatorrules::rowTop(i)));
    }
}

void TestNavigator::startsCollapsedWithTheCatalogue()
{
    expectOpen(navigatorrules::kNoGroup);
    QCOMPARE(m_fixture->find<QLabel>("el_title_56")->text(), QStringLiteral("S&P 500"));
    QCOMPARE(m_fixture->find<QLabel>("el_title_60")->text(), QStringLiteral("DXY (Dollar Index)"));
    QCOMPARE(m_fixture->find<QLabel>("gr_title_3")->text(), QStringLiteral("Indices"));
    QVERIFY(m_fixture->find("gr_icon_4"));
    QVERIFY(m_fixture->find("el_sel_62"));
    QVERIFY(m_fixture->find("el_toggle_62"));
    QCOMPARE(m_fixture->find("gr_header_4")->height(), twips::toPixels(375));
    QCOMPARE(m_fixture->find("gr_header_0")->height(), twips::toPixels(405));
    QCOMPARE(m_fixture->find("gr_slide_2")->geometry(), twips::rect(2250, 60, 195, 225));
    QCOMPARE(m_fixture->find("gr_title_2")->pos(), twips::point(480, 90));
    QCOMPARE(m_fixture->find("el_toggle_30")->geometry(), twips::rect(480, 45, 180, 180));
}

void TestNavigator::groupMarkersAreBlack()
{
    // Everything in the navigator is white with black text, the expansion markers included,
    // closed or open.
    m_fixture->window->navigator().toggleGroup(catalogue::Commodities);
    for (int g = 0; g < catalogue::kGroupCount; ++g) {
        const QImage marker = m_fixture->find(name("gr_slide_", g))->grab().toImage();
        int darkest = 255;
        for (int y = 0; y < marker.height(); ++y) {
            for (int x = 0; x < marker.width(); ++x) {
                const QColor pixel = marker.pixelColor(x, y);
                QVERIFY2(
                    std::abs(pixel.red() - pixel.blue()) < 8 &&
                        std::abs(pixel.green() - pixel.blue()) < 8,
                    qPrintable(
                        QStringLiteral("%1 at %2,%3: %4").arg(g).arg(x).arg(y).arg(pixel.name())));
                darkest = std::min(darkest, pixel.value());
            }
        }
        QCOMPARE(darkest, 0);
    }
}

void TestNavigator::headerClickOpensOneGroupAtATime_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<int>("group");
    QTest::newRow("header of Currencies") << "gr_header_0" << 0;
    QTest::newRow("title of Cryptocurrencies") << "gr_title_1" << 1;
    QTest::newRow("icon of Commodities") << "gr_icon_2" << 2;
    QTest::newRow("marker of Indices") << "gr_slide_3" << 3;
    QTest::newRow("header of Stocks") << "gr_header_4" << 4;
}

void TestNavigator::headerClickOpensOneGroupAtATime()
{
    QFETCH(QString, clicked);
    QFETCH(int, group);
    showActive();
    // Another group is open first: opening this one closes it.
    m_fixture->window->navigator().toggleGroup(group == 0 ? 1 : 0);
    // The header's parts let the mouse through to it: click the header where the part lies.
    QWidget *part = m_fixture->find(clicked);
    QWidget *header = m_fixture->find(name("gr_header_", group));
    const QPoint where = part == header ? QPoint(60, 10) : part->geometry().center();
    QCOMPARE(header->childAt(where) == nullptr,
             part == header || part->testAttribute(Qt::WA_TransparentForMouseEvents));
    QTest::mouseClick(header, Qt::LeftButton, {}, where);
    expectOpen(group);
    if (group == catalogue::Indices) {
        QCOMPARE(m_fixture->find("el_60")->y(), twips::toPixels(1620));
        QCOMPARE(m_fixture->find("el_61")->y(), twips::toPixels(1875));
    }
    QVERIFY(m_fixture->find("el_62")->isHidden());
}

void TestNavigator::clickOnTheOpenHeaderClosesEverything()
{
    showActive();
    m_fixture->window->navigator().toggleGroup(catalogue::Commodities);
    QTest::mouseClick(m_fixture->find("gr_header_2"), Qt::LeftButton);
    expectOpen(navigatorrules::kNoGroup);
}

void TestNavigator::rowClickSelectsAndHighlights()
{
    showActive();
    m_fixture->window->navigator().toggleGroup(catalogue::Currencies);
    QSignalSpy requests(&m_fixture->window->navigator(), &Navigator::selectRequested);
    QTest::mouseClick(m_fixture->find("el_title_14"), Qt::LeftButton);
    QTest::mouseClick(m_fixture->find("el_3"), Qt::LeftButton, {}, QPoint(150, 8));
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).at(0).toInt(), 14);
    QCOMPARE(m_fixture->state.selectedIndex(), 3);

    auto *row = m_fixture->find<NavigatorRow>("el_3");
    QCOMPARE(row->palette().color(QPalette::Window), QColor(0x29, 0x8F, 0xCC));
    QCOMPARE(row->title()->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(row->title()->font().bold());
    QVERIFY(m_fixture->find("el_sel_3")->isVisible());
    QVERIFY(row->hasFocus());

    auto *previous = m_fixture->find<NavigatorRow>("el_14");
    QCOMPARE(previous->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(previous->title()->palette().color(QPalette::WindowText), QColor(Qt::black));
    QVERIFY(!previous->title()->font().bold());
    QVERIFY(m_fixture->find("el_sel_14")->isHidden());
    QVERIFY(m_fixture->find("el_sel_0")->isHidden());

    // Selecting the selected row again asks again: the table is redrawn.
    QTest::mouseClick(m_fixture->find("el_title_3"), Qt::LeftButton);
    QCOMPARE(requests.size(), 3);
}

void TestNavigator::squareClickAndSpaceSwitchInstruments()
{
    showActive();
    m_fixture->window->navigator().toggleGroup(catalogue::Currencies);
    auto *square = m_fixture->find<EnableSquare>("el_toggle_5");
    QCOMPARE(square->flag(), QStringLiteral("0"));
    QTest::mouseClick(square, Qt::LeftButton);
    QVERIFY(m_fixture->state.isEnabled(5));
    QCOMPARE(square->flag(), QStringLiteral("1"));
    QCOMPARE(square->color(), QColor(0x00, 0xC0, 0x00));
    QCOMPARE(m_fixture->state.selectedIndex(), 0); // the square does not select

    QTest::mouseClick(m_fixture->find("el_title_7"), Qt::LeftButton);
    QVERIFY(!m_fixture->state.isEnabled(7));
    // Space works on the selected instrument whichever row has the key.
    QTest::keyClick(m_fixture->find("el_7"), Qt::Key_Space);
    QVERIFY(m_fixture->state.isEnabled(7));
    QTest::keyClick(m_fixture->find("el_5"), Qt::Key_Space);
    QVERIFY(!m_fixture->state.isEnabled(7));
    QVERIFY(m_fixture->state.isEnabled(5));
    QCOMPARE(m_fixture->state.selectedIndex(), 7);
    QCOMPARE(m_fixture->find<EnableSquare>("el_toggle_7")->color(), QColor(Qt::white));
}

void TestNavigator::keysFollowTheDisplayOrder()
{
    showActive();
    Navigator &navigator = m_fixture->window->navigator();
    navigator.toggleGroup(catalogue::Commodities);
    m_fixture->state.setSelectedIndex(48);
    QVERIFY(m_fixture->find("el_48")->hasFocus());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(m_fixture->state.selectedIndex(), 60);
    expectOpen(catalogue::Indices);
    QVERIFY(m_fixture->find("el_60")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(m_fixture->state.selectedIndex(), 61);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(m_fixture->state.selectedIndex(), 49);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(m_fixture->state.selectedIndex(), 61);

    // Paging ignores DXY and EXY.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(m_fixture->state.selectedIndex(), 61);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    QCOMPARE(m_fixture->state.selectedIndex(), 61);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(m_fixture->state.selectedIndex(), 48);
    expectOpen(catalogue::Commodities);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(m_fixture->state.selectedIndex(), 49);
    expectOpen(catalogue::Indices);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    QCOMPARE(m_fixture->state.selectedIndex(), 48);
    expectOpen(catalogue::Commodities);
}

void TestNavigator::signalListDoubleClickOpensTheInstrument_data()
{
    QTest::addColumn<QString>("signal");
    QTest::addColumn<int>("openBefore");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("openAfter");
    QTest::newRow("SELL Oil (WTI), Commodities collapsed")
        << "SELL Oil (WTI)" << int(catalogue::Currencies) << 47 << int(catalogue::Commodities);
    QTest::newRow("BUY DXY opens Indices")
        << "BUY DXY" << navigatorrules::kNoGroup << 60 << int(catalogue::Indices);
    QTest::newRow("group already open")
        << "BUY EUR/USD" << int(catalogue::Currencies) << 14 << int(catalogue::Currencies);
    QTest::newRow("before any signal")
        << "" << int(catalogue::Stocks) << 0 << int(catalogue::Stocks);
}

void TestNavigator::signalListDoubleClickOpensTheInstrument()
{
    QFETCH(QString, signal);
    QFETCH(int, openBefore);
    QFETCH(int, selected);
    QFETCH(int, openAfter);

    // A stand-in for the signal list: header row, spacer row, then the signals.
    auto *list = new QTableWidget(signal.isEmpty() ? 2 : 3, 3, m_fixture->window.get());
    list->setObjectName(QStringLiteral("signalgrid"));
    list->setGeometry(600, 450, 300, 200);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QStringList header{QStringLiteral("Time"), QStringLiteral("Signal"),
                             QStringLiteral("Signal option")};
    for (int column = 0; column < 3; ++column)
        list->setItem(0, column, new QTableWidgetItem(header[column]));
    if (!signal.isEmpty()) {
        list->setItem(2, 0, new QTableWidgetItem(QStringLiteral("12:00:00")));
        list->setItem(2, 1, new QTableWidgetItem(signal));
        list->setItem(2, 2, new QTableWidgetItem(QStringLiteral("3")));
    }
    m_fixture->window->finishPanels();
    showActive();
    if (openBefore != navigatorrules::kNoGroup)
        m_fixture->window->navigator().toggleGroup(openBefore);
    QSignalSpy requests(&m_fixture->window->navigator(), &Navigator::selectRequested);

    const int row = list->rowCount() - 1;
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(list->currentColumn(), 1);
    QCOMPARE(list->currentRow(), row);
    QCOMPARE(requests.size(), signal.isEmpty() ? 0 : 1);
    QCOMPARE(m_fixture->state.selectedIndex(), selected);
    expectOpen(openAfter);
}

QTEST_MAIN(TestNavigator)
#include "tst_navigator.moc"
