#include "app/application.h"
#include "app/settingskeys.h"
#include "signalserver.h"
#include "testhttpserver.h"
#include "ui/artwork.h"
#include "ui/mainwindow.h"
#include "ui/screenfit.h"
#include "ui/svgpicture.h"
#include "ui/twips.h"
#include "ui/windowlayout.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTest>
#include <QTimeZone>

#include <QCoroTask>

namespace {

// A screen of 1280 by 720 less a task bar of 48, and 1920 by 1080 at 150 % less the same task
// bar: the smallest screen the window is made for, and a common laptop's.
constexpr double kSmallestScreen = 672.0 / 716;
constexpr double kLaptopAt150 = 688.0 / 716;

// What a person can see of one widget of the window: whether it lies within the window, and
// whether its text fits its width and its height.
struct Fit
{
    bool inside = false;
    bool textFitsWidth = true;
    bool textFitsHeight = true;
};

QString pathOf(const QWidget *widget, const QWidget *window)
{
    QStringList parts;
    for (; widget && widget != window; widget = widget->parentWidget()) {
        QString part = widget->objectName();
        if (part.isEmpty()) {
            const QObjectList siblings = widget->parent()->children();
            part = QLatin1String(widget->metaObject()->className()) + QLatin1Char('#') +
                   QString::number(siblings.indexOf(widget));
        }
        parts.prepend(part);
    }
    return parts.join(QLatin1Char('/'));
}

Fit textFit(const QWidget *widget, Fit fit)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget);
        label && !label->text().isEmpty()) {
        const QSize hint = label->sizeHint();
        fit.textFitsWidth = label->wordWrap() || hint.width() <= label->width();
        fit.textFitsHeight = label->wordWrap()
                                 ? label->heightForWidth(label->width()) <= label->height()
                                 : hint.height() <= label->height();
    } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
        fit.textFitsWidth = button->sizeHint().width() <= button->width();
    } else if (const auto *box = qobject_cast<const QComboBox *>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                         QStyle::SC_ComboBoxEditField, box);
        fit.textFitsWidth =
            box->fontMetrics().horizontalAdvance(box->currentText()) <= field.width();
    }
    return fit;
}

// Every visible widget of the window, and every cell of its tables, by its place in the window.
QHash<QString, Fit> fitsOf(const QWidget *window)
{
    QHash<QString, Fit> fits;
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window))
            continue;
        const QString path = pathOf(widget, window);
        const QRect area(widget->mapTo(window, QPoint(0, 0)), widget->size());
        fits.insert(path, textFit(widget, Fit{window->rect().contains(area)}));

        const auto *table = qobject_cast<const QTableView *>(widget);
        if (!table || !table->model())
            continue;
        // The views elide a text that does not fit its cell less the focus frame's margins.
        const int margins =
            2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            for (int column = 0; column < table->model()->columnCount(); ++column) {
                const QModelIndex index = table->model()->index(row, column);
                const QVariant font = index.data(Qt::FontRole);
                const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : table->font());
                const int advance = metrics.horizontalAdvance(index.data().toString());
                Fit cell;
                cell.inside = true;
                cell.textFitsWidth = advance + margins <= table->columnWidth(column);
                fits.insert(path + QStringLiteral("/%1,%2").arg(row).arg(column), cell);
            }
        }
    }
    return fits;
}

} // namespace

// The windows drawn smaller as a whole, for a screen too small for the full layout.
class TestWindowScale final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void scaleForTheScreen_data();
    void scaleForTheScreen();
    void storedLayoutKeepsItsMeaning_data();
    void storedLayoutKeepsItsMeaning();
    void nothingIsCut_data();
    void nothingIsCut();
    void picturesAreDrawnForTheScreenTheyAreOn_data();
    void picturesAreDrawnForTheScreenTheyAreOn();

private:
    // The whole window, started against a server publishing its documents.
    std::unique_ptr<Application> startedApplication(QTemporaryDir &dir);

    std::unique_ptr<TestHttpServer> m_server;
};

void TestWindowScale::initTestCase()
{
    // A weekday morning with the markets open: the tables are full.
    const QDateTime moment(QDate(2024, 5, 14), QTime(10, 6), QTimeZone::utc());
    const SignalServer published(MarketSetup{}, ServerContent{}, Clock([moment] { return moment; }),
                                 false);
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->start() != 0);
    for (const QString &path : published.documents().paths()) {
        const Document *document = published.documents().find(path);
        m_server->setRoute(path, {document->body, 200, std::chrono::milliseconds(0),
                                  TestHttpServer::Behaviour::Answer, document->contentType});
    }
}

void TestWindowScale::cleanup()
{
    twips::setScale(1.0);
}

void TestWindowScale::scaleForTheScreen_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<double>("scale");
    QTest::newRow("1920 x 1080 at 100 %") << QSize(1920, 1040) << 1.0;
    QTest::newRow("just large enough") << QSize(1083, 716) << 1.0;
    QTest::newRow("1920 x 1080 at 150 %") << QSize(1280, 688) << kLaptopAt150;
    QTest::newRow("1280 x 720 at 100 %") << QSize(1280, 672) << kSmallestScreen;
    QTest::newRow("narrow") << QSize(1000, 900) << 1000.0 / 1083;
}

