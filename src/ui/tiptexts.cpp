#include "ui/tiptexts.h"

#include <array>

namespace tiptexts {

namespace {

struct Tip
{
    const char *title;
    const char *text;
    int width;
    int height;
};

// Tip 1 has no "?" label and no predecessor: it stays empty and is never shown.
const std::array<Tip, kTipCount> kTips{{
    {"Инструменты",
     "В этом блоке вы можете выбрать инструмент, показания индикаторов которого Вы хотите "
     "увидеть. Для получения сигналов по нужному инструменту, щелкните по белому квадратику "
     "рядом с названием инструмента, чтобы он загорелся зеленым цветом.",
     4425, 2145},
    {"", "", 4155, 1665},
    {"Индикаторы",
     "В этой области отображаются показания индикаторов. На основе этих показаний Вы можете "
     "принять решение об открытии сделки.",
     4155, 1665},
    {"Точки пивот",
     "В этом блоке отображены вероятные уровни разворота. Не рекомендуется открывать сделку, "
     "если вы получили сигнал и цена находится вблизи точки пивот.",
     4155, 1935},
    {"Экономический календарь на неделю",
     "Здесь показаны события текущей недели. Вы можете установить свой часовой пояс. Например, "
     "для Москвы будет GMT +3. Так же можно настроить вывод новостей по важности. Не "
     "рекомендуется торговать за 15 минут до выхода важных новостей и 15 минут после.",
     5355, 2205},
    {"Новостная лента",
     "Здесь представлены последние новости из самых разных отраслей, оказывающих "
     "непосредственное влияние на котировки валют, — новости экономики, финансов, политики и "
     "валютных рынков.",
     4815, 2025},
    {"Обзор рынка",
     "Ежедневная аналитика рынка, прогноз курса валют на сегодня, завтра, обзор рынка на "
     "неделю. Прогнозы, рекомендации и комментарии от валютных экспертов.",
     4815, 1785},
    // "Cоветуем" begins with a Latin C, as the text always had it.
    {"Сигналы",
     "В этом блоке отображаются рекомендации по открытию сделок. Cоветуем обращать внимание "
     "только на сильные сигналы. После выхода сигнала Вы можете проанализировать график, "
     "показания индикаторов и принять решение об открытии сделки.",
     4815, 2145},
}};

constexpr std::array<int, kLabelCount> kTipOfLabel{0, 2, 3, 4, 7, 5, 6};

bool isTip(int tip)
{
    return tip >= 0 && tip < kTipCount;
}

} // namespace

QString title(int tip)
{
    return isTip(tip) ? QString::fromUtf8(kTips[tip].title) : QString();
}

QString text(int tip)
{
    return isTip(tip) ? QString::fromUtf8(kTips[tip].text) : QString();
}

QSize size(int tip)
{
    return isTip(tip) ? QSize(kTips[tip].width, kTips[tip].height) : QSize();
}

int tipForLabel(int label)
{
    return label >= 0 && label < kLabelCount ? kTipOfLabel[label] : kNone;
}

int successor(int tip)
{
    if (tip == 0)
        return 2;
    if (tip >= 2 && tip <= 6)
        return tip + 1;
    return kNone;
}

int nextLinkIndex(int tip)
{
    if (tip == 0)
        return 0;
    if (tip >= 2 && tip <= 6)
        return tip - 1;
    return kNone;
}

} // namespace tiptexts
