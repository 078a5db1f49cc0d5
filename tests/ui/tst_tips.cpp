#include "app/settingskeys.h"
#include "ui/clicklabel.h"
#include "ui/helplabel.h"
#include "ui/tips.h"
#include "windowfixture.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QTest>

namespace {

QString tipName(int tip)
{
    return QStringLiteral("tip_") + QString::number(tip);
}

} // namespace

class TestTips final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void helpLabelOpensItsTip_data();
    void helpLabelOpensItsTip();
    void nextWalksTheChain();
    void hideBringsBackTheNeverLinks();
    void neverShowIsRemembered_data();
    void neverShowIsRemembered();
    void clicksElsewhereHideTheTip();
    void tipsLieAboveEveryPanel();
    void tipLinksKeepTheirColourUnderThePointer();
    void tipsSayExactlyTheirTexts_data();
    void tipsSayExactlyTheirTexts();

private:
    QWidget *tip(int i) const { return m_fixture->find(tipName(i)); }
    void click(const QString &name) { QTest::mouseClick(m_fixture->find(name), Qt::LeftButton); }
    void expectOnlyOpen(int open);

    std::unique_ptr<WindowFixture> m_fixture;
};

void TestTips::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    // Stand-ins for the panels holding the other "?" labels, made after the window's own.
    for (int k = 1; k <= 6; ++k) {
        auto *panel = new QWidget(m_fixture->window.get());
        panel->setObjectName(QStringLiteral("panel%1").arg(k));
        panel->setGeometry(200 + 40 * k, 680, 36, 24); // where no tip covers it
        makeHelpLabel(k, panel)->move(4, 2);
    }
    m_fixture->window->finishPanels();
    m_fixture->window->show();
}

void TestTips::cleanup()
{
    m_fixture.reset();
}

void TestTips::expectOnlyOpen(int open)
{
    for (int i = 0; i < tiptexts::kTipCount; ++i)
        QVERIFY2(tip(i)->isVisible() == (i == open), qPrintable(tipName(i)));
}

void TestTips::helpLabelOpensItsTip_data()
{
    QTest::addColumn<int>("label");
    QTest::addColumn<int>("tip");
    QTest::addColumn<QString>("title");
    QTest::newRow("navigator") << 0 << 0 << "Инструменты";
    QTest::newRow("indicators") << 1 << 2 << "Индикаторы";
    QTest::newRow("pivot points") << 2 << 3 << "Точки пивот";
    QTest::newRow("calendar") << 3 << 4 << "Экономический календарь на неделю";
    QTest::newRow("signals") << 4 << 7 << "Сигналы";
    QTest::newRow("news feed") << 5 << 5 << "Новостная лента";
    QTest::newRow("market review") << 6 << 6 << "Обзор рынка";
}

void TestTips::helpLabelOpensItsTip()
{
    QFETCH(int, label);
    QFETCH(int, tip);
    QFETCH(QString, title);
    m_fixture->window->tips().openForLabel(label == 0 ? 1 : 0); // another tip is open first
    auto *help = m_fixture->find<QLabel>(QStringLiteral("Label20_%1").arg(label));
    QCOMPARE(help->text(), QStringLiteral("?"));
    QCOMPARE(help->toolTip(), QStringLiteral("Подсказка"));
    QCOMPARE(help->cursor().shape(), Qt::PointingHandCursor); // the same in every panel
    QTest::mouseClick(help, Qt::LeftButton);
    expectOnlyOpen(tip);
    QCOMPARE(m_fixture->find<QLabel>(QStringLiteral("tipcaption_%1").arg(tip))->text(), title);
    QVERIFY(m_fixture->find<QLabel>(QStringLiteral("tiptext_%1").arg(tip))->text().size() > 100);
    for (int i = 0; i < tiptexts::kTipCount; ++i)
        QVERIFY(m_fixture->find(QStringLiteral("tiplinknever_%1").arg(i))->isHidden());
    QCOMPARE(m_fixture->find(QStringLiteral("tiplinkclose_%1").arg(tip))->isVisible(), true);
}

