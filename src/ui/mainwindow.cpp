#include "ui/mainwindow.h"

#include "app/version.h"
#include "ui/twips.h"

#include <QCloseEvent>

namespace {

constexpr int kFullWidthTwips = 16245;
constexpr int kFullHeightTwips = 10740;

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QLatin1String(product::kName));
    setFixedSize(twips::size(kFullWidthTwips, kFullHeightTwips));
    setAutoFillBackground(true);
}

int MainWindow::heightTwips() const
{
    return twips::fromPixels(height());
}

QString MainWindow::splitterCaption() const
{
    return QStringLiteral("3");
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    Q_EMIT closeRequested();
}
