#pragma once

#include "market/marketview.h"

#include <QWidget>

class QLabel;
class SvgPicture;

// The blue bar above the table area: the selected instrument and its price (Label1) on the left,
// the connection status (progress, progress_label) on the right.
class InstrumentCaptionBar final : public QWidget
{
    Q_OBJECT
public:
    InstrumentCaptionBar(QWidget *window, MarketView &view);
    Q_DISABLE_COPY_MOVE(InstrumentCaptionBar)

private:
    void showStatus(ConnectionStatus status);

    QLabel *m_caption = nullptr;
    SvgPicture *m_statusIcon = nullptr;
    QLabel *m_statusText = nullptr;
};
