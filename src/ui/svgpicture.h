#pragma once

#include <QSvgRenderer>
#include <QWidget>

// A picture box showing one of the program's drawings, sharp at any screen density.
class SvgPicture final : public QWidget
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
