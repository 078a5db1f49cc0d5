#include "ui/tips.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "ui/clicklabel.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QLabel>

namespace {

constexpr int kMargin = 150;   // twips
constexpr int kLinksUp = 345;  // the links' top above the bottom edge, twips
constexpr int kSignalsTip = 7; // remembered under its own key

ClickLabel *makeLink(const QString &text, const QString &name, const QColor &color, QWidget *parent)
{
    auto *link = new ClickLabel(text, parent);
    link->setObjectName(name);
    link->setLinkColor(color);
    link->adjustSize();
    return link;
}

} // namespace

TipPanel::TipPanel(int tip, QWidget *parent)
    : QFrame(parent)
{
    const QString n = QString::number(tip);
    setObjectName(QStringLiteral("tip_") + n);
    setFrameShape(QFrame::Box);
    look::fill(this, look::kTipYellow, look::kTipBorder); // the frame is drawn in the text colour
    const QSize size = tiptexts::size(tip);
    resize(twips::size(size.width(), size.height()));

    auto *caption = new QLabel(tiptexts::title(tip), this);
    caption->setObjectName(QStringLiteral("tipcaption_") + n);
    caption->setFont(look::arial(12, true));
    caption->move(twips::point(kMargin, kMargin));
    caption->adjustSize();

    auto *text = new QLabel(tiptexts::text(tip), this);
    text->setObjectName(QStringLiteral("tiptext_") + n);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setGeometry(
        twips::rect(kMargin, 570, size.width() - 2 * kMargin, size.height() - 570 - kLinksUp - 30));
    for (QLabel *label : {caption, text})
        look::setTextColor(label, Qt::black);

    const int linksTop = height() - twips::toPixels(kLinksUp);
    const int inset = twips::toPixels(kMargin);
    m_never = makeLink(QStringLiteral("Больше не показывать"), QStringLiteral("tiplinknever_") + n,
                       look::kTitleBlue, this);
    m_never->move(inset, linksTop);
    m_close = makeLink(QStringLiteral("Скрыть"), QStringLiteral("tiplinkclose_") + n,
                       look::kDarkRed, this);
    int right = width() - inset;
    if (const int next = tiptexts::nextLinkIndex(tip); next != tiptexts::kNone) {
        m_next = makeLink(QStringLiteral("Далее >>"),
                          QStringLiteral("tiplinknext_") + QString::number(next), look::kTitleBlue,
                          this);
        m_next->move(right - m_next->width(), linksTop);
        right = m_next->x() - 2 * inset;
    }
    m_close->move(right - m_close->width(), linksTop);
    hide();
}

TipSet::TipSet(QWidget &window, SettingsStore &settings)
    : QObject(&window)
    , m_settings(settings)
{
    for (int tip = 0; tip < tiptexts::kTipCount; ++tip) {
        auto *panel = new TipPanel(tip, &window);
        m_panels[tip] = panel;
        connect(panel->neverLink(), &ClickLabel::clicked, this, [this, tip] { neverShow(tip); });
        connect(panel->closeLink(), &ClickLabel::clicked, this, [this, tip] { close(tip); });
        if (panel->nextLink())
            connect(panel->nextLink(), &ClickLabel::clicked, this, [this, tip] { showNext(tip); });
    }
}

bool TipSet::contains(const QWidget *widget) const
{
    for (const TipPanel *panel : m_panels) {
        if (widget == panel || panel->isAncestorOf(widget))
            return true;
    }
    return false;
}

void TipSet::hideAll()
{
    for (TipPanel *panel : m_panels)
        panel->hide();
}

void TipSet::openForLabel(int label)
{
    const int tip = tiptexts::tipForLabel(label);
    if (tip == tiptexts::kNone)
        return;
    hideAll();
    m_panels[tip]->show();
    m_panels[tip]->raise();
    setNeverLinksVisible(false);
}

void TipSet::showNext(int tip)
{
    const int next = tiptexts::successor(tip);
    if (next == tiptexts::kNone)
        return;
    m_panels.at(tip)->hide();
    m_panels[next]->show();
    m_panels[next]->raise();
}

void TipSet::close(int tip)
{
    setNeverLinksVisible(true);
    m_panels.at(tip)->hide();
}

void TipSet::neverShow(int tip)
{
    m_settings.writeBool(tip == kSignalsTip ? settingskeys::kTipSignals : settingskeys::kTips,
                         false);
    m_panels.at(tip)->hide();
}

void TipSet::raiseAll()
{
    for (TipPanel *panel : m_panels)
        panel->raise();
}

void TipSet::setNeverLinksVisible(bool visible)
{
    for (TipPanel *panel : m_panels)
        panel->neverLink()->setVisible(visible);
}
