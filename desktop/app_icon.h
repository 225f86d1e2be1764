// The program's icon, embedded in the desktop_icons library as the resources :/icons/quendra.svg
// and :/icons/quendra-<size>.png (16, 32, 48, 64, 128, 256).
#pragma once

#include <QIcon>

// Every PNG size of the icon, plus the SVG where the Qt SVG plugin is installed. Built from the
// PNGs so that it is never empty: without the plugin QIcon(":/icons/quendra.svg") is a null icon.
// Registers the resources first, which a static library needs.
QIcon QuendraIcon();
