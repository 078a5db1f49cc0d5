#include "ui/navigatorrules.h"

#include <QTest>

using navigatorrules::Key;
using navigatorrules::KeyMove;

Q_DECLARE_METATYPE(navigatorrules::Key)

namespace {

constexpr int kNothing = -1;

} // namespace

// The navigator's placement rule against the header and row tops it must produce, and the key
// moves against their tables, row by row.
class TestNavigatorRules final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void headerTops_data();
    void headerTops();
    void rowTops_data();
    void rowTops();
    void keyMoves_data();
    void keyMoves();
    void spaceTogglesTheSelectedRowOnly();
};

void TestNavigatorRules::headerTops_data()
{
    QTest::addColumn<int>("open");
    QTest::addColumn<QList<int>>("tops");
    QTest::newRow("all closed") << navigatorrules::kNoGroup << QList<int>{0, 405, 810, 1215, 1620};
    QTest::newRow("Currencies") << 0 << QList<int>{0, 7545, 7950, 8355, 8760};
    QTest::newRow("Cryptocurrencies") << 1 << QList<int>{0, 405, 4635, 5040, 5445};
    QTest::newRow("Commodities") << 2 << QList<int>{0, 405, 810, 2745, 3150};
    QTest::newRow("Indices") << 3 << QList<int>{0, 405, 810, 1215, 4170};
    QTest::newRow("Stocks") << 4 << QList<int>{0, 405, 810, 1215, 1620};
}

void TestNavigatorRules::headerTops()
{
    QFETCH(int, open);
    QFETCH(QList<int>, tops);
    const auto computed = navigatorrules::headerTops(open);
    QCOMPARE(QList<int>(computed.begin(), computed.end()), tops);
}

void TestNavigatorRules::rowTops_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("firstTop");
    QTest::newRow("currencies keep 405 + 255 i") << 0 << 27 << 405;
    QTest::newRow("cryptocurrencies") << 28 << 42 << 810;
    QTest::newRow("commodities") << 43 << 48 << 1215;
    QTest::newRow("indices after DXY and EXY") << 49 << 56 << 2130;
    QTest::newRow("stocks") << 57 << 59 << 2025;
    QTest::newRow("DXY and EXY head the indices") << 60 << 61 << 1620;
}

void TestNavigatorRules::rowTops()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, firstTop);
    for (int i = first; i <= last; ++i)
        QCOMPARE(navigatorrules::rowTop(i), firstTop + 255 * (i - first));
}

void TestNavigatorRules::keyMoves_data()
{
    QTest::addColumn<Key>("key");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("open");
    QTest::addColumn<int>("select");

    struct Line
    {
        const char *name;
        Key key;
        int from, to, open, select;
    };
    const Line lines[] = {
        {"PgUp 1-27", Key::PageUp, 1, 27, kNothing, 0},
        {"PgUp 28", Key::PageUp, 28, 28, 0, 27},
        {"PgUp 29-42", Key::PageUp, 29, 42, kNothing, 28},
        {"PgUp 43", Key::PageUp, 43, 43, 1, 42},
        {"PgUp 44-48", Key::PageUp, 44, 48, kNothing, 43},
        {"PgUp 49", Key::PageUp, 49, 49, 2, 48},
        {"PgUp 50-56", Key::PageUp, 50, 56, kNothing, 49},
        {"PgUp 57", Key::PageUp, 57, 57, 3, 56},
        {"PgUp 58-59", Key::PageUp, 58, 59, kNothing, 57},
        {"PgUp 0", Key::PageUp, 0, 0, kNothing, kNothing},
        {"PgUp 60-61", Key::PageUp, 60, 61, kNothing, kNothing},
        {"PgDn 0-26", Key::PageDown, 0, 26, kNothing, 27},
        {"PgDn 27", Key::PageDown, 27, 27, 1, 28},
        {"PgDn 28-41", Key::PageDown, 28, 41, kNothing, 42},
        {"PgDn 42", Key::PageDown, 42, 42, 2, 43},
        {"PgDn 43-47", Key::PageDown, 43, 47, kNothing, 48},
        {"PgDn 48 skips DXY and EXY", Key::PageDown, 48, 48, 3, 49},
        {"PgDn 49-55", Key::PageDown, 49, 55, kNothing, 56},
        {"PgDn 56", Key::PageDown, 56, 56, 4, 57},
        {"PgDn 57-58", Key::PageDown, 57, 58, kNothing, 59},
        {"PgDn 59-61", Key::PageDown, 59, 61, kNothing, kNothing},
        {"Up 0", Key::Up, 0, 0, kNothing, kNothing},
        {"Up 28", Key::Up, 28, 28, 0, 27},
        {"Up 43", Key::Up, 43, 43, 1, 42},
        {"Up 57", Key::Up, 57, 57, 3, 56},
        {"Up 60", Key::Up, 60, 60, 2, 48},
        {"Up 61", Key::Up, 61, 61, kNothing, 60},
        {"Up 49", Key::Up, 49, 49, kNothing, 61},
        {"Up 1-27", Key::Up, 1, 27, kNothing, -2},
        {"Up 29-42", Key::Up, 29, 42, kNothing, -2},
        {"Up 44-48", Key::Up, 44, 48, kNothing, -2},
        {"Up 50-56", Key::Up, 50, 56, kNothing, -2},
        {"Up 58-59", Key::Up, 58, 59, kNothing, -2},
        {"Down 59", Key::Down, 59, 59, kNothing, kNothing},
        {"Down 27", Key::Down, 27, 27, 1, 28},
        {"Down 42", Key::Down, 42, 42, 2, 43},
        {"Down 48 opens Indices at DXY", Key::Down, 48, 48, 3, 60},
        {"Down 56", Key::Down, 56, 56, 4, 57},
        {"Down 60", Key::Down, 60, 60, kNothing, 61},
        {"Down 61", Key::Down, 61, 61, kNothing, 49},
        {"Down 0-26", Key::Down, 0, 26, kNothing, -3},
        {"Down 28-41", Key::Down, 28, 41, kNothing, -3},
        {"Down 43-47", Key::Down, 43, 47, kNothing, -3},
        {"Down 49-55", Key::Down, 49, 55, kNothing, -3},
        {"Down 57-58", Key::Down, 57, 58, kNothing, -3},
    };
    // select -2: the row above (s - 1); -3: the row below (s + 1).
    for (const Line &line : lines)
        QTest::newRow(line.name) << line.key << line.from << line.to << line.open << line.select;
}

void TestNavigatorRules::keyMoves()
{
    QFETCH(Key, key);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, open);
    QFETCH(int, select);
    for (int s = from; s <= to; ++s) {
        KeyMove expected;
        if (open != kNothing)
            expected.openGroup = open;
        if (select == -2)
            expected.select = s - 1;
        else if (select == -3)
            expected.select = s + 1;
        else if (select != kNothing)
            expected.select = select;
        const KeyMove move = navigatorrules::keyMove(key, s);
        QVERIFY2(move == expected, qPrintable(QStringLiteral("from %1").arg(s)));
    }
}

void TestNavigatorRules::spaceTogglesTheSelectedRowOnly()
{
    for (int s : {0, 27, 48, 60, 61}) {
        const KeyMove move = navigatorrules::keyMove(Key::Space, s);
        QVERIFY(move.toggleSelected);
        QVERIFY(!move.openGroup);
        QVERIFY(!move.select);
    }
}

QTEST_APPLESS_MAIN(TestNavigatorRules)
#include "tst_navigatorrules.moc"
