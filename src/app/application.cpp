// SPDX-License-Identifier: MIT
#include "app/application.h"

#include <GL/gl.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ranges>
#include <variant>

#include "app/log_line.h"
#include "game/piece.h"
#include "render/board_scene.h"
#include "render/driver_heap.h"
#include "render/gl_base_state.h"
#include "render/text_layout.h"

using namespace textLayout;

namespace {
constexpr const char* kHighscoreFile = "highscore.lst";
constexpr int kNameCapacity = 20;   // 19 characters and the terminator, as a table entry holds
constexpr float kScreenDepth = -5;  // every screen but the game is drawn this far from the eye
}  // namespace

// The pad's controls (Up, Down, Left, Right, South, East, Start, Back) as keys. On the menus and every
// other screen: arrows, Return and Escape. In the game: the arrows, both face buttons turn, Start
// pauses, and no control starts a new game. On the name entry Up, Down and Right have no key (see
// enterNamePad).
constexpr std::array<int, kPadControlCount> kMenuPad{SDLK_UP,     SDLK_DOWN,   SDLK_LEFT,   SDLK_RIGHT,
                                                     SDLK_RETURN, SDLK_ESCAPE, SDLK_RETURN, SDLK_ESCAPE};
constexpr std::array<int, kPadControlCount> kGamePad{SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT,
                                                     SDLK_UP, SDLK_UP,   SDLK_p,    SDLK_ESCAPE};
constexpr std::array<int, kPadControlCount> kNamePad{SDLK_UNKNOWN, SDLK_UNKNOWN,   SDLK_BACKSPACE, SDLK_UNKNOWN,
                                                     SDLK_RETURN,  SDLK_BACKSPACE, SDLK_RETURN,    SDLK_ESCAPE};

// clang-format off
using App = Application;  // for the table's width
constexpr std::array<App::Screen, kScreenCount> App::kScreens{{
    {Logo,        &App::drawLogo,        Snow::none,            &App::skipKey,      &App::menuPad},
    {Presents,    &App::drawPresents,    Snow::none,            &App::skipKey,      &App::menuPad},
    {GameLogo,    &App::drawGameLogo,    Snow::behind,          &App::skipKey,      &App::menuPad},
    {MainMenu,    &App::drawMenu,        Snow::inFront,         &App::menuKey,      &App::menuPad},
    {Credits,     &App::drawCredits,     Snow::inFront,         &App::backKey,      &App::menuPad},
    {Highscores,  &App::drawHighscores,  Snow::inFront,         &App::backKey,      &App::menuPad},
    {Playing,     &App::drawPlaying,     Snow::behindIfEnabled, &App::playingKey,   &App::playingPad},
    {Farewell,    &App::drawFarewell,    Snow::none,            &App::farewellKey,  &App::menuPad},
    {NoHighscore, &App::drawNoHighscore, Snow::inFront,         &App::skipKey,      &App::menuPad},
    {EnterName,   &App::drawEnterName,   Snow::inFront,         &App::enterNameKey, &App::enterNamePad},
    {Options,     &App::drawMenu,        Snow::inFront,         &App::menuKey,      &App::menuPad},
}};
// clang-format on

Application::Application() {
    // Every screen has its row, in the order of the screens: a row left out (or out of place) stops
    // the build instead of leaving a row of null members, which would name screen 0.
    static_assert(std::ranges::all_of(std::views::iota(std::size_t{0}, kScreenCount),
                                      [](std::size_t i) { return static_cast<std::size_t>(kScreens[i].state) == i; }));
}

Application::~Application() {
    // A run that stopped before init never read the table, and one that could not read it (no
    // permission, not a regular file) holds the defaults: writing them would destroy the player's.
    if (saveHighscores_) highscores_.save(kHighscoreFile);
}

void Application::init(Settings* settings, SDL_Surface* surface) {
    settings_ = settings;
    surface_ = surface;
    SDL_WM_SetCaption("Yuletumble", "");
    keepFreedHeap();
    setBaseState();
    setLights();
    buildCubeList();
    tunes_.init();
    logoImage_.init("data/logo.bmp", FadeImage::Mode::zoom, 0);
    presentsImage_.init("data/presents.bmp", FadeImage::Mode::fadeIn, 0);
    gameLogoImage_.init("data/game_logo.bmp", FadeImage::Mode::fadeIn, 0.001f);
    snowfall_.init();
    snowfall_.scatter();
    game_.initGraphics(settings);
    banner_.init();
    font_.build();
    menu_.attach(&font_, settings);
    nameEntry_.setFont(&font_);
    scroller_.setFont(&font_);
    saveHighscores_ = highscores_.load(kHighscoreFile) != FileRead::unreadable;
    highscores_.setFont(&font_);
    if (settings->music) tunes_.playTune(Tune::background);
    pad_.open();
    if (!anyImageLoaded()) {
        char dir[4096] = "";
        reportProblem({"no game data in ", getcwd(dir, sizeof dir) ? dir : ".",
                       "/data; start the game with its launcher (yuletumble), or from its source tree with "
                       "bash scripts/run.sh"});
    }
}