void TestTips::nextWalksTheChain()
{
    QTest::mouseClick(m_fixture->find("Label20_0"), Qt::LeftButton);
    const int chain[] = {0, 2, 3, 4, 5, 6, 7};
    for (int step = 0; step + 1 < int(std::size(chain)); ++step) {
        const int t = chain[step];
        auto *next = m_fixture->find<ClickLabel>(QStringLiteral("tiplinknext_%1").arg(step));
        QVERIFY(next);
        QCOMPARE(next->parentWidget(), tip(t));
        QCOMPARE(next->text(), QStringLiteral("Далее >>"));
        QTest::mouseClick(next, Qt::LeftButton);
        expectOnlyOpen(chain[step + 1]);
    }
    QVERIFY(!m_fixture->find("tiplinknext_6"));
    QVERIFY(tip(7)->findChildren<ClickLabel *>(QStringLiteral("tiplinknext_5")).isEmpty());
    QVERIFY(!m_fixture->window->tips().panel(7)->nextLink());
    QVERIFY(!m_fixture->window->tips().panel(1)->nextLink());
}

void TestTips::hideBringsBackTheNeverLinks()
{
    TipSet &tips = m_fixture->window->tips();
    QTest::mouseClick(m_fixture->find("Label20_3"), Qt::LeftButton);
    click(QStringLiteral("tiplinkclose_4"));
    expectOnlyOpen(-1);
    // A tip reached through "Далее >>" now offers "Больше не показывать".
    tips.panel(0)->show();
    click(QStringLiteral("tiplinknext_0"));
    expectOnlyOpen(2);
    QVERIFY(m_fixture->find("tiplinknever_2")->isVisible());
    // Through a "?" label it never does.
    QTest::mouseClick(m_fixture->find("Label20_5"), Qt::LeftButton);
    QVERIFY(m_fixture->find("tiplinknever_5")->isHidden());
    QCOMPARE(m_fixture->settings.readText(settingskeys::kTips), QString());
}

void TestTips::neverShowIsRemembered_data()
{
    QTest::addColumn<int>("tip");
    QTest::addColumn<QString>("key");
    QTest::newRow("instruments") << 0 << settingskeys::kTips;
    QTest::newRow("market review") << 6 << settingskeys::kTips;
    QTest::newRow("signals") << 7 << settingskeys::kTipSignals;
}

void TestTips::neverShowIsRemembered()
{
    QFETCH(int, tip);
    QFETCH(QString, key);
    TipSet &tips = m_fixture->window->tips();
    tips.close(tip); // the links are back
    tips.panel(tip)->show();
    click(QStringLiteral("tiplinknever_%1").arg(tip));
    expectOnlyOpen(-1);
    QCOMPARE(m_fixture->settings.read(settingskeys::kSettings, key), QStringLiteral("False"));
}

void TestTips::clicksElsewhereHideTheTip()
{
    m_fixture->window->navigator().toggleGroup(0);
    const QString places[] = {QStringLiteral("el_title_4"), QStringLiteral("gr_header_1"),
                              QStringLiteral("Picture9"), QStringLiteral("panel2"),
                              QStringLiteral("Label2")};
    for (const QString &place : places) {
        QTest::mouseClick(m_fixture->find("Label20_0"), Qt::LeftButton);
        expectOnlyOpen(0);
        // Inside the tip nothing closes it.
        QTest::mouseClick(m_fixture->find("tiptext_0"), Qt::LeftButton);
        expectOnlyOpen(0);
        // Picture9 is pressed beside the logo, away from the options hot spot.
        const QPoint at = place == QLatin1String("Picture9") ? QPoint(400, 15) : QPoint(2, 2);
        QTest::mousePress(m_fixture->find(place), Qt::LeftButton, {}, at);
        QTest::mouseRelease(m_fixture->find(place), Qt::LeftButton, {}, at);
        QVERIFY2(tip(0)->isHidden(), qPrintable(place));
    }
    // A key move selects too, and a selection closes the tip as well.
    QTest::mouseClick(m_fixture->find("Label20_0"), Qt::LeftButton);
    m_fixture->window->navigator().handleKey(navigatorrules::Key::Down);
    QVERIFY(tip(0)->isHidden());
}

void TestTips::tipsLieAboveEveryPanel()
{
    const QObjectList children = m_fixture->window->children();
    const qsizetype lastPanel = children.indexOf(m_fixture->find("panel6"));
    for (int i = 0; i < tiptexts::kTipCount; ++i)
        QVERIFY(children.indexOf(tip(i)) > lastPanel);
    QVERIFY(children.indexOf(m_fixture->find("Shape5")) > children.indexOf(tip(7)));
}

