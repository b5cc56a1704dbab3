#include "ui/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QResource>
#include <QStringList>

#include <array>

// The faces live in this library's resources, which a static library must load itself.
static void load_font_resources() { Q_INIT_RESOURCE(resources); }

namespace tarvok::ui {

namespace {

constexpr std::array kSubsetFiles{":/tarvok/fonts/TarvokSong-Regular.otf",
                                  ":/tarvok/fonts/TarvokSong-Bold.otf"};

// The real face first, where a Windows font folder has been made available.
constexpr std::array kSongFaces{"SimSun", "NSimSun", kSubsetFamily};

// The face's bytes where the program keeps them, uncopied: they stay mapped for the
// process's life and only the parts read are loaded. A compressed copy is unpacked.
QByteArray font_bytes(const char* file) {
    const QResource resource{QString::fromLatin1(file)};
    if (resource.compressionAlgorithm() != QResource::NoCompression) {
        return resource.uncompressedData();
    }
    return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                   static_cast<qsizetype>(resource.size()));
}

// The family that "宋体" resolves to: SimSun where installed, otherwise Tarvok Song;
// empty when neither is available.
QString song_face() {
    const QStringList families = QFontDatabase::families();
    for (const char* face : kSongFaces) {
        if (families.contains(QLatin1String(face))) {
            return QLatin1String(face);
        }
    }
    return {};
}

// The face "宋体" stands for in this process, found once.
const QString& registered_face() {
    static const QString face = [] {
        load_font_resources();
        for (const char* file : kSubsetFiles) {
            QFontDatabase::addApplicationFontFromData(font_bytes(file));
        }
        QString found = song_face();
        if (!found.isEmpty()) {
            QFont::insertSubstitution(QString::fromUtf8(kSongFamily), found);
        }
        return found;
    }();
    return face;
}

}  // namespace

void register_song_face() { (void)registered_face(); }

QString song_family() {
    const QString& face = registered_face();
    return face.isEmpty() ? QString::fromUtf8(kSongFamily) : face;
}

}  // namespace tarvok::ui
