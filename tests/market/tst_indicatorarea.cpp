#include "app/application.h"
#include "app/settingskeys.h"
#include "market/indicatorarea.h"
#include "market/indicatorgridfill.h"
#include "market/indicatortable.h"
#include "market/instrumentrecord.h"
#include "market/marketview.h"
#include "recordbuilder.h"
#include "testhttpserver.h"
#include "ui/mainwindow.h"
#include "ui/svgpicture.h"
#include "ui/twips.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QCoroTask>

using namespace std::chrono_literals;

namespace {

QColor background(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

QColor textColour(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

} // namespace

class TestIndicatorArea final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void widgetsAtTheirPlaces_data();
    void widgetsAtTheirPlaces();
    void tabsSwitchTheTableArea();
    void tableShowsTheVisibleGrid();
    void tableMeasuresEachTextOncePerChange();
    void captionBarAndDataMissingPanel();
    void statusIndicator_data();
    void statusIndicator();
    void pivotMarkersFollowTheLevels();
    void startUpShowsTheStoredInstrumentAndArmsTheTimers();

private:
    template<typename T = QWidget>
    T *widget(const QString &name) const
    {
        return m_window->findChild<T *>(name);
    }

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<MarketView> m_view;
};

void TestIndicatorArea::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->setObjectName(QStringLiteral("Form1"));
    m_window->resize(twips::size(16245, 10740));
    m_view = std::make_unique<MarketView>();
    m_view->gridrazm();
    createIndicatorArea(m_window.get(), *m_view);
    m_window->show();
}

void TestIndicatorArea::cleanup()
{
    m_window.reset();
    m_view.reset();
}

void TestIndicatorArea::widgetsAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("place"); // twips

    QTest::newRow("Indicators tab") << "Picture32"
                                    << "Form1" << QRect(2880, 690, 2115, 375);
    QTest::newRow("Pivot Points tab") << "Picture33"
                                      << "Form1" << QRect(5010, 690, 2115, 345);
    QTest::newRow("caption bar") << "Picture1"
                                 << "Form1" << QRect(2880, 1050, 13245, 405);
    QTest::newRow("table area") << "Picture3"
                                << "Form1" << QRect(2880, 1440, 13245, 5265);
    QTest::newRow("pivot panel") << "pivotpic"
                                 << "Picture3" << QRect(60, 60, 13125, 5145);
    QTest::newRow("updating levels") << "RefreshPivots"
                                     << "Picture3" << QRect(30, 60, 13155, 5115);
    QTest::newRow("M5 column") << "Picture34_1"
                               << "pivotpic" << QRect(120, 450, 1875, 4815);
    QTest::newRow("M15 column") << "Picture34_2"
                                << "pivotpic" << QRect(2280, 450, 1935, 4815);
    QTest::newRow("D1 column") << "Picture34_6"
                               << "pivotpic" << QRect(10650, 450, 1905, 4815);
    QTest::newRow("M5 heading") << "PPtimeframe_0"
                                << "pivotpic" << QRect(960, 60, 585, 225);
    QTest::newRow("H4 heading") << "PPtimeframe_5"
                                << "pivotpic" << QRect(9390, 60, 585, 225);
    QTest::newRow("R3 marker") << "r3_1"
                               << "Picture34_1" << QRect(880, 0, 1170, 225);
    QTest::newRow("P marker") << "p_3"
                              << "Picture34_3" << QRect(880, 2190, 1170, 225);
    QTest::newRow("S3 marker") << "s3_6"
                               << "Picture34_6" << QRect(880, 4350, 1170, 225);
    QTest::newRow("pivot price") << "pprice_2"
                                 << "p_2" << QRect(360, 30, 585, 225);
    QTest::newRow("S2 price") << "s2price_4"
                              << "s2_4" << QRect(360, 30, 585, 225);
    QTest::newRow("price marker") << "price_5"
                                  << "Picture34_5" << QRect(45, 4350, 825, 315);
    QTest::newRow("price caption") << "pricecaption_5"
                                   << "price_5" << QRect(0, 60, 675, 225);
}

void TestIndicatorArea::widgetsAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, place);
    const QWidget *found = widget(name);
    QVERIFY2(found, qPrintable(name));
    QCOMPARE(found->parentWidget()->objectName(), parent);
    QCOMPARE(found->geometry(),
             twips::rect(place.left(), place.top(), place.width(), place.height()));
}

