#pragma once

#include <QImage>

// The pictures of the windows: the splash and about picture, the banner of
// the information panel, and the tile behind the pages of the HTML export.
namespace artwork {

constexpr QSize kSplashSize(480, 300);
constexpr QSize kBannerSize(232, 104);
constexpr QSize kBackgroundSize(256, 256);

QImage renderSplash();
QImage renderBanner();

// A pale paper texture that tiles without seams.
QImage renderBackgroundTile();

} // namespace artwork
