#include "app/settingskeys.h"
#include "ui/glyphlabel.h"
#include "ui/hoverbutton.h"
#include "ui/twips.h"
#include "ui/windowlayout.h"
#include "windowfixture.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Spot
{
    const char *name;
    QPoint twips;
};

// Where the full layout puts the panels of the other subsystems and the title-bar controls once
// the layout switch has placed them.
const Spot kFull[] = {
    {"Picture32", {2880, 690}},  {"Picture33", {5010, 690}},  {"Picture1", {2880, 1050}},
    {"Picture3", {2880, 1440}},  {"Picture36", {2880, 6900}}, {"Picture35", {5610, 6900}},
    {"Picture37", {8340, 6900}}, {"Picture6", {2880, 7260}},  {"Picture7", {2880, 7630}},
    {"Picture5", {11130, 6900}}, {"Picture8", {11130, 7280}}, {"Label29", {12750, 210}},
    {"Label19", {13950, 210}},   {"Picture19", {14640, 90}},  {"Picture20", {15000, 90}},
    {"Picture23", {15420, 90}},  {"Picture21", {15780, 60}},  {"tip_0", {3990, 1950}},
    {"tip_2", {3000, 1020}},     {"tip_3", {5130, 1020}},     {"tip_4", {4110, 7140}},
    {"tip_5", {7410, 7140}},     {"tip_6", {9780, 7140}},     {"tip_7", {11220, 7650}},
    {"Picture2", {120, 690}},    {"Picture4", {120, 1050}},   {"splitter", {2730, 5040}},
};

// Where the full layout stands before the first switch, as the window was designed.
const Spot kDesign[] = {
    {"Picture7", {2880, 7620}}, {"Picture8", {11130, 7260}}, {"Label29", {13320, 210}},
    {"tip_4", {4170, 8040}},    {"tip_5", {7500, 8010}},     {"tip_6", {9930, 8070}},
};

const Spot kCompact[] = {
    {"Picture36", {120, 690}},  {"Picture35", {2850, 690}}, {"Picture37", {5580, 690}},
    {"Picture6", {120, 1050}},  {"Picture7", {120, 1420}},  {"Picture5", {8370, 690}},
    {"Picture8", {8370, 1050}}, {"tip_4", {1350, 930}},     {"tip_5", {4080, 930}},
    {"tip_6", {6810, 930}},     {"tip_7", {8470, 1440}},    {"Label29", {10030, 210}},
    {"Label19", {11230, 210}},  {"Picture19", {11920, 90}}, {"Picture20", {12280, 90}},
    {"Picture23", {12700, 90}}, {"Picture21", {13060, 60}},
};

// Hidden by the compact layout; the first two are the navigator, hidden by the fold too.
const char *const kFullOnly[] = {"Picture2",  "Picture4", "Picture32", "Picture33",
                                 "Label20_2", "Picture1", "Picture3"};

// Moved with the folded navigator.
const char *const kFolding[] = {"Picture32", "Picture33", "Picture1", "Picture3", "Picture36",
                                "Picture35", "Picture37", "Picture6", "Picture7", "Picture5",
                                "Picture8",  "tip_2",     "tip_3",    "tip_4",    "tip_5",
                                "tip_6",     "tip_7",     "Label29",  "Label19",  "Picture19",
                                "Picture20", "Picture21", "Picture23"};

} // namespace

class TestWindowLayout final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void fullLayoutPlacesEveryPanel();
    void compactAndBackRestoresEverything();
    void foldShiftsAndUnfoldRestores_data();
    void foldShiftsAndUnfoldRestores();
    void compactAfterAFoldShowsTheNavigatorOnReturn();
    void doubleClickOnTheTitleBarSwitches();
    void optionsMenuOpensUnderOptions();
    void optionsMenuRule_data();
    void optionsMenuRule();
    void titleBarButtons();
    void missingPanelsAreSkipped();

private:
    void expectAt(const Spot &spot, QPoint shift = {});
    void expectFull(bool switched);
    // Where the full layout puts `name` (before or after the first switch), shifted left by a fold.
    void expectFullSpot(const char *name, bool switched, QPoint shift = {});
    QWidget *window() { return m_fixture->window.get(); }

    std::unique_ptr<WindowFixture> m_fixture;
};