void TestWindowScale::scaleForTheScreen()
{
    QFETCH(QSize, available);
    QFETCH(double, scale);
    QCOMPARE(screenfit::scaleFor(available), scale);
    twips::setScale(scale);
    const QSize full = windowlayout::windowSize(windowlayout::State{});
    const QSize window = twips::size(full.width(), full.height());
    QVERIFY(window.width() <= available.width() && window.height() <= available.height());
    // The largest that fits: a pixel less would have been needless.
    QVERIFY(window.width() == available.width() || window.height() == available.height() ||
            scale == 1.0);
    QCOMPARE(screenfit::centredIn(QRect(QPoint(0, 0), available), window),
             QPoint((available.width() - window.width()) / 2,
                    (available.height() - window.height()) / 2));
}

void TestWindowScale::storedLayoutKeepsItsMeaning_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("1920 x 1080 at 150 %") << kLaptopAt150;
    QTest::newRow("1280 x 720 at 100 %") << kSmallestScreen;
}

void TestWindowScale::storedLayoutKeepsItsMeaning()
{
    // The layout is stored and the options menu placed by the window's height in twips.
    QFETCH(double, scale);
    twips::setScale(scale);
    WindowFixture fixture;
    QVERIFY(fixture.window->heightTwips() > 10000);
    QVERIFY(windowlayout::optionsMenuPoint(fixture.window->heightTwips(), false));
    fixture.window->switchLayout();
    QVERIFY(fixture.window->heightTwips() < 5000);
    QVERIFY(windowlayout::optionsMenuPoint(fixture.window->heightTwips(), false));
}

void TestWindowScale::nothingIsCut_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("1920 x 1080 at 150 %") << kLaptopAt150;
    QTest::newRow("1280 x 720 at 100 %") << kSmallestScreen;
}

void TestWindowScale::nothingIsCut()
{
    QFETCH(double, scale);
    QHash<QString, Fit> designed;
    int designedTextPixels = 0;
    {
        QTemporaryDir dir;
        const std::unique_ptr<Application> app = startedApplication(dir);
        designed = fitsOf(&app->window());
        designedTextPixels = QFontInfo(app->window().font()).pixelSize();
    }
    // The indicator table and the calendar have their rows.
    QVERIFY(designed.contains(QStringLiteral("Picture3/gMAIN/24,7")));
    QVERIFY(designed.contains(QStringLiteral("Picture7/newsgrid/3,3")));

    twips::setScale(scale);
    QTemporaryDir scaledDir;
    const std::unique_ptr<Application> app = startedApplication(scaledDir);
    const MainWindow &window = app->window();
    const QSize full = windowlayout::windowSize(windowlayout::State{});
    QCOMPARE(window.size(), twips::size(full.width(), full.height()));

    // Whatever showed whole as designed shows whole, smaller.
    const QHash<QString, Fit> scaled = fitsOf(&window);
    QCOMPARE(QSet<QString>(scaled.keyBegin(), scaled.keyEnd()),
             QSet<QString>(designed.keyBegin(), designed.keyEnd()));
    for (auto it = designed.cbegin(); it != designed.cend(); ++it) {
        const Fit now = scaled.value(it.key());
        QVERIFY2(now.inside || !it->inside, qPrintable(it.key() + QStringLiteral(" sticks out")));
        QVERIFY2(now.textFitsWidth || !it->textFitsWidth,
                 qPrintable(it.key() + QStringLiteral(": its text is cut")));
        QVERIFY2(now.textFitsHeight || !it->textFitsHeight,
                 qPrintable(it.key() + QStringLiteral(": its text is cut below")));
    }
    // The window's text shrinks with it.
    QVERIFY(QFontInfo(window.font()).pixelSize() < designedTextPixels);
}

void TestWindowScale::picturesAreDrawnForTheScreenTheyAreOn_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("logo") << "Picture26";
    QTest::newRow("group icon") << "gr_icon_1";
    QTest::newRow("title-bar button") << "Picture21";
}

void TestWindowScale::picturesAreDrawnForTheScreenTheyAreOn()
{
    // Drawn on a screen of twice the density, as after a move to such a screen, a picture is its
    // drawing rendered at that density, not the picture of the window's first screen enlarged.
    QFETCH(QString, name);
    WindowFixture fixture;
    auto *picture = fixture.find<SvgPicture>(name);
    QVERIFY(picture);
    QPixmap dense(picture->size() * 2);
    dense.setDevicePixelRatio(2);
    dense.fill(Qt::transparent);
    picture->render(&dense, QPoint(), QRegion(), QWidget::DrawChildren);

    const auto image = [](const QPixmap &pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const QPixmap sharp = artwork::pixmap(picture->source(), picture->size(), 2);
    const QPixmap enlarged =
        artwork::pixmap(picture->source(), picture->size(), 1).scaled(dense.size());
    QCOMPARE(image(dense), image(sharp));
    QVERIFY(image(dense) != image(enlarged));
}

std::unique_ptr<Application> TestWindowScale::startedApplication(QTemporaryDir &dir)
{
    Application::Options options;
    options.commandLine.serverAddress = m_server->baseAddress();
    options.commandLine.settingsFile = dir.filePath(QStringLiteral("quentara.ini"));
    options.timings.splash = std::chrono::milliseconds(5);
    auto app = std::make_unique<Application>(options);
    QCoro::waitFor(app->startUp());
    return app;
}

QTEST_MAIN(TestWindowScale)
#include "tst_windowscale.moc"
