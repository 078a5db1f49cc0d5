#include "ui/svgpicture.h"

#include <QPainter>

SvgPicture::SvgPicture(QWidget *parent)
    : QWidget(parent)
{}

void SvgPicture::setSource(const QString &resource)
{
    if (resource == m_source)
        return;
    m_source = resource;
    m_renderer.load(resource);
    update();
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_renderer.render(&painter, rect());
}