void TestWindowLayout::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    // Stand-ins for the panels of the other subsystems, where their own code puts them first.
    for (const char *name :
         {"Picture32", "Picture33", "Picture1", "Picture3", "Picture36", "Picture35", "Picture37",
          "Picture6", "Picture7", "Picture5", "Picture8"}) {
        auto *panel = new QWidget(window());
        panel->setObjectName(QLatin1String(name));
        panel->setGeometry(5, 5, 40, 20);
    }
    auto *pivotHelp = new QLabel(QStringLiteral("?"), m_fixture->find("Picture33"));
    pivotHelp->setObjectName(QStringLiteral("Label20_2"));
    pivotHelp->move(3, 2);
    m_fixture->window->finishPanels();
    m_fixture->window->show();
}

void TestWindowLayout::cleanup()
{
    m_fixture.reset();
}

void TestWindowLayout::expectAt(const Spot &spot, QPoint shift)
{
    QWidget *widget = m_fixture->find(QLatin1String(spot.name));
    QVERIFY2(widget, spot.name);
    const QPoint expected = twips::point(spot.twips.x() - shift.x(), spot.twips.y() - shift.y());
    QVERIFY2(widget->pos() == expected, qPrintable(QStringLiteral("%1 at %2,%3, expected %4,%5")
                                                       .arg(QLatin1String(spot.name))
                                                       .arg(widget->x())
                                                       .arg(widget->y())
                                                       .arg(expected.x())
                                                       .arg(expected.y())));
}

void TestWindowLayout::expectFullSpot(const char *name, bool switched, QPoint shift)
{
    if (!switched) {
        for (const Spot &spot : kDesign) {
            if (qstrcmp(spot.name, name) == 0)
                return expectAt(spot, shift);
        }
    }
    for (const Spot &spot : kFull) {
        if (qstrcmp(spot.name, name) == 0)
            return expectAt(spot, shift);
    }
    QFAIL(name);
}

void TestWindowLayout::expectFull(bool switched)
{
    for (const Spot &spot : kFull)
        expectFullSpot(spot.name, switched);
    for (const char *name : kFullOnly)
        QVERIFY2(m_fixture->find(QLatin1String(name))->isVisible(), name);
    QCOMPARE(window()->size(), twips::size(16245, 10740));
    QCOMPARE(m_fixture->find("Shape5")->size(), twips::size(16245, 10800));
    QCOMPARE(m_fixture->window->heightTwips(), 10740);
    QCOMPARE(m_fixture->window->splitterCaption(), QStringLiteral("3"));
    QCOMPARE(m_fixture->find<GlyphLabel>("splitter")->text(), QStringLiteral("3"));
}

void TestWindowLayout::fullLayoutPlacesEveryPanel()
{
    expectFull(false);
    QCOMPARE(m_fixture->find("Label20_2")->pos(), QPoint(3, 2)); // its tab places it
    QCOMPARE(m_fixture->find("Picture9")->geometry(), twips::rect(0, 0, 16245, 555));
    QCOMPARE(m_fixture->find("Picture26")->geometry(), twips::rect(90, 60, 2205, 405));
    QCOMPARE(m_fixture->find("Label4")->geometry(), twips::rect(0, 0, 465, 405));
    const std::pair<const char *, QSize> controlSizes[] = {
        {"Label29", {495, 225}},   {"Label19", {615, 225}},   {"Picture19", {375, 375}},
        {"Picture20", {345, 345}}, {"Picture23", {345, 345}}, {"Picture21", {315, 345}},
    };
    for (const auto &[name, size] : controlSizes)
        QCOMPARE(m_fixture->find(QLatin1String(name))->size(),
                 twips::size(size.width(), size.height()));
    QVERIFY(window()->windowFlags() & Qt::FramelessWindowHint);
}