void TestTips::tipLinksKeepTheirColourUnderThePointer()
{
    click(QStringLiteral("Label20_0"));
    const QList<std::pair<QString, QColor>> links{{"tiplinknever_0", QColor(0x00, 0x67, 0xC4)},
                                                  {"tiplinkclose_0", QColor(0x80, 0x00, 0x00)},
                                                  {"tiplinknext_0", QColor(0x00, 0x67, 0xC4)}};
    for (const auto &[name, colour] : links) {
        auto *link = m_fixture->find<QLabel>(name);
        QCOMPARE(link->palette().color(QPalette::WindowText), colour);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(link, &enter);
        QCOMPARE(link->palette().color(QPalette::WindowText), colour);
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }
}

void TestTips::tipsSayExactlyTheirTexts_data()
{
    QTest::addColumn<int>("tip");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    // Letter for letter as the program has always shown them: "Cоветуем" in tip 7 begins with a
    // Latin C.
    QTest::newRow("tip 0")
        << 0 << QString::fromUtf16(u"Инструменты")
        << QString::fromUtf16(
               u"В этом блоке вы можете выбрать инструмент, показания индикаторов которого Вы "
               u"хотите увидеть. Для получения сигналов по нужному инструменту, щелкните по "
               u"белому квадратику рядом с названием инструмента, чтобы он загорелся зеленым "
               u"цветом.");
    QTest::newRow("tip 2")
        << 2 << QString::fromUtf16(u"Индикаторы")
        << QString::fromUtf16(
               u"В этой области отображаются показания индикаторов. На основе этих показаний Вы "
               u"можете принять решение об открытии сделки.");
    QTest::newRow("tip 3")
        << 3 << QString::fromUtf16(u"Точки пивот")
        << QString::fromUtf16(
               u"В этом блоке отображены вероятные уровни разворота. Не рекомендуется открывать "
               u"сделку, если вы получили сигнал и цена находится вблизи точки пивот.");
    QTest::newRow("tip 4")
        << 4 << QString::fromUtf16(u"Экономический календарь на неделю")
        << QString::fromUtf16(
               u"Здесь показаны события текущей недели. Вы можете установить свой часовой пояс. "
               u"Например, для Москвы будет GMT +3. Так же можно настроить вывод новостей по "
               u"важности. Не рекомендуется торговать за 15 минут до выхода важных новостей и 15 "
               u"минут после.");
    QTest::newRow("tip 5")
        << 5 << QString::fromUtf16(u"Новостная лента")
        << QString::fromUtf16(
               u"Здесь представлены последние новости из самых разных отраслей, оказывающих "
               u"непосредственное влияние на котировки валют, — новости экономики, финансов, "
               u"политики и валютных рынков.");
    QTest::newRow("tip 6")
        << 6 << QString::fromUtf16(u"Обзор рынка")
        << QString::fromUtf16(
               u"Ежедневная аналитика рынка, прогноз курса валют на сегодня, завтра, обзор рынка "
               u"на неделю. Прогнозы, рекомендации и комментарии от валютных экспертов.");
    QTest::newRow("tip 7")
        << 7 << QString::fromUtf16(u"Сигналы")
        << QString::fromUtf16(
               u"В этом блоке отображаются рекомендации по открытию сделок. Cоветуем обращать "
               u"внимание только на сильные сигналы. После выхода сигнала Вы можете "
               u"проанализировать график, показания индикаторов и принять решение об открытии "
               u"сделки.");
}

void TestTips::tipsSayExactlyTheirTexts()
{
    QFETCH(int, tip);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QCOMPARE(m_fixture->find<QLabel>(QStringLiteral("tipcaption_%1").arg(tip))->text(), title);
    QCOMPARE(m_fixture->find<QLabel>(QStringLiteral("tiptext_%1").arg(tip))->text(), text);
    if (tip == 7)
        QCOMPARE(text.at(text.indexOf(QStringLiteral("оветуем")) - 1), QChar(u'C'));
}

QTEST_MAIN(TestTips)
#include "tst_tips.moc"
