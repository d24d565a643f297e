// SPDX-License-Identifier: MIT
#include "app/application.h"

#include <GL/gl.h>

#include <cstdio>

#include "app/settings.h"
#include "game/piece.h"
#include "render/board_scene.h"
#include "render/driver_heap.h"
#include "render/gl_base_state.h"

namespace {
constexpr const char* kHighscoreFile = "highscore.lst";
constexpr int kTuneFarewell = 0;
constexpr int kTuneBackground = 1;
constexpr int kNameCapacity = 20;  // 19 characters and the terminator, as a table entry holds
}  // namespace

Application::Application() = default;

Application::~Application() {
    // A run that stopped before init never read the table; writing the defaults would destroy it.
    if (highscoresLoaded_) highscores_.save(kHighscoreFile);
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
    highscores_.load(kHighscoreFile);
    highscoresLoaded_ = true;
    highscores_.setFont(&font_);
    if (settings->music) tunes_.playTune(kTuneBackground);
}

void Application::setProjection(int width, int height) { setSceneProjection(width, height); }

void Application::drawFrame(float dt) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    switch (state_) {
        case Logo:
            glTranslatef(0, 0, -5);
            logoImage_.update(dt);
            if (logoImage_.isDone()) state_ = Presents;
            break;
        case Presents:
            glTranslatef(0, 0, -5);
            presentsImage_.update(dt);
            if (presentsImage_.isDone()) state_ = GameLogo;
            break;
        case GameLogo:
            glTranslatef(0, 0, -5);
            snowfall_.update(dt);
            glPushMatrix();
            glScalef(1, 2, 1);  // the title art is twice as tall as the other intro images
            gameLogoImage_.update(dt);
            glPopMatrix();
            if (gameLogoImage_.isDone()) state_ = MainMenu;
            break;
        case MainMenu:
        case Options:
            glTranslatef(0, 0, -5);
            menu_.draw();
            snowfall_.update(dt);
            break;
        case Credits:
            glTranslatef(0, 0, -5);
            scroller_.update(dt);
            snowfall_.update(dt);
            break;
        case Highscores:
            glTranslatef(0, 0, -5);
            highscores_.draw(static_cast<unsigned>(game_.score()));
            snowfall_.update(dt);
            break;
        case Playing: drawPlaying(dt); break;
        case Farewell:
            glTranslatef(0, 0, -5);
            banner_.update(dt);
            break;
        case NoHighscore: {
            glTranslatef(0, 0, -5);
            const int n = std::snprintf(text_, sizeof text_, "Sorry no highscore with %d!", game_.score());
            // Centred on x = 320 at 10 units per character; the colour is the white every path here leaves.
            font_.print(static_cast<float>(320 - (n * 10) / 2), 250, text_, false);
            snowfall_.update(dt);
            break;
        }
        case EnterName:
            glTranslatef(0, 0, -5);
            nameEntry_.draw();
            std::snprintf(text_, sizeof text_, "You've got a highscore. %d. place with %d points!",
                          highscores_.rankOf(static_cast<unsigned>(game_.score())), game_.score());
            font_.print(0, 0, text_, true);
            snowfall_.update(dt);
            break;
    }
}