void TestWindowLayout::compactAndBackRestoresEverything()
{
    QTest::mouseClick(m_fixture->find("Picture23"), Qt::LeftButton);
    for (const Spot &spot : kCompact)
        expectAt(spot);
    for (const char *name : kFullOnly)
        QVERIFY2(m_fixture->find(QLatin1String(name))->isHidden(), name);
    QCOMPARE(window()->size(), twips::size(13495, 4515));
    QCOMPARE(m_fixture->find("Shape5")->size(), twips::size(13495, 4575));
    QCOMPARE(m_fixture->window->heightTwips(), 4515);
    QVERIFY(m_fixture->window->layoutState().compact);

    // Back in the full layout the switch's own positions hold, from then on.
    QTest::mouseClick(m_fixture->find("Picture23"), Qt::LeftButton);
    expectFull(true);
    QTest::mouseClick(m_fixture->find("Picture23"), Qt::LeftButton);
    QTest::mouseClick(m_fixture->find("Picture23"), Qt::LeftButton);
    expectFull(true);
}

void TestWindowLayout::foldShiftsAndUnfoldRestores_data()
{
    QTest::addColumn<bool>("switched");
    QTest::newRow("as designed") << false;
    QTest::newRow("after the layout switch") << true;
}

void TestWindowLayout::foldShiftsAndUnfoldRestores()
{
    QFETCH(bool, switched);
    if (switched) {
        m_fixture->window->switchLayout();
        m_fixture->window->switchLayout();
    }
    QTest::mouseClick(m_fixture->find("splitter"), Qt::LeftButton);
    for (const char *name : kFolding)
        expectFullSpot(name, switched, QPoint(2720, 0));
    expectAt({"tip_0", {3990, 1950}});
    expectAt({"splitter", {0, 5040}});
    QVERIFY(m_fixture->find("Picture2")->isHidden());
    QVERIFY(m_fixture->find("Picture4")->isHidden());
    QVERIFY(m_fixture->find("Picture32")->isVisible());
    QCOMPARE(window()->size(), twips::size(13535, 10740));
    QCOMPARE(m_fixture->find("Shape5")->width(), twips::toPixels(13535));
    QCOMPARE(m_fixture->find<GlyphLabel>("splitter")->text(), QStringLiteral("4"));
    QCOMPARE(m_fixture->settings.readText(settingskeys::kSplit), QStringLiteral("1"));

    QTest::mouseClick(m_fixture->find("splitter"), Qt::LeftButton);
    expectFull(switched);
    QCOMPARE(m_fixture->settings.readText(settingskeys::kSplit), QStringLiteral("0"));
}

void TestWindowLayout::compactAfterAFoldShowsTheNavigatorOnReturn()
{
    m_fixture->window->toggleFold();
    m_fixture->window->switchLayout();
    QVERIFY(m_fixture->window->layoutState().compact);
    for (const Spot &spot : kCompact)
        expectAt(spot);
    QCOMPARE(window()->size(), twips::size(13495, 4515));
    // The fold is kept while compact (stored "Split" stays), and undone when the full returns.
    QCOMPARE(m_fixture->window->splitterCaption(), QStringLiteral("4"));
    m_fixture->window->switchLayout();
    expectFull(true);
    QCOMPARE(m_fixture->settings.readText(settingskeys::kSplit), QStringLiteral("0"));
}

void TestWindowLayout::doubleClickOnTheTitleBarSwitches()
{
    QTest::mouseDClick(m_fixture->find("Picture9"), Qt::LeftButton, {}, QPoint(400, 15));
    QVERIFY(m_fixture->window->layoutState().compact);
    // The logo lets the mouse through to the bar: a double-click there switches back.
    QWidget *bar = m_fixture->find("Picture9");
    const QPoint onLogo = m_fixture->find("Picture26")->geometry().center();
    QCOMPARE(bar->childAt(onLogo), nullptr);
    QTest::mouseDClick(bar, Qt::LeftButton, {}, onLogo);
    expectFull(true);
}

