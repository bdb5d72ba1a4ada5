#pragma once

#include <QPixmap>

// The 16x16 row pictures of the lists, drawn once: index 0 person, 3 group, 6 zone.
namespace RowIcons {

QPixmap icon(int index);
constexpr int Size = 16;

} // namespace RowIcons