bool Application::anyImageLoaded() const {
    for (const Texture& t : game_.blockTextures())
        if (t.name() != 0) return true;
    return font_.name() != 0 || logoImage_.name() != 0 || presentsImage_.name() != 0 || gameLogoImage_.name() != 0 ||
           banner_.name() != 0;
}

void Application::setProjection(int width, int height) { setSceneProjection(width, height); }

void Application::shutdown() {
    pad_.close();
    logoImage_.release();
    presentsImage_.release();
    gameLogoImage_.release();
    snowfall_.release();
    game_.stopGravity();
    game_.releaseGraphics();
    banner_.release();
    font_.release();
    releaseCubeList();
    tunes_.close();
}

// ---- Frames ----

void Application::drawFrame(float dt) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const Screen& screen = kScreens[state_];
    // The game draws its board at its own depth; every other screen stands a little way off.
    if (state_ != Playing) glTranslatef(0, 0, kScreenDepth);
    if (screen.snow == Snow::behind || (screen.snow == Snow::behindIfEnabled && settings_->snowflakes))
        snowfall_.update(dt);
    const std::optional<ScreenState> next = (this->*screen.draw)(dt);
    if (screen.snow == Snow::inFront) snowfall_.update(dt);
    if (next) changeScreen(*next);
}

std::optional<ScreenState> Application::drawLogo(float dt) {
    logoImage_.update(dt);
    return logoImage_.isDone() ? std::optional(Presents) : std::nullopt;
}

std::optional<ScreenState> Application::drawPresents(float dt) {
    presentsImage_.update(dt);
    return presentsImage_.isDone() ? std::optional(GameLogo) : std::nullopt;
}

std::optional<ScreenState> Application::drawGameLogo(float dt) {
    glPushMatrix();
    glScalef(1, 2, 1);  // the title art is twice as tall as the other intro images
    gameLogoImage_.update(dt);
    glPopMatrix();
    return gameLogoImage_.isDone() ? std::optional(MainMenu) : std::nullopt;
}

std::optional<ScreenState> Application::drawMenu(float) {
    menu_.draw();
    return std::nullopt;
}

std::optional<ScreenState> Application::drawCredits(float dt) {
    scroller_.update(dt);
    return std::nullopt;
}

std::optional<ScreenState> Application::drawHighscores(float) {
    highscores_.draw(tableScore());
    return std::nullopt;
}

std::optional<ScreenState> Application::drawFarewell(float dt) {
    banner_.update(dt);
    return std::nullopt;
}

std::optional<ScreenState> Application::drawNoHighscore(float) {
    const int n = std::snprintf(text_, sizeof text_, "Sorry no highscore with %d!", game_.score());
    // No colour of its own: every path here leaves white current.
    font_.print(centred(kSorryCentre.x, static_cast<std::size_t>(n)), kSorryCentre.y, text_, false);
    return std::nullopt;
}

std::optional<ScreenState> Application::drawEnterName(float) {
    nameEntry_.draw();
    std::snprintf(text_, sizeof text_, "You've got a highscore. %d. place with %d points!",
                  highscores_.rankOf(tableScore()), game_.score());
    font_.print(kPlaceLine, text_, true);
    return std::nullopt;
}

std::optional<ScreenState> Application::drawPlaying(float dt) {
    game_.drawBoard(dt);
    drawScorePanel();
    glColor3f(1, 1, 1);
    font_.print(kLegendKeyX, kLegendPauseY, "P", true);
    font_.print(kLegendMeaningX, kLegendPauseY, "Pause", false);
    font_.print(kLegendKeyX, kLegendQuitY, "ESC", true);
    font_.print(kLegendMeaningX, kLegendQuitY, "Quit", false);
    font_.print(kLegendKeyX, kLegendNewGameY, "Space", true);
    font_.print(kLegendMeaningX, kLegendNewGameY, "New Game", false);
    // Tested in every playing frame, paused or not; it also stops gravity.
    if (!game_.isGameOver()) return std::nullopt;
    return highscores_.rankOf(tableScore()) != 0 ? EnterName : NoHighscore;
}

void Application::drawScorePanel() {
    glColor3f(1, 0, 0);
    if (game_.paused()) {
        font_.print(kPaused, "Paused", false);
        return;
    }
    std::snprintf(text_, sizeof text_, "Score: %i", game_.score());
    font_.print(kScore, text_, false);
    std::snprintf(text_, sizeof text_, "Level: %i", game_.level());
    font_.print(kLevel, text_, false);
    std::snprintf(text_, sizeof text_, "Removed Lines: %i", game_.lines());
    font_.print(kRemovedLines, text_, false);
    font_.print(kNextBrick, "Next brick:", false);
    const Piece next = game_.preview();
    glTranslatef(10, 7.5f, -30);  // stays for the rest of the frame; the texts set their own matrices
    next.draw();
}

// ---- Keys ----

void Application::handleKey(int sym) {
    if (sym >= 0 && sym < SDLK_LAST && heldOver_.test(static_cast<std::size_t>(sym))) return;
    (this->*kScreens[state_].keys)(sym);
}