void TestIndicatorArea::tabsSwitchTheTableArea()
{
    auto *indicators = widget("Picture32");
    auto *pivotPoints = widget("Picture33");
    QCOMPARE(widget<QLabel>("Label14")->text(), QStringLiteral("Indicators"));
    QCOMPARE(widget<QLabel>("Label17")->text(), QStringLiteral("Pivot Points"));
    for (const char *help : {"Label20_1", "Label20_2"}) {
        QCOMPARE(widget<QLabel>(help)->text(), QStringLiteral("?"));
        QCOMPARE(widget<QLabel>(help)->toolTip(), QStringLiteral("Подсказка"));
    }
    QVERIFY(!widget("Picture34_0")); // no M1 column
    QVERIFY(!widget("pivotpic")->isVisible());
    QCOMPARE(background(indicators), QColor(0x29, 0x8F, 0xCC));
    QCOMPARE(background(pivotPoints), QColor(0x80, 0x80, 0x80));

    // The help label opens its tip, not the tab.
    QTest::mouseClick(widget("Label20_2"), Qt::LeftButton);
    QVERIFY(!m_view->isPivotTabActive());

    QTest::mouseClick(widget("Label17"), Qt::LeftButton);
    QVERIFY(m_view->isPivotTabActive());
    QVERIFY(widget("pivotpic")->isVisible());
    QCOMPARE(background(pivotPoints), QColor(0x29, 0x8F, 0xCC));
    QCOMPARE(background(indicators), QColor(0x80, 0x80, 0x80));
    QCOMPARE(pivotPoints->height(), twips::toPixels(375));
    QCOMPARE(indicators->height(), twips::toPixels(345));

    m_view->setRefreshPanelVisible(true);
    QVERIFY(widget("RefreshPivots")->isVisible());
    QCOMPARE(widget<QLabel>("Label18")->text(), QStringLiteral("Updating levels..."));

    // Where the window's layout put the tabs stays theirs.
    indicators->move(indicators->x() - twips::toPixels(2720), indicators->y());
    const QPoint folded = indicators->pos();
    QTest::mouseClick(indicators, Qt::LeftButton);
    QCOMPARE(indicators->pos(), folded);
    QVERIFY(!m_view->isPivotTabActive());
    QVERIFY(!widget("pivotpic")->isVisible());
    QVERIFY(!widget("RefreshPivots")->isVisible());
    QCOMPARE(indicators->height(), twips::toPixels(375));
}

