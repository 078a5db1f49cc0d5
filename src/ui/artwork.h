#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The window's own pictures, drawn as SVG and compiled in.
namespace artwork {

inline constexpr char kLogo[] = ":/ui/logo.svg";                 // title bar, on the blue bar
inline constexpr char kSplash[] = ":/ui/splash.svg";             // splash banner
inline constexpr char kAppIcon[] = ":/app/quentara.svg";         // window icon, 32 px and up
inline constexpr char kAppIconSmall[] = ":/app/quentara-16.svg"; // drawn for 16-24 px

// The connection status on the instrument caption bar.
inline constexpr char kConnecting[] = ":/market/connecting.svg";
inline constexpr char kOnline[] = ":/market/online.svg";
inline constexpr char kOffline[] = ":/market/offline.svg";
// The current price marker of a pivot column.
inline constexpr char kPriceMarker[] = ":/market/price.svg";

// Title-bar buttons: normal and hover images.
struct ButtonImages
{
    const char *normal;
    const char *hover;
};
inline constexpr ButtonImages kAboutButton{":/ui/button-about.svg", ":/ui/button-about-hover.svg"};
inline constexpr ButtonImages kMinimiseButton{":/ui/button-minimise.svg",
                                              ":/ui/button-minimise-hover.svg"};
inline constexpr ButtonImages kCompactButton{":/ui/button-compact.svg",
                                             ":/ui/button-compact-hover.svg"};
inline constexpr ButtonImages kCloseButton{":/ui/button-close.svg", ":/ui/button-close-hover.svg"};

// The 16 x 16 icon of navigator group 0-4.
QString groupIcon(int group);

// An SVG rendered sharply at `size` device-independent pixels for a screen of `ratio`.
QPixmap pixmap(const QString &resource, QSize size, qreal ratio = 1.0);

// The program's icon at every size the desktop asks for.
QIcon applicationIcon();

} // namespace artwork