void Application::drawPlaying(float dt) {
    if (settings_->snowflakes) snowfall_.update(dt);
    game_.drawBoard(dt);

    glColor3f(1, 0, 0);
    if (game_.paused()) {
        font_.print(430, 410, "Paused", false);
    } else {
        std::snprintf(text_, sizeof text_, "Score: %i", game_.score());
        font_.print(430, 450, text_, false);
        std::snprintf(text_, sizeof text_, "Level: %i", game_.level());
        font_.print(430, 430, text_, false);
        std::snprintf(text_, sizeof text_, "Removed Lines: %i", game_.lines());
        font_.print(430, 410, text_, false);
        font_.print(430, 390, "Next brick:", false);
        const Piece next = game_.preview();
        glTranslatef(10, 7.5f, -30);  // stays for the rest of the frame; the texts set their own matrices
        next.draw();
    }

    glColor3f(1, 1, 1);
    font_.print(495, 40, "P", true);
    font_.print(550, 40, "Pause", false);
    font_.print(495, 25, "ESC", true);
    font_.print(550, 25, "Quit", false);
    font_.print(495, 10, "Space", true);
    font_.print(550, 10, "New Game", false);

    if (game_.isGameOver()) {
        if (highscores_.rankOf(static_cast<unsigned>(game_.score())) != 0) {
            nameEntry_.begin(kNameCapacity, "Enter your name:");
            state_ = EnterName;
        } else {
            state_ = NoHighscore;
        }
    }
}

void Application::startNewGame() {
    game_.reset();
    game_.spawn();
}

void Application::handleKey(int sym) {
    // Stage 1: by screen.
    switch (state_) {
        case Farewell: {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            break;
        }
        case EnterName:
            if (sym >= 32 && sym <= 122) nameEntry_.appendChar(static_cast<char>(sym));
            break;
        case Logo:
        case Presents:
        case GameLogo:
        case NoHighscore:
            state_ = MainMenu;  // the key does nothing else
            return;
        default: break;
    }

    // Stage 2: by key.
    switch (sym) {
        case SDLK_p:
            if (state_ == Playing) game_.togglePause();
            break;
        case SDLK_UP:
            if (state_ == Playing)
                game_.rotate();
            else if (state_ == MainMenu || state_ == Options)
                menu_.cursorUp();
            break;
        case SDLK_DOWN:
            if (state_ == Playing)
                game_.softDrop();
            else if (state_ == MainMenu || state_ == Options)
                menu_.cursorDown();
            break;
        case SDLK_RIGHT:
            if (state_ == Playing)
                game_.moveRight();
            else if (state_ == Options)
                menu_.select();
            break;
        case SDLK_LEFT:
            if (state_ == Playing)
                game_.moveLeft();
            else if (state_ == Options)
                menu_.select();
            break;
        case SDLK_SPACE:
            if (state_ == Playing)
                startNewGame();
            else if (state_ == Options)
                menu_.select();
            break;
        case SDLK_BACKSPACE:
            if (state_ == EnterName) nameEntry_.backspace();
            break;
        case SDLK_RETURN:
            if (state_ == MainMenu || state_ == Options) {
                menuAction();
            } else if (state_ == EnterName) {
                highscores_.insert(nameEntry_.text(), static_cast<unsigned>(game_.score()));
                state_ = Highscores;
            }
            break;
        case SDLK_ESCAPE:
            if (state_ == MainMenu) {
                farewellByEscape();
            } else if (state_ == Options) {
                menu_.backToMain();
                state_ = MainMenu;
            } else if (state_ == Playing || state_ == EnterName || state_ == Credits || state_ == Highscores ||
                       state_ == Farewell) {
                state_ = MainMenu;
            }
            break;
        default: break;
    }
}

void Application::menuAction() {
    const unsigned char musicBefore = settings_->music;
    const unsigned char fullscreenBefore = settings_->fullscreen;
    const int next = menu_.select();
    if (settings_->music != musicBefore) {
        if (settings_->music)
            tunes_.playTune(kTuneBackground);
        else
            tunes_.stopAll();
    }
    // The flag is saved at exit and sets the video mode at the next start whatever the toggle did.
    if (settings_->fullscreen != fullscreenBefore && surface_) SDL_WM_ToggleFullScreen(surface_);
    if (next == -1) return;
    state_ = static_cast<ScreenState>(next);
    if (state_ == Playing) startNewGame();
    if (state_ == Credits) scroller_.restart();
}

void Application::farewellByEscape() {
    state_ = Farewell;
    tunes_.stopAll();
    tunes_.playTune(kTuneFarewell);
}
