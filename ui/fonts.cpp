#include "ui/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace tarvok::ui {

namespace {

// Song (serif) faces first; a sans CJK face is still better than a Latin one.
QStringList candidate_faces() {
    return {QStringLiteral("SimSun"),
            QStringLiteral("NSimSun"),
            QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Source Han Serif SC"),
            QStringLiteral("AR PL UMing CN"),
            QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("WenQuanYi Zen Hei")};
}

}  // namespace

QString song_face() {
    const QStringList families = QFontDatabase::families();
    for (const QString& face : candidate_faces()) {
        if (families.contains(face)) {
            return face;
        }
    }
    return {};
}

void register_song_face() {
    static const bool done = [] {
        const QString face = song_face();
        if (!face.isEmpty()) {
            QFont::insertSubstitution(QString::fromUtf8(kSongFamily), face);
        }
        return true;
    }();
    (void)done;
}

}  // namespace tarvok::ui