void TestIndicatorArea::tableShowsTheVisibleGrid()
{
    auto *table = widget<QTableView>("gMAIN");
    QVERIFY(table);
    QCOMPARE(table->parentWidget()->objectName(), QStringLiteral("Picture3"));
    const QString record =
        RecordBuilder().setEveryTimeframe(1, 1, "Strong Sell").setPrice("1.0914").text();
    m_view->loadInd(m_view->visibleGrid(), 14, record, QStringLiteral("EUR/USD"));

    const QAbstractItemModel *model = table->model();
    QCOMPARE(model->rowCount(), 25);
    QCOMPARE(model->columnCount(), 8);
    const QModelIndex summary = model->index(24, 7);
    QCOMPARE(model->data(summary).toString(), QStringLiteral("STRONG SELL"));
    QCOMPARE(model->data(summary, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QVERIFY(model->data(summary, Qt::FontRole).value<QFont>().bold());
    QCOMPARE(model->data(model->index(2, 0)).toString(), QStringLiteral("RSI(14)"));
    QCOMPARE(model->data(model->index(0, 0), Qt::ForegroundRole).value<QColor>(),
             QColor(Qt::white));

    QCOMPARE(table->rowHeight(14), 0);
    QCOMPARE(table->rowHeight(22), 0);
    QCOMPARE(table->rowHeight(3), twips::toPixels(210));
    QCOMPARE(table->columnWidth(0), twips::toPixels(1800));
    QCOMPARE(table->columnWidth(5), twips::toPixels(1600));
    QCOMPARE(table->y(), twips::toPixels(210));

    QVERIFY(table->isVisible());
    m_view->hideAllGrids();
    QVERIFY(!table->isVisible());
}

void TestIndicatorArea::tableMeasuresEachTextOncePerChange()
{
    IndicatorGrid grid;
    gridrazm(grid);
    QVERIFY(loadInd(grid, 14, InstrumentRecord(RecordBuilder().text())));
    QStringList measured;
    IndicatorTableModel model(grid, [&measured](const QString &text, const QFont &font) {
        measured << text;
        return QFontMetrics(font).horizontalAdvance(text);
    });
    const auto repaint = [&model] {
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 0; column < model.columnCount(); ++column) {
                model.data(model.index(row, column), Qt::TextAlignmentRole);
                model.data(model.index(row, column), Qt::ToolTipRole);
            }
        }
    };
    repaint();
    const qsizetype first = measured.size();
    QVERIFY(first <= IndicatorGrid::kRows * IndicatorGrid::kColumns);
    repaint();
    repaint();
    QCOMPARE(measured.size(), first);

    // One long text arrives: it alone is measured, once, and shown from its start with a tip.
    // The cell is handed as much of it as fills the cell, not all of it at every repaint.
    const QString longText = QStringLiteral("Strong Buy ") + QString(20000, QLatin1Char('w'));
    grid.cell(5, 3).text = longText;
    model.refresh();
    repaint();
    repaint();
    QCOMPARE(measured.mid(first), QStringList{longText});
    const QString shown = model.data(model.index(5, 3), Qt::DisplayRole).toString();
    QVERIFY(longText.startsWith(shown));
    QVERIFY(shown.size() < 1000);
    QVERIFY(QFontMetrics(model.data(model.index(5, 3), Qt::FontRole).value<QFont>())
                .horizontalAdvance(shown) > twips::toPixels(1600));
    const QString tip = model.data(model.index(5, 3), Qt::ToolTipRole).toString();
    QVERIFY(tip.startsWith(QStringLiteral("Strong Buy www")));
    QVERIFY(tip.size() < 2000);
    QCOMPARE(model.data(model.index(5, 3), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignLeft | Qt::AlignVCenter));
    QCOMPARE(model.data(model.index(5, 4), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QVERIFY(model.data(model.index(5, 4), Qt::ToolTipRole).isNull());
}

void TestIndicatorArea::captionBarAndDataMissingPanel()
{
    auto *caption = widget<QLabel>("Label1");
    QCOMPARE(caption->parentWidget()->objectName(), QStringLiteral("Picture1"));
    m_view->loadInd(m_view->visibleGrid(), 14, RecordBuilder().text(), QStringLiteral("EUR/USD"));
    QCOMPARE(caption->text(), QStringLiteral("EUR/USD \u2013 1.0914"));
    QVERIFY(!widget("errpic")->isVisible());

    m_view->loadInd(m_view->visibleGrid(), 14, QString(), QStringLiteral("EUR/USD"));
    QCOMPARE(caption->text(), QStringLiteral("Data is being updated. Try it in a minute."));
    auto *errpic = widget("errpic");
    QVERIFY(errpic->isVisible());
    QStringList lines;
    for (const QLabel *label : errpic->findChildren<QLabel *>())
        lines << label->text();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0),
             QStringLiteral("Нет соединения или на сервере по данному инструменту идет "
                            "обновление данных."));
    QCOMPARE(lines.at(1), QStringLiteral("Повторите попытку через несколько секунд."));
    QVERIFY(lines.at(2).contains(QLatin1String("https://quentara.app/faq/")));
}

void TestIndicatorArea::statusIndicator_data()
{
    QTest::addColumn<ConnectionStatus>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("icon");
    QTest::newRow("connecting") << ConnectionStatus::Connecting << "Connecting"
                                << QColor(0x00, 0x67, 0xC4) << ":/market/connecting.svg";
    QTest::newRow("online") << ConnectionStatus::Online << "Online" << QColor(0x00, 0x67, 0xC4)
                            << ":/market/online.svg";
    QTest::newRow("offline") << ConnectionStatus::Offline << "Offline" << QColor(0xE8, 0x00, 0x00)
                             << ":/market/offline.svg";
}

void TestIndicatorArea::statusIndicator()
{
    QFETCH(ConnectionStatus, status);
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QFETCH(QString, icon);

    m_view->setStatus(ConnectionStatus::Connecting);
    m_view->setStatus(ConnectionStatus::Offline);
    m_view->setStatus(status);
    auto *label = widget<QLabel>("progress_label");
    QCOMPARE(label->text(), text);
    QCOMPARE(textColour(label), colour);
    auto *picture = widget<SvgPicture>("progress");
    QVERIFY(picture);
    QCOMPARE(picture->source(), icon);
    QVERIFY(QFile::exists(icon));
}

