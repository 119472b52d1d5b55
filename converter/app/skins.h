#pragma once
// Window skins: Qt style sheets in files under the program's folder. Skin 0 is the plain look;
// 1 and 2 are read from their files. A skin file that is missing or not a style sheet leaves the
// plain look.

#include <QString>

class QWidget;

namespace pathshift::app {

inline constexpr int kSkinCount = 3;

// The skin's file under the program folder ("Styles/Le5/Normalblue.ini"); empty for skin 0 and
// for an index outside the table. An installed program finds its skins under ../share/pathshift.
QString skinFilePath(const QString& programFolder, int index);

struct SkinSheet {
    QString sheet;   // empty for the plain look
    QString reason;  // why a skin file was not used
};
SkinSheet readSkinSheet(const QString& path);

// Applies skin `index` to the window; false when a skin was asked for and could not be read.
bool applySkin(QWidget& window, const QString& programFolder, int index);

// Widens option buttons and check boxes whose caption the current look leaves too little room.
void fitCaptions(QWidget& window);

}  // namespace pathshift::app
