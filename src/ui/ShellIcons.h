// The main window's image lists, drawn by the program itself as vector
// pictures so they stay sharp at any scale. Each icon is designed on a
// 16 x 16 grid.
#pragma once

#include <QIcon>
#include <QList>

// ImageList1 (favorites tree): 0 a sheet of paper with lines of text,
// 1 a yellow folder.
QList<QIcon> MakeImageList1();
// ImageList2 (main toolbar): 0 left arrow, 1 right arrow, 2 reload arrow,
// 3 plus sign, 4 "IN", 5 "WL", 6 出, 7 入, 8 "e".
QList<QIcon> MakeImageList2();
// ImageList3 (search buttons): 0 "am" logo, 1 価, 2 統, 3 a red "Y".
QList<QIcon> MakeImageList3();
// The "more" chevron of a toolbar or the menu bar whose items do not fit.
QIcon MakeExtensionIcon(Qt::Orientation orientation);

// Makes the application's style the platform's own with the chevron above
// as its extension-button icon. Call once, before the windows are built.
void UseShellStyle();
