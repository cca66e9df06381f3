// brakko-assetgen: draws the pictures and synthesises the music of Brakko into img/, snd/ and icons/.
// Usage: brakko-assetgen [output directory, default "."]. Same bytes on every run; never reads the outputs.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "assetgen_art.h"
#include "assetgen_music.h"

namespace {

bool writeBmp(const art::Canvas& canvas, const std::string& path) {
    if (art::saveBmp(canvas, path.c_str())) return true;
    std::printf("brakko-assetgen: cannot write %s: %s\n", path.c_str(), SDL_GetError());
    return false;
}

// The window-sized backgrounds: in the display's own 32-bit layout, loading them costs a copy.
bool writeBackground(const art::Canvas& canvas, const std::string& path) {
    if (art::saveBmp32(canvas, path.c_str())) return true;
    std::printf("brakko-assetgen: cannot write %s\n", path.c_str());
    return false;
}

// The practice picture is empty when it could not be drawn as it must be, which its drawing said.
bool writePractice(const art::Canvas& canvas, const std::string& path) {
    return canvas.w > 0 && writeBmp(canvas, path);
}

bool writePng(const art::Canvas& canvas, const std::string& path) {
    if (art::savePng(canvas, path.c_str())) return true;
    std::printf("brakko-assetgen: cannot write %s\n", path.c_str());
    return false;
}

bool makePictures(const std::string& root) {
    art::Fonts fonts;
    if (!fonts.open()) {
        fonts.close();
        return false;
    }
    const art::Canvas sheet = art::drawSheet();
    // The game sets its window's icon from the BMP (SDL 1.2 reads no PNG): the 48 pixel icon, its key pixels
    // the see-through ones.
    const bool ok = writeBmp(sheet, root + "/img/bot.bmp") &&
                    writeBmp(art::drawTooth(), root + "/img/tooth.bmp") &&
                    writeBackground(art::drawTitle(sheet, fonts), root + "/img/title.bmp") &&
                    writeBackground(art::drawLoose(sheet, fonts), root + "/img/loose.bmp") &&
                    writeBackground(art::drawWon(sheet, fonts), root + "/img/won.bmp") &&
                    writePractice(art::drawPractice(sheet, fonts), root + "/img/practice.bmp") &&
                    writePng(art::drawIcon(sheet, 48), root + "/icons/brakko-48.png") &&
                    writePng(art::drawIcon(sheet, 128), root + "/icons/brakko-128.png") &&
                    writeBmp(art::drawIcon(sheet, 48), root + "/icons/brakko-48.bmp");
    fonts.close();
    return ok;
}

bool makeMusic(const std::string& root) {
    using music::Tune;
    return music::writeTune(Tune::title, (root + "/snd/goof.ogg").c_str()) &&
           music::writeTune(Tune::level1, (root + "/snd/robot_wars.ogg").c_str()) &&
           music::writeTune(Tune::level2, (root + "/snd/vexo.ogg").c_str()) &&
           music::writeTune(Tune::rageQuit, (root + "/snd/down.ogg").c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : ".";
    for (const char* sub : {"/img", "/snd", "/icons"}) {
        std::error_code error;
        std::filesystem::create_directories(root + sub, error);
        if (error) {
            std::printf("brakko-assetgen: cannot make %s%s\n", root.c_str(), sub);
            return 1;
        }
    }
    // Only the BMP writer and the font renderer are needed: no window, no audio device.
    if (SDL_Init(0) != 0 || TTF_Init() != 0) {
        std::printf("brakko-assetgen: cannot start SDL: %s\n", SDL_GetError());
        return 1;
    }
    const bool ok = makePictures(root) && makeMusic(root);
    TTF_Quit();
    SDL_Quit();
    return ok ? 0 : 1;
}
