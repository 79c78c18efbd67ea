#pragma once

// Names of the built-in images, as the shell finds them in its resources
// (under ":/pictures/").
namespace game::pictures {

inline constexpr const char* kMageLeft = "mage_left.gif";
inline constexpr const char* kMageRight = "mage_right.gif";
inline constexpr const char* kMageFireLeft = "mage_fire_left.gif";
inline constexpr const char* kMageFireRight = "mage_fire_right.gif";
inline constexpr const char* kMageLightning = "mage_lightning.gif";
inline constexpr const char* kInvader = "invader.gif";
inline constexpr const char* kIconFire = "icon_fire.gif";
inline constexpr const char* kIconIce = "icon_ice.gif";
inline constexpr const char* kIconLightning = "icon_lightning.gif";
inline constexpr const char* kLifeHat = "life_hat.ico";
inline constexpr const char* kCastle = "castle.jpg";
inline constexpr const char* kMageIcon = "mage_icon.ico";

}  // namespace game::pictures