void Application::releaseKey(int sym) {
    if (sym >= 0 && sym < SDLK_LAST) heldOver_.reset(static_cast<std::size_t>(sym));
}

void Application::pollPad(std::uint32_t nowMs) {
    for (PadControl control : pad_.poll(nowMs, !gameInPlay())) handlePad(control);
}

void Application::handlePad(PadControl control) { (this->*kScreens[state_].pad)(control); }

void Application::menuPad(PadControl control) { handleKey(kMenuPad[static_cast<std::size_t>(control)]); }

void Application::playingPad(PadControl control) { playingKey(kGamePad[static_cast<std::size_t>(control)]); }

void Application::enterNamePad(PadControl control) {
    switch (control) {
        case PadControl::Up: nameEntry_.stepLastChar(1); break;
        case PadControl::Down: nameEntry_.stepLastChar(-1); break;
        case PadControl::Right: nameEntry_.addChar(); break;
        default: enterNameKey(kNamePad[static_cast<std::size_t>(control)]); break;
    }
}

void Application::skipKey(int) { changeScreen(MainMenu); }

void Application::menuKey(int sym) {
    switch (sym) {
        case SDLK_UP: menu_.cursorUp(); break;
        case SDLK_DOWN: menu_.cursorDown(); break;
        case SDLK_RETURN: menuAction(); break;
        // Switch an option without its follow-ups: it takes effect where it is next read.
        case SDLK_LEFT:
        case SDLK_RIGHT:
        case SDLK_SPACE:
            if (state_ == Options) menu_.select();
            break;
        case SDLK_ESCAPE:
            if (state_ == MainMenu)
                changeScreen(Farewell, Tune::farewell);
            else
                changeScreen(MainMenu);
            break;
        default: break;
    }
}

void Application::backKey(int sym) {
    if (sym == SDLK_ESCAPE) changeScreen(MainMenu);
}

void Application::playingKey(int sym) {
    // The arrows reach the game while it is paused too; it decides what they do then.
    switch (sym) {
        case SDLK_LEFT: game_.moveLeft(); break;
        case SDLK_RIGHT: game_.moveRight(); break;
        case SDLK_UP: game_.rotate(); break;
        case SDLK_DOWN: game_.softDrop(); break;
        case SDLK_p: game_.togglePause(); break;
        case SDLK_SPACE: changeScreen(Playing); break;    // a new game at once
        case SDLK_ESCAPE: changeScreen(MainMenu); break;  // the game goes on unseen
        default: break;
    }
}

void Application::farewellKey(int sym) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);  // taken in this pump pass: no other frame is drawn
    if (sym == SDLK_ESCAPE) changeScreen(MainMenu);
}

void Application::enterNameKey(int sym) {
    switch (sym) {
        case SDLK_BACKSPACE: nameEntry_.backspace(); break;
        case SDLK_RETURN:
            highscores_.insert(nameEntry_.text(), tableScore());
            changeScreen(Highscores);
            break;
        case SDLK_ESCAPE: changeScreen(MainMenu); break;  // nothing is stored
        default:
            // Letters arrive unshifted, as lower case; Space, digits and punctuation as themselves.
            if (sym >= SDLK_SPACE && sym <= SDLK_z) nameEntry_.appendChar(static_cast<char>(sym));
            break;
    }
}

void Application::menuAction() {
    const MenuChoice choice = menu_.select();
    if (const auto* flag = std::get_if<Settings::Flag>(&choice))
        applySetting(*flag);
    else
        changeScreen(std::get<ScreenState>(choice));
}

void Application::applySetting(Settings::Flag flag) {
    if (flag == Settings::Flag::music) {
        if (settings_->music)
            tunes_.playTune(Tune::background);
        else
            tunes_.stopAll();
    }
    // The flag is saved at exit and sets the video mode at the next start whatever the toggle did.
    if (flag == Settings::Flag::fullscreen && surface_) SDL_WM_ToggleFullScreen(surface_);
}

// ---- Screen changes ----

void Application::changeScreen(ScreenState next, std::optional<Tune> solo) {
    // Leaving the options, by Escape or by "Back", the menu shows its main items from the top.
    if (state_ == Options && next == MainMenu) menu_.backToMain();
    state_ = next;
    if (next == Playing) {
        game_.reset();
        game_.spawn();
    } else if (next == Credits) {
        scroller_.restart();
    } else if (next == EnterName) {
        nameEntry_.begin(kNameCapacity, "Enter your name:");
    }
    if (next == EnterName || next == NoHighscore) {
        // A game often ends under a held key (Down, dropping the last piece): its repeats must not
        // pass over the result, so what is held now acts again only once released.
        int count = 0;
        const Uint8* down = SDL_GetKeyState(&count);
        for (int sym = 0; down && sym < std::min(count, static_cast<int>(SDLK_LAST)); ++sym)
            heldOver_.set(static_cast<std::size_t>(sym), down[sym] != 0);
        pad_.ignoreHeld();
    }
    if (solo) {
        tunes_.stopAll();
        tunes_.playTune(*solo);
    }
}