void TestIndicatorArea::pivotMarkersFollowTheLevels()
{
    RecordBuilder builder;
    builder.setPrice("1,234.5");
    builder.setPivots(
        2, {"1,200.0", "1,220.0", "1,240.0", "1,250.0", "1,260.0", "1,280.0", "1,300.0"});
    m_view->loadInd(m_view->visibleGrid(), 52, builder.text(), QStringLiteral("FTSE 100"));

    QCOMPARE(widget("p_2")->y(), twips::toPixels(2175));
    QCOMPARE(widget("r1_2")->y(), twips::toPixels(1740));
    QCOMPARE(widget("s3_2")->y(), twips::toPixels(4350));
    QCOMPARE(widget<QLabel>("pprice_2")->text(), QStringLiteral("1,250.0"));
    QCOMPARE(widget<QLabel>("r3price_2")->text(), QStringLiteral("1,300.0"));
    QCOMPARE(widget<QLabel>("pricecaption_2")->text(), QStringLiteral("1234.5"));
    QCOMPARE(widget("price_2")->y(), twips::toPixels(2849));
    QCOMPARE(widget<QLabel>("pricecaption_6")->text(), QStringLiteral("1234.5"));
    QVERIFY(widget<QLabel>("pprice_2")->font().bold());
    QVERIFY(!widget<QLabel>("s1price_2")->font().bold());

    // Each level's tick crosses the scale line, at the level's new height.
    m_view->choosePivotPoints();
    const QImage column = widget("Picture34_2")->grab().toImage();
    const int leftOfScale = twips::toPixels(870) - 3;
    const QColor tick(0xC0, 0xC0, 0xC0);
    QCOMPARE(column.pixelColor(leftOfScale, widget("p_2")->y()), tick);
    QCOMPARE(column.pixelColor(leftOfScale, widget("r1_2")->y()), tick);
    QCOMPARE(column.pixelColor(leftOfScale, twips::toPixels(2190)), QColor(Qt::white));
}

void TestIndicatorArea::startUpShowsTheStoredInstrumentAndArmsTheTimers()
{
    TestHttpServer server;
    QVERIFY(server.start() != 0);
    server.serveData(QStringLiteral("signals/-cantrade_xml.php"), QStringLiteral("yes"));
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        server.serveData(QStringLiteral("signals/%1.xml").arg(catalogue::serverCode(index)),
                         RecordBuilder().text());
    }
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("quentara.ini"));
    SettingsStore(ini).writeText(settingskeys::kInstrumentsSelected, QStringLiteral("14"));

    Application::Options options;
    options.commandLine.serverAddress = server.baseAddress();
    options.commandLine.settingsFile = ini;
    options.timings.kick = 50ms;
    Application app(options);
    QVERIFY(QCoro::waitFor(app.startUp()));

    const auto find = [&](const char *name) { return app.window().findChild<QWidget *>(name); };
    QCOMPARE(find("Picture1")->parentWidget(), &app.window());
    QCOMPARE(app.window().findChild<QLabel *>("Label1")->text(),
             QStringLiteral("EUR/USD \u2013 1.0914"));
    QVERIFY(find("gMAIN")->isVisible());
    QVERIFY(!find("errpic")->isVisible());
    // Selected before the window was shown: the status still reads as at start.
    QCOMPARE(app.window().findChild<QLabel *>("progress_label")->text(), QStringLiteral("Offline"));

    const auto timer = [&](const char *name) {
        auto *found = app.findChild<QTimer *>(name);
        return found && found->isActive() ? found->intervalAsDuration() : -1ms;
    };
    QCOMPARE(timer("Timer1"), 60000ms);
    QCOMPARE(timer("Timer6"), 60000ms);
    QCOMPARE(timer("Timer3"), 50ms);
    // The kick runs the first cycle and stops.
    QTRY_COMPARE(app.window().findChild<QLabel *>("progress_label")->text(),
                 QStringLiteral("Online"));
    QCOMPARE(timer("Timer3"), -1ms);
    QCOMPARE(server.requestCount(QStringLiteral("signals/-cantrade_xml.php")), 1);
}

QTEST_MAIN(TestIndicatorArea)
#include "tst_indicatorarea.moc"
