#pragma once

#include <QSvgRenderer>
#include <QWidget>

// A picture box showing one of the program's drawings. It is drawn from the SVG at every paint,
// so it stays sharp at any screen density, also after the window moves to a screen of another
// pixel ratio.
class SvgPicture : public QWidget
{
    Q_OBJECT
public:
    explicit SvgPicture(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SvgPicture)

    void setSource(const QString &resource);
    QString source() const { return m_source; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_source;
    QSvgRenderer m_renderer;
};