void TestWindowLayout::optionsMenuOpensUnderOptions()
{
    QSignalSpy menu(m_fixture->window.get(), &MainWindow::optionsMenuRequested);
    const auto at = [this](int x, int y) { return window()->mapToGlobal(twips::point(x, y)); };

    QTest::mouseClick(m_fixture->find("Label19"), Qt::LeftButton);
    QTest::mouseClick(m_fixture->find("Label4"), Qt::LeftButton);
    m_fixture->window->switchLayout();
    QTest::mouseClick(m_fixture->find("Label19"), Qt::LeftButton);
    QTest::mouseClick(m_fixture->find("Label4"), Qt::LeftButton);
    m_fixture->window->switchLayout();
    m_fixture->window->toggleFold();
    QTest::mouseClick(m_fixture->find("Label19"), Qt::LeftButton);

    QCOMPARE(menu.size(), 5);
    QCOMPARE(menu.at(0).at(0).toPoint(), at(13900, 550));
    QCOMPARE(menu.at(1).at(0).toPoint(), at(10, 550));
    QCOMPARE(menu.at(2).at(0).toPoint(), at(11180, 550));
    QCOMPARE(menu.at(3).at(0).toPoint(), at(10, 550));
    QCOMPARE(menu.at(4).at(0).toPoint(), at(13900, 550)); // by the height: the full layout's
}

void TestWindowLayout::optionsMenuRule_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("fromLogo");
    QTest::addColumn<int>("x"); // -1: no menu
    QTest::newRow("compact") << 4515 << false << 11180;
    QTest::newRow("just below 5000") << 4999 << false << 11180;
    QTest::newRow("full") << 10740 << false << 13900;
    QTest::newRow("just above 10000") << 10001 << false << 13900;
    QTest::newRow("5000") << 5000 << false << -1;
    QTest::newRow("between the layouts") << 7000 << false << -1;
    QTest::newRow("10000") << 10000 << false << -1;
    QTest::newRow("logo, compact") << 4515 << true << 10;
    QTest::newRow("logo, full") << 10740 << true << 10;
}

void TestWindowLayout::optionsMenuRule()
{
    QFETCH(int, height);
    QFETCH(bool, fromLogo);
    QFETCH(int, x);
    const auto point = windowlayout::optionsMenuPoint(height, fromLogo);
    QCOMPARE(point.has_value(), x >= 0);
    if (point)
        QCOMPARE(*point, QPoint(x, 550));
}

void TestWindowLayout::titleBarButtons()
{
    QSignalSpy minimise(m_fixture->window.get(), &MainWindow::minimiseRequested);
    QSignalSpy close(m_fixture->window.get(), &MainWindow::closeRequested);
    QTest::mouseClick(m_fixture->find("Picture20"), Qt::LeftButton);
    QTest::mouseClick(m_fixture->find("Picture21"), Qt::LeftButton);
    QCOMPARE(minimise.size(), 1);
    QCOMPARE(close.size(), 1);
    QCOMPARE(m_fixture->find("Picture20")->toolTip(), QStringLiteral("Свернуть"));
    QCOMPARE(m_fixture->find("Picture23")->toolTip(), QStringLiteral("Вкл/выкл компактный режим"));
    QCOMPARE(m_fixture->find("Picture21")->toolTip(), QStringLiteral("Закрыть"));

    // Hover images come and go with the pointer.
    auto *button = m_fixture->find<HoverButton>("Picture23");
    const QImage normal = button->grab().toImage();
    QCOMPARE(button->source(), QLatin1String(artwork::kCompactButton.normal));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(button, &enter);
    QVERIFY(button->isHovered());
    QCOMPARE(button->source(), QLatin1String(artwork::kCompactButton.hover));
    QVERIFY(button->grab().toImage() != normal);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    QVERIFY(!button->isHovered());
    QCOMPARE(button->grab().toImage(), normal);

    auto *options = m_fixture->find<QLabel>("Label19");
    QApplication::sendEvent(options, &enter);
    QCOMPARE(options->palette().color(QPalette::WindowText), QColor(0xFF, 0xA8, 0x00));
    QApplication::sendEvent(options, &leave);
    QCOMPARE(options->palette().color(QPalette::WindowText), QColor(Qt::white));
}

void TestWindowLayout::missingPanelsAreSkipped()
{
    WindowFixture bare; // only the window's own widgets
    bare.window->show();
    bare.window->switchLayout();
    QCOMPARE(bare.window->size(), twips::size(13495, 4515));
    QCOMPARE(bare.find("Label29")->pos(), twips::point(10030, 210));
    bare.window->switchLayout();
    QCOMPARE(bare.window->size(), twips::size(16245, 10740));
    QVERIFY(bare.find("Picture4")->isVisible());
}

QTEST_MAIN(TestWindowLayout)
#include "tst_windowlayout.moc"
